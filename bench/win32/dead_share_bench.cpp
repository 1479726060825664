// Timing of the main window with a share that never answers (drive Q: of
// this process: every existence test there waits until the end): how long a
// missing local file takes to show missing when a group of twenty share
// paths was queued first, and how long a local launch takes to reach the
// shell with four launches from the share pending. Prints medians of 5;
// asserts nothing. Run by hand under Wine.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "app/FR0010MN.h"
#include "common/seam.h"
#include "data/os.h"
#include "data/settings.h"
#include "ui/application.h"

namespace {

HANDLE g_end = nullptr;  // set at the end: the share answers at last

bool DeadShare(const std::string& path) {
  if (path.rfind("Q:\\", 0) == 0) {
    WaitForSingleObject(g_end, INFINITE);
    return false;
  }
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

double Now() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

// The shell's answer, noted with its time; boxes answered at once.
class Seam : public korvane::SystemSeam {
 public:
  std::atomic<double> opened{0};
  int ShowMessageBox(HWND, const std::string&, const std::string&, UINT) override { return IDOK; }
  HINSTANCE OpenWithShell(HWND, const std::string&, const std::string&, const std::string&, const std::string&,
                          int) override {
    opened = Now();
    return reinterpret_cast<HINSTANCE>(42);
  }
};

void Pump(korvane::TFrmFR0010MN& form) {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  form.BackgroundAnswers();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void Write(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
}

}  // namespace

int main() {
  ui::Application app;
  g_end = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  korvane::os::SetExistenceTest(DeadShare);
  Seam seam;
  korvane::SetSeam(&seam);
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "korvane-dead-share-bench\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  std::string share, local;
  for (int n = 1; n <= 20; ++n) {
    char entry[128];
    std::snprintf(entry, sizeof entry, "[%02d]\r\nTITLE=share%02d\r\nPATH=Q:\\share\\file%02d.txt\r\n", n, n, n);
    share += entry;
  }
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  local = "[01]\r\nTITLE=missing\r\nPATH=" + folder + "missing.txt\r\n[02]\r\nTITLE=here\r\nPATH=" + self + "\r\n";
  Write(folder + "a-share.PTH", share);
  Write(folder + "b-local.PTH", local);
  korvane::SaveSettings(folder, korvane::WindowPlacement{100, 60, 730, 479}, false, korvane::kModeLauncher);

  std::vector<double> cross, launch;
  for (int run = 0; run < 5; ++run) {
    korvane::TFrmFR0010MN form;
    app.SetMainForm(&form);
    form.SetDataFolder(folder);
    const double start = Now();
    form.Create();
    form.Show();
    // The share's group was queued first (row 0); its paths go first again.
    form.QueueMarkerTests(0, true);
    const auto& model = form.Model();
    while (model.GroupAt(1).entries[0].marker != korvane::PathMarker::Missing && Now() - start < 60000) {
      Pump(form);
      Sleep(1);
    }
    cross.push_back(Now() - start);

    korvane::BackgroundWork& work = form.Work();
    for (std::size_t n = 1; n <= 4; ++n) work.Launch(model.GroupAt(0), 0, n, form.hwnd(), nullptr);
    seam.opened = 0;
    const double asked = Now();
    work.Launch(model.GroupAt(1), 1, 2, form.hwnd(), nullptr);
    while (seam.opened == 0 && Now() - asked < 60000) {
      Pump(form);
      Sleep(1);
    }
    launch.push_back(seam.opened - asked);
    app.on_message = nullptr;
    app.on_activate = nullptr;
  }
  std::printf("missing local file shown missing, share group queued first: %.0f ms (median of 5)\n", Median(cross));
  std::printf("local launch reaches the shell, four share launches pending: %.0f ms (median of 5)\n", Median(launch));
  SetEvent(g_end);
  Sleep(100);
  korvane::os::SetExistenceTest(nullptr);
  korvane::SetSeam(nullptr);
  return 0;
}
