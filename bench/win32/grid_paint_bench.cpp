// Timing of the entry grid's repaint under Wine: the whole grid (all twenty
// rows on screen) with twenty entries whose paths are programs (an icon
// extracted for every title cell at every paint) against twenty entries
// without paths. Prints medians and their ratio; asserts nothing.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/FR0010MN.h"
#include "data/settings.h"
#include "ui/application.h"

namespace {

std::string MakeFolder() {
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(sizeof temp, temp);
  const std::string folder = std::string(temp) + "korvane-paint-bench-" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
}

// Up to twenty programs of the system folder.
std::vector<std::string> Programs() {
  std::vector<std::string> found;
  WIN32_FIND_DATAA f{};
  HANDLE h = FindFirstFileA("C:\\windows\\system32\\*.exe", &f);
  if (h == INVALID_HANDLE_VALUE) return found;
  do {
    found.push_back(std::string("C:\\windows\\system32\\") + f.cFileName);
  } while (found.size() < 20 && FindNextFileA(h, &f));
  FindClose(h);
  return found;
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Median milliseconds of a whole repaint of the grid with group `group`.
double Measure(korvane::TFrmFR0010MN& form, int group, int rounds, int* icons) {
  form.LBGroup.SetItemIndex(group);
  form.LBGroupClick();
  Pump();
  *icons = 0;
  for (const korvane::Entry& e : form.Model().Current()->entries) *icons += e.marker != korvane::PathMarker::NoPath;
  LARGE_INTEGER freq, a, b;
  QueryPerformanceFrequency(&freq);
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    QueryPerformanceCounter(&a);
    form.DGMain.Repaint();
    QueryPerformanceCounter(&b);
    times.push_back(1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(freq.QuadPart));
  }
  return Median(times);
}

// Title cells on screen that show an icon: pixels in the icon's square
// other than the cell's background.
int IconsShown(korvane::TFrmFR0010MN& form) {
  HDC dc = GetDC(form.DGMain.hwnd());
  int shown = 0;
  for (int row = 1; row <= 20; ++row) {
    const RECT r = form.DGMain.CellRect(1, row);
    const COLORREF background = GetPixel(dc, r.left + 38, r.top + 38);
    int other = 0;
    for (int y = 4; y < 36; ++y)
      for (int x = 4; x < 36; ++x) other += GetPixel(dc, r.left + x, r.top + y) != background;
    shown += other > 50;
  }
  ReleaseDC(form.DGMain.hwnd(), dc);
  return shown;
}

}  // namespace

int main() {
  const std::string folder = MakeFolder();
  const std::vector<std::string> programs = Programs();
  std::string with, without;
  for (int n = 1; n <= 20; ++n) {
    char section[8];
    std::snprintf(section, sizeof section, "[%02d]", n);
    const std::string& program = programs.empty() ? std::string() : programs[static_cast<std::size_t>(n - 1) % programs.size()];
    with += std::string(section) + "\r\nTITLE=program " + std::to_string(n) + "\r\nPATH=" + program + "\r\n";
    without += std::string(section) + "\r\nTITLE=entry " + std::to_string(n) + "\r\nPATH=\r\n";
  }
  WriteFile(folder + "a_icons.PTH", with);
  WriteFile(folder + "b_plain.PTH", without);
  // Tall enough for all twenty rows.
  korvane::SaveSettings(folder, korvane::WindowPlacement{100, 0, 730, 1010}, false, korvane::kModeRegistration);

  ui::Application app;
  int exit_code = 0;
  {
    korvane::TFrmFR0010MN form;
    form.SetDataFolder(folder);
    if (!form.Create()) return 1;
    form.Show();
    SetForegroundWindow(form.hwnd());
    Pump();
    const int with_index = form.Model().FindGroup("a_icons");
    const int without_index = form.Model().FindGroup("b_plain");
    const int rounds = 31;
    int icons_a = 0, icons_b = 0;
    // Once each first, so both run warm.
    Measure(form, with_index, 3, &icons_a);
    Measure(form, without_index, 3, &icons_b);
    std::vector<double> a, b;
    for (int pass = 0; pass < 3; ++pass) {
      a.push_back(Measure(form, with_index, rounds, &icons_a));
      if (pass == 0) std::printf("title cells showing an icon: %d\n", IconsShown(form));
      b.push_back(Measure(form, without_index, rounds, &icons_b));
    }
    const double ma = Median(a), mb = Median(b);
    std::printf("rows on screen: %d of 20; programs found: %zu\n", form.DGMain.VisibleRowCount(), programs.size());
    std::printf("whole-grid repaint, 20 entries with icons (%d markers not \"0\"): median %.2f ms\n", icons_a, ma);
    std::printf("whole-grid repaint, 20 entries without paths (%d): median %.2f ms\n", icons_b, mb);
    std::printf("ratio: %.1f\n", mb > 0 ? ma / mb : 0.0);
    if (form.DGMain.VisibleRowCount() < 20 || icons_a != 20) exit_code = 2;
    app.on_message = nullptr;
    app.on_activate = nullptr;
  }
  for (const char* f : {"a_icons.PTH", "b_plain.PTH", "Korvane.INI"}) DeleteFileA((folder + f).c_str());
  RemoveDirectoryA(folder.c_str());
  return exit_code;
}
