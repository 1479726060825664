// Figures of the folder watch under Wine, 1,000 groups of twenty entries:
// the program's CPU time over a minute at idle with the watch on (a local
// folder), the time from a group file changed elsewhere to the grid's
// cells of that group painted anew (median of 9), and how many files a
// refresh reads when one group among the 1,000 changed. Prints figures;
// asserts nothing. IDLE_SECONDS in the environment shortens the idle run.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/FR0010MN.h"
#include "data/settings.h"
#include "ui/application.h"

namespace {

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Handles messages until done() or timeout_ms; answers done().
template <typename Done>
bool PumpUntil(Done done, DWORD timeout_ms) {
  const ULONGLONG end = GetTickCount64() + timeout_ms;
  while (!done()) {
    if (GetTickCount64() >= end) return false;
    MsgWaitForMultipleObjectsEx(0, nullptr, 5, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    Pump();
  }
  return true;
}

double Now() {
  LARGE_INTEGER now, freq;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&freq);
  return 1e3 * static_cast<double>(now.QuadPart) / static_cast<double>(freq.QuadPart);
}

double CpuMs() {
  FILETIME created, ended, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  const auto ms = [](FILETIME t) {
    return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
  };
  return ms(kernel) + ms(user);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
}

std::string GroupBytes(const std::string& first_title) {
  std::string bytes;
  for (int n = 1; n <= 20; ++n) {
    char entry[96];
    std::snprintf(entry, sizeof entry, "[%02d]\r\nTITLE=%s\r\nPATH=C:\\業務\\書類%02d.txt\r\n", n,
                  n == 1 ? first_title.c_str() : ("書類" + std::to_string(n)).c_str(), n);
    bytes += entry;
  }
  return bytes;
}

std::string GroupFile(const std::string& folder, int g) {
  char name[32];
  std::snprintf(name, sizeof name, "業務%04d.PTH", g);
  return folder + name;
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

}  // namespace

int main() {
  ui::Application app;
  constexpr int kGroups = 1000;
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(sizeof temp, temp);
  const std::string folder = std::string(temp) + "korvane-refresh-" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  for (int g = 1; g <= kGroups; ++g) WriteBytes(GroupFile(folder, g), GroupBytes("書類01"));
  korvane::SaveSettings(folder, korvane::WindowPlacement{100, 60, 730, 479}, false, korvane::kModeRegistration);
  {
    korvane::TFrmFR0010MN form;
    app.SetMainForm(&form);
    form.SetDataFolder(folder);
    form.Create();
    form.Show();
    PumpUntil([&] { return !form.Sync().Starting() && !form.BackgroundBusy(); }, 60000);
    const int row = 499;   // 業務0500
    form.LBGroup.SetItemIndex(row);
    form.LBGroupClick();
    PumpUntil([&] { return !form.BackgroundBusy(); }, 10000);

    // Idle with the watch on.
    const char* idle_env = std::getenv("IDLE_SECONDS");
    const int idle_s = idle_env ? std::atoi(idle_env) : 60;
    const double cpu0 = CpuMs();
    // Woken only by messages: the bench's own loop costs nothing meanwhile.
    const ULONGLONG idle_end = GetTickCount64() + static_cast<ULONGLONG>(idle_s) * 1000;
    for (ULONGLONG now = GetTickCount64(); now < idle_end; now = GetTickCount64()) {
      MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(idle_end - now), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
      Pump();
    }
    const double idle_cpu = CpuMs() - cpu0;

    // Changed elsewhere -> the cells of entry 1 painted anew.
    bool painted = false;
    form.DGMain.on_draw_cell = [&](HDC dc, int c, int r, const RECT& rect, ui::CellState s) {
      if (r == 1 && c == 1) painted = true;
      form.DGMainDrawCell(dc, c, r, rect, s);
    };
    std::vector<double> times;
    std::vector<std::size_t> reads;
    for (int i = 0; i < 9; ++i) {
      const std::size_t before = form.Sync().FilesRead();
      const std::string title = "外で変更" + std::to_string(i);
      painted = false;
      const double t0 = Now();
      WriteBytes(GroupFile(folder, row + 1), GroupBytes(title));
      const bool ok = PumpUntil([&] { return painted && form.Model().Current()->entries[0].title == title; }, 10000);
      times.push_back(ok ? Now() - t0 : -1);
      PumpUntil([&] { return !form.BackgroundBusy() && !form.Sync().Busy(); }, 10000);
      Pump();
      reads.push_back(form.Sync().FilesRead() - before);
      PumpUntil([] { return false; }, 200);
    }
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    std::printf("CPU time at idle, watch on, %d s: %.1f ms\n", idle_s, idle_cpu);
    std::printf("changed elsewhere -> grid painted, median of 9: %.1f ms (", sorted[4]);
    for (double t : times) std::printf(" %.1f", t);
    std::printf(" )\nfiles read per refresh, one changed group among %d:", kGroups);
    for (std::size_t r : reads) std::printf(" %u", static_cast<unsigned>(r));
    std::printf("\n");
    form.DGMain.on_draw_cell = nullptr;
    app.on_message = nullptr;
    app.on_activate = nullptr;
  }
  Pump();
  RemoveFolder(folder);
  return 0;
}
