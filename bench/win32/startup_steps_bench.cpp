// The main window's creation step by step under Wine, with 0, 20 and 1,000
// groups of twenty entries beside it: microseconds per step, medians of
// several creations. Prints a table; asserts nothing.
//
// With "cold N" it creates the window once, as the first main window of
// the process with N groups (its classes not yet registered, its fonts and
// pictures not yet loaded, as at a real start), and prints one line "step
// microseconds" per step: run it several times for medians.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/FR0010MN.h"
#include "data/settings.h"
#include "ui/application.h"

namespace {

LARGE_INTEGER g_last;
std::vector<std::pair<std::string, double>>* g_steps = nullptr;

double MicrosSince(LARGE_INTEGER& last) {
  LARGE_INTEGER now, freq;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&freq);
  const double us = 1e6 * static_cast<double>(now.QuadPart - last.QuadPart) / static_cast<double>(freq.QuadPart);
  last = now;
  return us;
}

void Record(const char* step) {
  if (g_steps) g_steps->emplace_back(step, MicrosSince(g_last));
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void WriteFile(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
}

// A folder of `count` groups whose twenty entries name files that do not
// exist, as the end-to-end start-up benchmark makes them.
std::string MakeFolder(int count) {
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(sizeof temp, temp);
  const std::string folder = std::string(temp) + "korvane-steps-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(count) + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  std::string bytes;
  for (int n = 1; n <= 20; ++n) {
    char entry[96];
    std::snprintf(entry, sizeof entry, "[%02d]\r\nTITLE=書類%02d\r\nPATH=C:\\業務\\書類%02d.txt\r\n", n, n, n);
    bytes += entry;
  }
  for (int g = 1; g <= count; ++g) {
    char name[32];
    std::snprintf(name, sizeof name, "業務%04d.PTH", g);
    WriteFile(folder + name, bytes);
  }
  korvane::SaveSettings(folder, korvane::WindowPlacement{100, 60, 730, 479}, false, korvane::kModeRegistration);
  return folder;
}

void RemoveFolder(const std::string& folder) {
  WIN32_FIND_DATAA f{};
  HANDLE h = FindFirstFileA((folder + "*").c_str(), &f);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      if (!(f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((folder + f.cFileName).c_str());
    } while (FindNextFileA(h, &f));
    FindClose(h);
  }
  RemoveDirectoryA(folder.c_str());
}

// One creation: the steps with their microseconds, then the show and what
// follows it.
std::vector<std::pair<std::string, double>> CreateOnce(ui::Application& app, const std::string& folder) {
  std::vector<std::pair<std::string, double>> steps;
  g_steps = &steps;
  QueryPerformanceCounter(&g_last);
  {
    korvane::TFrmFR0010MN form;
    app.SetMainForm(&form);
    form.SetDataFolder(folder);
    form.Create();
    form.Show();
    Record("shown");
    // The first paint, the tray icon and the drop target come in the
    // message the creation posts.
    Pump();
    g_steps = nullptr;
    app.on_message = nullptr;
    app.on_activate = nullptr;
  }
  Pump();
  return steps;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  ui::Application app;
  korvane::TFrmFR0010MN::on_startup_step = Record;
  if (argc == 3 && std::string(argv[1]) == "cold") {
    const std::string folder = MakeFolder(std::atoi(argv[2]));
    for (const auto& [name, us] : CreateOnce(app, folder)) std::printf("%s\t%.0f\n", name.c_str(), us);
    RemoveFolder(folder);
    return 0;
  }
  const int counts[] = {0, 20, 1000};
  const int rounds = 7;
  std::vector<std::string> order;
  std::map<std::string, std::vector<double>> times[3];
  for (int c = 0; c < 3; ++c) {
    const std::string folder = MakeFolder(counts[c]);
    CreateOnce(app, folder);  // warm
    for (int r = 0; r < rounds; ++r) {
      for (const auto& [name, us] : CreateOnce(app, folder)) {
        if (std::find(order.begin(), order.end(), name) == order.end()) order.push_back(name);
        times[c][name].push_back(us);
      }
    }
    RemoveFolder(folder);
  }
  std::printf("%-24s %10s %10s %10s   (microseconds, median of %d)\n", "step", "0 groups", "20 groups",
              "1000 groups", rounds);
  double total[3] = {};
  for (const std::string& name : order) {
    std::printf("%-24s", name.c_str());
    for (int c = 0; c < 3; ++c) {
      const double m = times[c][name].empty() ? 0.0 : Median(times[c][name]);
      total[c] += m;
      std::printf(" %10.0f", m);
    }
    std::printf("\n");
  }
  std::printf("%-24s %10.0f %10.0f %10.0f\n", "sum of medians", total[0], total[1], total[2]);
  return 0;
}
