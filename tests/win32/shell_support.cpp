#include "shell_support.h"

#include <algorithm>
#include <cstdio>

#include "common/FN0010GF.h"
#include "support.h"
#include "tests/core/tempdir.h"

namespace shelltest {

std::string SettingsBytes(int left, int top, int width, int height, int mode) {
  return "[Korvane]\r\nLEFT=" + std::to_string(left) + "\r\nTOP=" + std::to_string(top) +
         "\r\nWIDTH=" + std::to_string(width) + "\r\nHEIGHT=" + std::to_string(height) +
         "\r\nMODE=" + std::to_string(mode) + "\r\n";
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
