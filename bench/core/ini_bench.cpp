// Cost of the INI document on a group file as the program keeps it: twenty
// sections of a title and a path, about 2 KB.
#include <benchmark/benchmark.h>

#include <string>

#include "common/text.h"
#include "data/ini.h"

namespace {

std::string SectionName(int i) { return std::string(i < 10 ? "0" : "") + std::to_string(i); }

// In code page 932, as a group file is kept.
std::string GroupFile() {
  std::string file;
  for (int i = 1; i <= 20; ++i) {
    file += "[" + SectionName(i) + "]\r\nTITLE=月次報告書 第" + std::to_string(i) + "版 (営業部)\r\n";
    file += "PATH=C:\\Users\\office\\Documents\\共有フォルダ\\報告書\\2024\\report_" + std::to_string(i) +
            ".xlsx\r\n";
  }
  return korvane::Cp932FromUtf8(file).value_or(file);
}

void IniParse(benchmark::State& state) {
  const std::string file = GroupFile();
  for (auto _ : state) {
    korvane::IniDocument doc(file);
    benchmark::DoNotOptimize(doc);
  }
  state.SetLabel(std::to_string(file.size()) + " bytes");
}
BENCHMARK(IniParse);

void IniGet(benchmark::State& state) {
  const korvane::IniDocument doc(GroupFile());
  for (auto _ : state) {
    for (int i = 1; i <= 20; ++i) {
      benchmark::DoNotOptimize(doc.Get(SectionName(i), "TITLE"));
      benchmark::DoNotOptimize(doc.Get(SectionName(i), "PATH"));
    }
  }
  state.SetItemsProcessed(state.iterations() * 40);
}
BENCHMARK(IniGet);

// The same file as saved in UTF-16LE ("Unicode" in Notepad).
std::string Utf16GroupFile() {
  std::string file = "\xFF\xFE";
  for (const char16_t u : korvane::Utf16FromUtf8(korvane::Utf8FromCp932(GroupFile()))) {
    file += static_cast<char>(u & 0xFF);
    file += static_cast<char>(u >> 8);
  }
  return file;
}

// The save of one group: read the file, set forty keys, take the bytes.
// Argument 1: the file is UTF-16LE.
void IniSaveGroup(benchmark::State& state) {
  const std::string file = state.range(0) ? Utf16GroupFile() : GroupFile();
  const std::string title = "新しい見出し", path = "D:\\data\\new path\\file.doc";
  for (auto _ : state) {
    korvane::IniDocument doc(file);
    for (int i = 1; i <= 20; ++i) {
      doc.Set(SectionName(i), "TITLE", title);
      doc.Set(SectionName(i), "PATH", path);
    }
    benchmark::DoNotOptimize(doc.TakeBytes());
  }
  state.SetItemsProcessed(state.iterations() * 40);
}
BENCHMARK(IniSaveGroup)->Arg(0)->Arg(1);

void IniSaveNewGroup(benchmark::State& state) {
  const std::string title = "新しい見出し", path = "D:\\data\\new path\\file.doc";
  for (auto _ : state) {
    korvane::IniDocument doc;
    for (int i = 1; i <= 20; ++i) {
      doc.Set(SectionName(i), "TITLE", title);
      doc.Set(SectionName(i), "PATH", path);
    }
    benchmark::DoNotOptimize(doc.TakeBytes());
  }
  state.SetItemsProcessed(state.iterations() * 40);
}
BENCHMARK(IniSaveNewGroup);

// Reading and changing a 10 MB file of 100,000 sections.
void IniLargeFile(benchmark::State& state) {
  std::string file;
  for (int i = 0; i < 100000; ++i) file += "[s" + std::to_string(i) + "]\r\nTITLE=" + std::string(80, 'x') + "\r\n";
  for (auto _ : state) {
    korvane::IniDocument doc(file);
    for (int i = 0; i < 40; ++i) doc.Set("s" + std::to_string(i * 2000), "PATH", "v");
    benchmark::DoNotOptimize(doc.Bytes().size());
  }
  state.SetLabel(std::to_string(file.size() / 1000) + " kB");
}
BENCHMARK(IniLargeFile)->Unit(benchmark::kMillisecond);

}  // namespace
