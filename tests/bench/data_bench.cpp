// Group files: loading and saving 1,000 groups of 20 filled entries, each
// beside the bare cost of the same I/O (reading the bytes; writing them with
// the same atomic replacement). Prints the medians' ratios.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "data/groupfiles.h"
#include "data/os.h"
#include "tests/core/tempdir.h"

namespace korvane {
namespace {

constexpr int kGroups = 1000;

// The folder, made once: realistic entries, paths that do not exist here.
class Fixture {
 public:
  Fixture() {
    LauncherModel model;
    for (int g = 0; g < kGroups; ++g) {
      Group group = model.NewGroup("業務" + std::to_string(g));
      for (std::size_t i = 0; i < kEntryCount; ++i) {
        group.titles[i] = "月次報告 " + std::to_string(i + 1) + " 集計表";
        group.paths[i] = "C:\\Users\\担当者\\Documents\\ソフト表\\業務" + std::to_string(g) + "\\報告書_" +
                         std::to_string(i + 1) + ".xlsx";
      }
      model.AppendLoaded(std::move(group));
    }
    if (!SaveGroups(dir_.path(), model).ok) std::abort();
    for (const os::DirEntry& e : os::ListFolder(dir_.path()).value_or(std::vector<os::DirEntry>{})) {
      const std::string path = dir_.File(e.name);
      files_.push_back({path, os::ReadFile(path).value_or("")});
    }
  }
  const std::string& folder() const { return dir_.path(); }
  const std::vector<std::pair<std::string, std::string>>& files() const { return files_; }

 private:
  testing::TempDir dir_;
  std::vector<std::pair<std::string, std::string>> files_;
};

Fixture& Data() {
  static Fixture fixture;
  return fixture;
}

void BM_ReadBytes(benchmark::State& state) {
  for (auto _ : state) {
    std::size_t total = 0;
    for (const os::DirEntry& e : os::ListFolder(Data().folder()).value_or(std::vector<os::DirEntry>{}))
      total += os::ReadFile(os::JoinPath(Data().folder(), e.name)).value_or("").size();
    benchmark::DoNotOptimize(total);
  }
}

void BM_LoadGroups(benchmark::State& state) {
  for (auto _ : state) {
    LauncherModel model;
    if (!LoadGroups(Data().folder(), model).ok || model.GroupCount() != kGroups) state.SkipWithError("load");
    benchmark::DoNotOptimize(model);
  }
}

// The part of a load that no file format can spare: the existence test of
// every entry's path.
void BM_ExistenceTests(benchmark::State& state) {
  LauncherModel model;
  if (!LoadGroups(Data().folder(), model).ok) state.SkipWithError("load");
  for (auto _ : state) {
    int found = 0;
    for (const Group& group : model.Groups())
      for (const std::string& path : group.paths) found += os::FileExists(path);
    benchmark::DoNotOptimize(found);
  }
}

void BM_WriteBytes(benchmark::State& state) {
  for (auto _ : state) {
    for (const auto& [path, bytes] : Data().files())
      if (!os::ReplaceFile(path, bytes)) state.SkipWithError("write");
  }
}

void BM_SaveGroups(benchmark::State& state) {
  LauncherModel model;
  if (!LoadGroups(Data().folder(), model).ok) state.SkipWithError("load");
  for (auto _ : state) {
    if (!SaveGroups(Data().folder(), model).ok) state.SkipWithError("save");
  }
}

BENCHMARK(BM_ReadBytes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadGroups)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExistenceTests)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteBytes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveGroups)->Unit(benchmark::kMillisecond)->UseRealTime();

// Keeps the median of every benchmark for the ratios printed at the end.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.aggregate_name == "median") medians[run.run_name.function_name] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> medians;
};

}  // namespace
}  // namespace korvane

int main(int argc, char** argv) {
  std::vector<char*> args(argv, argv + argc);
  bool repetitions = false;
  for (char* arg : args) repetitions = repetitions || std::string(arg).rfind("--benchmark_repetitions", 0) == 0;
  std::string default_repetitions = "--benchmark_repetitions=7";
  if (!repetitions) args.push_back(default_repetitions.data());
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  korvane::MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto ratio = [&](const char* a, const char* b) {
    const auto x = reporter.medians.find(a), y = reporter.medians.find(b);
    if (x == reporter.medians.end() || y == reporter.medians.end() || y->second <= 0) return;
    std::printf("%s / %s (medians): %.2f ms / %.2f ms = %.2fx\n", a, b, x->second, y->second, x->second / y->second);
  };
  ratio("BM_LoadGroups", "BM_ReadBytes");
  const auto& m = reporter.medians;
  if (m.count("BM_LoadGroups") && m.count("BM_ExistenceTests") && m.count("BM_ReadBytes"))
    std::printf("BM_LoadGroups without the %d existence tests / BM_ReadBytes: %.2fx\n",
                korvane::kGroups * static_cast<int>(korvane::kEntryCount),
                (m.at("BM_LoadGroups") - m.at("BM_ExistenceTests")) / m.at("BM_ReadBytes"));
  ratio("BM_SaveGroups", "BM_WriteBytes");
  benchmark::Shutdown();
  return 0;
}
