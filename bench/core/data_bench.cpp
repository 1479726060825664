// Group files: loading and saving 1,000 groups of 20 filled entries, each
// beside the bare cost of the same I/O (reading the bytes; writing them with
// the same atomic replacement), and a save of one changed group beside a
// load. Prints the medians' ratios.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "data/groupfiles.h"
#include "data/ini.h"
#include "data/os.h"
#include "tests/core/load_groups.h"
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
        group.entries[i].title = "月次報告 " + std::to_string(i + 1) + " 集計表";
        group.entries[i].path = "C:\\Users\\担当者\\Documents\\ソフト表\\業務" + std::to_string(g) + "\\報告書_" +
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

void ReadTheBytes() {
  std::size_t total = 0;
  for (const os::DirEntry& e : os::ListFolder(Data().folder()).value_or(std::vector<os::DirEntry>{}))
    total += os::ReadFile(os::JoinPath(Data().folder(), e.name)).value_or("").size();
  benchmark::DoNotOptimize(total);
}

void LoadTheGroups(benchmark::State& state) {
  LauncherModel model;
  if (!LoadGroups(Data().folder(), model).ok || model.GroupCount() != kGroups) state.SkipWithError("load");
  benchmark::DoNotOptimize(model);
}

void BM_ReadBytes(benchmark::State& state) {
  for (auto _ : state) ReadTheBytes();
}

void BM_LoadGroups(benchmark::State& state) {
  for (auto _ : state) LoadTheGroups(state);
}

// The two above in turns within each iteration (which goes first changes
// every time), their CPU times summed apart: a noisy moment of a shared
// machine, which can move either median by a fifth, falls on both alike.
void BM_LoadBesideRead(benchmark::State& state) {
  double read = 0, load = 0;
  bool read_first = true;
  for (auto _ : state) {
    const std::clock_t start = std::clock();
    if (read_first) ReadTheBytes(); else LoadTheGroups(state);
    const std::clock_t between = std::clock();
    if (read_first) LoadTheGroups(state); else ReadTheBytes();
    const std::clock_t stop = std::clock();
    (read_first ? read : load) += static_cast<double>(between - start);
    (read_first ? load : read) += static_cast<double>(stop - between);
    read_first = !read_first;
  }
  if (read > 0) state.counters["load/read"] = load / read;
}

// What the load leaves to a worker thread: the existence test of every
// entry's path.
void BM_ExistenceTests(benchmark::State& state) {
  LauncherModel model;
  if (!LoadGroups(Data().folder(), model).ok) state.SkipWithError("load");
  for (auto _ : state) {
    int found = 0;
    for (const Group& group : model.Groups())
      for (const Entry& entry : group.entries) found += os::FileExists(entry.path);
    benchmark::DoNotOptimize(found);
  }
}

// The INI layer's share: the same bytes parsed and every value looked up,
// all in memory.
void BM_ParseInMemory(benchmark::State& state) {
  for (auto _ : state) {
    std::size_t total = 0;
    for (const auto& file : Data().files()) {
      const IniDocument doc(file.second);
      for (std::size_t i = 1; i <= kEntryCount; ++i) {
        const std::string section = EntrySection(i, kEntryCount);
        total += doc.Get(section, "TITLE").size() + doc.Get(section, "PATH").size();
      }
    }
    benchmark::DoNotOptimize(total);
  }
}

// The load's own work without the I/O: the one-pass reader's values of
// every entry of the same bytes, converted, all in memory.
void BM_ValuesInMemory(benchmark::State& state) {
  std::vector<std::string> sections;
  for (std::size_t i = 1; i <= kEntryCount; ++i) sections.push_back(EntrySection(i, kEntryCount));
  constexpr std::string_view keys[] = {"TITLE", "PATH"};
  for (auto _ : state) {
    std::size_t total = 0;
    for (const auto& file : Data().files()) {
      const IniValues values(file.second, sections, keys);
      for (std::size_t i = 0; i < kEntryCount; ++i) total += values.Value(i, 0).size() + values.Value(i, 1).size();
    }
    benchmark::DoNotOptimize(total);
  }
}

void BM_WriteBytes(benchmark::State& state) {
  for (auto _ : state) {
    for (const auto& [path, bytes] : Data().files())
      if (!os::ReplaceFile(path, bytes)) state.SkipWithError("write");
  }
}

