// korvane_probe COMMAND ARGS...: see `korvane_probe help`.
#include "tools/probe/probe.h"

#include <shellapi.h>

namespace probe {

namespace {
Options g_options;

std::vector<const std::vector<CommandInfo>*> Tables() {
  return {&WindowCommands(), &MessageCommands(), &KeyCommands(), &DialogCommands(),
          &ScreenCommands(), &TrayCommands(),    &ProcessCommands(), &ResourceCommands(),
          &AccessibleCommands()};
}

int Help() {
  Print("usage: korvane_probe [--exe NAME] COMMAND ARGS...");
  Print("  --exe NAME  the process whose dialogs are meant (default Korvane.exe)");
  Print("  handles are printed and read as 0x-hex (decimal also read); '-' stands for any class or title");
  for (const auto* table : Tables()) {
    for (const CommandInfo& c : *table) Print(std::string("  ") + Utf8(c.name) + " " + c.usage);
  }
  return kOk;
}
}  // namespace

const Options& Opts() { return g_options; }

int Main(int argc, wchar_t** argv) {
  int i = 1;
  while (i < argc && argv[i][0] == L'-' && argv[i][1] == L'-') {
    const std::wstring option = argv[i];
    if (option == L"--exe" && i + 1 < argc) {
      g_options.exe = argv[i + 1];
      i += 2;
    } else {
      PrintError("unknown option " + Utf8(option));
      return kUsage;
    }
  }
  if (i >= argc) return Help(), kUsage;
  const std::wstring name = argv[i];
  if (name == L"help") return Help();
  const Args args(argv + i + 1, argv + argc);
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

}  // namespace probe

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return probe::kUsage;
  const int rc = probe::Main(argc, argv);
  LocalFree(argv);
  return rc;
}
