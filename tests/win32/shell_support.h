#pragma once
// Helpers of the application shell's tests, over the shared kit (data
// folder, fake seam, group files): the main window made in-process over the
// folder as the program makes it (owned by the application window, the main
// form of the application object), and the quit message the program's end
// posts.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/FR0010MN.h"
#include "common/seam.h"
#include "dialog_support.h"
#include "tests/core/tempdir.h"

namespace shelltest {

using TempFolder = korvane::testing::TempDir;
using FakeSeam = dlgtest::FakeSeam;
using korvane::testing::GroupFileBytes;

// The settings file's bytes as the program writes a fresh one.
std::string SettingsBytes(int left, int top, int width, int height, int mode);

// Whether the shell holds a tray icon with the record's window and id.
bool TrayIconExists(const NOTIFYICONDATAA& record);

// The fixture: the fake seam installed, the boxes owned by the application
// window, the main window made over `folder_`. Whatever a test leaves (the
// window, a quit message, the application window shown) is cleared.
class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates the main window (FormCreate runs inside); answers Create().
  bool Create();
  // Creates, shows it as the run loop does and brings it to the front.
  void Open();
  // Destroys the main window as the program's end does (FormDestroy).
  void Destroy();
  korvane::TFrmFR0010MN& form() { return *form_; }
  HWND main() const { return form_->hwnd(); }
  HWND app() const;

  // Handles messages for up to `ms` and answers whether the quit message
  // came (it is taken: the test's loop owns it).
  bool TakeQuit(int ms = 300);
  // Makes a change: clears the title of entry 1 of the first group.
  void ChangeSomething();

  TempFolder folder_;
  FakeSeam seam_;
  std::unique_ptr<korvane::TFrmFR0010MN> form_;
};

}  // namespace shelltest