// A save after the first entry's title of `changed` groups was set anew:
// the other files are left alone. The fixture is put back afterwards.
void SaveWithChangedGroups(benchmark::State& state, int changed) {
  LauncherModel model;
  if (!LoadGroups(Data().folder(), model).ok) state.SkipWithError("load");
  const std::string original = model.GroupAt(0).entries[0].title;
  int round = 0;
  const auto set_titles = [&](const std::string& title) {
    for (int g = 0; g < changed; ++g) {
      model.SelectGroup(g);
      model.SetTitle(1, title);
    }
  };
  for (auto _ : state) {
    set_titles(++round % 2 ? "改訂 " + original : original);
    if (!SaveGroups(Data().folder(), model).ok) state.SkipWithError("save");
  }
  set_titles(original);
  if (!SaveGroups(Data().folder(), model).ok) state.SkipWithError("save");
}

void BM_SaveOneChanged(benchmark::State& state) { SaveWithChangedGroups(state, 1); }
void BM_SaveAllChanged(benchmark::State& state) { SaveWithChangedGroups(state, kGroups); }

BENCHMARK(BM_ReadBytes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadGroups)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadBesideRead)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExistenceTests)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ParseInMemory)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ValuesInMemory)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteBytes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveOneChanged)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveAllChanged)->Unit(benchmark::kMillisecond)->UseRealTime();

// Keeps the medians of every benchmark (real and CPU time) for the ratios
// printed at the end: on a shared machine the CPU times are the steadier.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.aggregate_name != "median") continue;
      real[run.run_name.function_name] = run.GetAdjustedRealTime();
      cpu[run.run_name.function_name] = run.GetAdjustedCPUTime();
      if (const auto paired = run.counters.find("load/read"); paired != run.counters.end())
        load_over_read = paired->second.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> real;
  std::map<std::string, double> cpu;
  double load_over_read = 0;
};

void PrintRatios(const char* kind, const std::map<std::string, double>& m) {
  const auto has = [&m](const char* name) { return m.count(name) != 0 && m.at(name) > 0; };
  if (has("BM_LoadGroups") && has("BM_ReadBytes")) {
    std::printf("%s: LoadGroups / ReadBytes = %.2f ms / %.2f ms = %.2fx\n", kind, m.at("BM_LoadGroups"),
                m.at("BM_ReadBytes"), m.at("BM_LoadGroups") / m.at("BM_ReadBytes"));
  }
  if (has("BM_SaveAllChanged") && has("BM_WriteBytes"))
    std::printf("%s: SaveGroups, every group changed / WriteBytes = %.2f ms / %.2f ms = %.2fx\n", kind,
                m.at("BM_SaveAllChanged"), m.at("BM_WriteBytes"), m.at("BM_SaveAllChanged") / m.at("BM_WriteBytes"));
  if (has("BM_SaveOneChanged") && has("BM_LoadGroups"))
    std::printf("%s: SaveGroups, one group changed / LoadGroups = %.2f ms / %.2f ms = %.2fx\n", kind,
                m.at("BM_SaveOneChanged"), m.at("BM_LoadGroups"), m.at("BM_SaveOneChanged") / m.at("BM_LoadGroups"));
}

}  // namespace
}  // namespace korvane

int main(int argc, char** argv) {
  std::vector<char*> args(argv, argv + argc);
  bool repetitions = false, interleaving = false;
  for (char* arg : args) {
    repetitions = repetitions || std::string(arg).rfind("--benchmark_repetitions", 0) == 0;
    interleaving = interleaving || std::string(arg).rfind("--benchmark_enable_random_interleaving", 0) == 0;
  }
  std::string default_repetitions = "--benchmark_repetitions=7";
  if (!repetitions) args.push_back(default_repetitions.data());
  // The repetitions of the benchmarks take turns (in a random order), so a
  // noisy moment of a shared machine falls on the load and on the bare
  // reading alike, not on one of the two whose ratio is printed.
  std::string default_interleaving = "--benchmark_enable_random_interleaving=true";
  if (!interleaving) args.push_back(default_interleaving.data());
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  korvane::MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  korvane::PrintRatios("medians, real time", reporter.real);
  korvane::PrintRatios("medians, CPU time", reporter.cpu);
  if (reporter.load_over_read > 0)
    std::printf("paired, CPU time: LoadGroups / ReadBytes = %.2fx (median of the repetitions)\n",
                reporter.load_over_read);
  benchmark::Shutdown();
  return 0;
}
