// korvane_probe COMMAND ARGS...: see `korvane_probe help`.
#include "tools/probe/probe.h"

#include <shellapi.h>

namespace probe {

namespace {
Options g_options;

// Each family of commands has a table of its own (name, function, usage):
// a new command is a line in one of them, a new family a table here.
std::vector<const std::vector<CommandInfo>*> Tables() {
  return {&WindowCommands(), &MessageCommands(), &KeyCommands(), &DialogCommands(),
          &ScreenCommands(), &TrayCommands(),    &ProcessCommands(), &ResourceCommands(),
          &AccessibleCommands()};
}

int Help() {
  Print("usage: korvane_probe [--exe NAME] COMMAND ARGS...");
  Print("       korvane_probe serve   (commands from stdin, see below)");
  Print("  --exe NAME  the process whose dialogs are meant (default Korvane.exe)");
  Print("  handles are printed and read as 0x-hex (decimal also read); '-' stands for any class or title");
  Print("  serve: one command a line, its words separated by the byte 0x1F, in UTF-8; each answered by its");
  Print("  output lines as 'o LINE', its error lines as 'e LINE', then '= EXIT-CODE'; ends with its input");
  for (const auto* table : Tables()) {
    for (const CommandInfo& c : *table) Print(std::string("  ") + Utf8(c.name) + " " + c.usage);
  }
  return kOk;
}

// One command: [--exe NAME] COMMAND ARGS...
int Run(const std::vector<std::wstring>& words) {
  g_options = Options{};
  std::size_t i = 0;
  while (i < words.size() && words[i].rfind(L"--", 0) == 0) {
    if (words[i] == L"--exe" && i + 1 < words.size()) {
      g_options.exe = words[i + 1];
      i += 2;
    } else {
      PrintError("unknown option " + Utf8(words[i]));
      return kUsage;
    }
  }
  if (i >= words.size()) return Help(), kUsage;
  const std::wstring& name = words[i];
  if (name == L"help") return Help();
  const Args args(words.begin() + static_cast<std::ptrdiff_t>(i) + 1, words.end());
  for (const auto* table : Tables()) {
    for (const CommandInfo& c : *table) {
      if (name != c.name) continue;
      try {
        return c.run(args);
      } catch (const UsageError& e) {
        PrintError(e.message);
        PrintError("usage: korvane_probe " + Utf8(c.name) + " " + c.usage);
        return kUsage;
      }
    }
  }
  PrintError("unknown command " + Utf8(name) + " (korvane_probe help lists them)");
  return kUsage;
}

// Appends each line of text to frame as "TAG LINE".
void Frame(std::string& frame, char tag, const std::string& text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    frame += tag;
    frame += ' ';
    frame.append(text, start, end - start);
    frame += '\n';
    start = end + 1;
  }
}

// Serves commands from stdin until it ends: a script keeps one probe for
// its whole run, so a question costs a line, not the start of a process.
int Serve() {
  const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  std::string pending;
  char buffer[4096];
  for (;;) {
    std::size_t newline;
    while ((newline = pending.find('\n')) == std::string::npos) {
      DWORD got = 0;
      if (!ReadFile(in, buffer, sizeof buffer, &got, nullptr) || got == 0) return kOk;
      pending.append(buffer, got);
    }
    std::string line = pending.substr(0, newline);
    pending.erase(0, newline + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::wstring> words;
    std::size_t start = 0;
    for (;;) {
      const std::size_t sep = line.find('\x1F', start);
      words.push_back(Wide(line.substr(start, sep == std::string::npos ? std::string::npos : sep - start)));
      if (sep == std::string::npos) break;
      start = sep + 1;
    }
    std::string said, complained;
    KeepOutput(&said, &complained);
    int rc = kFailed;
    try {
      rc = Run(words);
    } catch (...) {
      complained += "the command failed unexpectedly\n";
    }
    KeepOutput(nullptr, nullptr);
    std::string frame;
    Frame(frame, 'o', said);
    Frame(frame, 'e', complained);
    frame += "= " + std::to_string(rc) + "\n";
    WriteAll(out, frame);
  }
}
}  // namespace

const Options& Opts() { return g_options; }

int Main(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"serve") return Serve();
  return Run(std::vector<std::wstring>(argv + 1, argv + argc));
}

}  // namespace probe

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return probe::kUsage;
  const int rc = probe::Main(argc, argv);
  LocalFree(argv);
  return rc;
}
