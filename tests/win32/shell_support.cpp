#include "shell_support.h"

#include <algorithm>
#include <cstdio>

#include "common/FN0010GF.h"
#include "support.h"
#include "tests/core/tempdir.h"

namespace shelltest {

namespace {

using korvane::testing::RemoveTree;

}  // namespace

TempFolder::TempFolder() {
  static int serial = 0;
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(sizeof temp, temp);
  root_ = std::string(temp) + "korvane-shell-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(++serial) + "\\";
  CreateDirectoryA(root_.c_str(), nullptr);
  path_ = root_ + "ソフト表\\";
  CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() { RemoveTree(root_); }

void TempFolder::Write(const std::string& name, const std::string& bytes) const {
  HANDLE h = CreateFileA(File(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << name;
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  ASSERT_EQ(written, bytes.size());
}

std::string TempFolder::Read(const std::string& name) const {
  HANDLE h = CreateFileA(File(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
  CloseHandle(h);
  return bytes;
}

bool TempFolder::Exists(const std::string& name) const {
  return GetFileAttributesA(File(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> TempFolder::Names() const {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((path_ + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = data.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

std::string GroupFileBytes(const std::vector<std::string>& titles) {
  std::string bytes;
  for (int i = 1; i <= 20; ++i) {
    char section[8];
    std::snprintf(section, sizeof section, "%02d", i);
    const std::string title = static_cast<std::size_t>(i) <= titles.size() ? titles[i - 1] : "";
    bytes += std::string("[") + section + "]\r\nTITLE=" + title + "\r\nPATH=\r\n";
  }
  return bytes;
}

std::string SettingsBytes(int left, int top, int width, int height, int mode) {
  return "[Korvane]\r\nLEFT=" + std::to_string(left) + "\r\nTOP=" + std::to_string(top) +
         "\r\nWIDTH=" + std::to_string(width) + "\r\nHEIGHT=" + std::to_string(height) +
         "\r\nMODE=" + std::to_string(mode) + "\r\n";
}

int FakeSeam::ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
  boxes.push_back(Box{owner, text, caption, flags});
  if (on_box) on_box(boxes.back());
  if (answers.empty()) return IDOK;
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

BOOL FakeSeam::RunOpenFileDialog(OPENFILENAMEA&) { return FALSE; }

HINSTANCE FakeSeam::OpenWithShell(HWND owner, const std::string& verb, const std::string& file, const std::string&,
                                  const std::string&, int) {
  opened.push_back(Opened{owner, verb, file});
  return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

bool TrayIconExists(const NOTIFYICONDATAA& record) {
  // Modifying an icon succeeds only while the shell holds it.
  NOTIFYICONDATAA probe = record;
  probe.uFlags = NIF_TIP;
  return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

void ShellTest::SetUp() {
  uitest::App();
  korvane::SetSeam(&seam_);
  korvane::SetMessageBoxOwner(uitest::App().hwnd());
}

void ShellTest::TearDown() {
  if (form_) Destroy();
  TakeQuit(0);
  ShowWindow(uitest::App().hwnd(), SW_HIDE);
  korvane::SetMessageBoxOwner(nullptr);
  korvane::SetSeam(nullptr);
}

HWND ShellTest::app() const { return uitest::App().hwnd(); }

bool ShellTest::Create() {
  form_ = std::make_unique<korvane::TFrmFR0010MN>();
  form_->SetDataFolder(folder_.path());
  uitest::App().SetMainForm(form_.get());
  return form_->Create();
}

void ShellTest::Open() {
  ASSERT_TRUE(Create());
  // As the run loop: the taskbar button, then the main window.
  ShowWindow(app(), SW_SHOWNA);
  form_->Show();
  ASSERT_TRUE(uitest::BringToFront(main()));
}

void ShellTest::Destroy() {
  form_.reset();
  uitest::Pump();
}

bool ShellTest::TakeQuit(int ms) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
  for (;;) {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return true;
      uitest::App().ProcessMessage(msg);
    }
    if (GetTickCount64() >= end) return false;
    MsgWaitForMultipleObjectsEx(0, nullptr, 20, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

void ShellTest::ChangeSomething() {
  form_->Model().SelectGroup(0);
  ASSERT_TRUE(form_->Model().ClearTitle(1));
  ASSERT_TRUE(form_->Model().Modified());
}

}  // namespace shelltest
