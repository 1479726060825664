// Finding entries across 1,000 groups of 20 (20,000 entries) with the plain
// fold: the filter of one keystroke (text typed letter by letter, a text
// every entry holds, a rare one, one nobody holds) and the index built from
// nothing, as when the find box first opens. Medians of 9 runs.
#include <benchmark/benchmark.h>

#include <string>

#include "data/find.h"

namespace {

using korvane::FindIndex;

constexpr int kGroups = 1000;

const korvane::LauncherModel& Model() {
  static const korvane::LauncherModel model = [] {
    korvane::LauncherModel m;
    for (int g = 0; g < kGroups; ++g) {
      korvane::Group group = m.NewGroup("業務" + std::to_string(g));
      for (std::size_t i = 0; i < korvane::kEntryCount; ++i) {
        group.entries[i].title = "月次報告 " + std::to_string(i + 1) + " 集計表";
        group.entries[i].path = "C:\\Users\\担当者\\Documents\\ソフト表\\業務" + std::to_string(g) + "\\Report_" +
                                std::to_string(i + 1) + ".xlsx";
      }
      m.AppendLoaded(std::move(group));
    }
    return m;
  }();
  return model;
}

const FindIndex& Index() {
  static const FindIndex index = [] {
    FindIndex i(korvane::FoldBytes);
    i.Sync(Model());
    return i;
  }();
  return index;
}

// Each keystroke of "REPORT_17" in turn: one filter per iteration.
void FindTypedLetterByLetter(benchmark::State& state) {
  const std::string typed = "REPORT_17";
  std::size_t k = 0;
  std::size_t hits = 0;
  for (auto _ : state) {
    const auto found = Index().Filter(std::string_view(typed).substr(0, k % typed.size() + 1));
    hits = found.size();
    benchmark::DoNotOptimize(found.data());
    ++k;
  }
  state.counters["entries"] = static_cast<double>(Index().counts().entries);
  state.counters["last_hits"] = static_cast<double>(hits);
}

void FindOneText(benchmark::State& state, const char* text) {
  std::size_t hits = 0;
  for (auto _ : state) {
    const auto found = Index().Filter(text);
    hits = found.size();
    benchmark::DoNotOptimize(found.data());
  }
  state.counters["hits"] = static_cast<double>(hits);
}

void IndexBuild(benchmark::State& state) {
  for (auto _ : state) {
    FindIndex index(korvane::FoldBytes);
    index.Sync(Model());
    benchmark::DoNotOptimize(index.counts());
  }
}

// The index brought up to a model that has not changed: every open after
// the first.
void IndexResync(benchmark::State& state) {
  FindIndex index(korvane::FoldBytes);
  index.Sync(Model());
  for (auto _ : state) {
    index.Sync(Model());
    benchmark::DoNotOptimize(index.counts());
  }
}

}  // namespace

BENCHMARK(FindTypedLetterByLetter)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(FindOneText, every_entry, "集計")->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(FindOneText, one_group, "業務999")->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(FindOneText, none, "存在しない")->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(IndexBuild)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(IndexResync)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
