#pragma once
// Helpers of the application shell's tests: a data folder, a scripted fake
// of the system seam, the main window made in-process over that folder as
// the program makes it (owned by the application window, the main form of
// the application object), and the quit message the program's end posts.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/FR0010MN.h"
#include "common/seam.h"

namespace shelltest {

// A fresh folder "ソフト表" (a name ending in a 0x5C trail byte) under the
// system's temporary folder, removed with its files at the end.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // With its trailing backslash.
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + name; }
  void Write(const std::string& name, const std::string& bytes) const;
  // The bytes of a file, or "<missing>".
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;
  // Names of the files in the folder, sorted.
  std::vector<std::string> Names() const;

 private:
  std::string root_;
  std::string path_;
};

// A group file's bytes: sections "01".."20", TITLE then PATH, CR LF.
std::string GroupFileBytes(const std::vector<std::string>& titles);
// The settings file's bytes as the program writes a fresh one.
std::string SettingsBytes(int left, int top, int width, int height, int mode);

// Message boxes recorded and answered from `answers` (IDOK when empty);
// `on_box` runs inside the call, where the real box would be up.
class FakeSeam : public korvane::SystemSeam {
 public:
  struct Box {
    HWND owner;
    std::string text;
    std::string caption;
    UINT flags;
  };
  std::vector<Box> boxes;
  std::deque<int> answers;
  std::function<void(const Box&)> on_box;
  struct Opened {
    HWND owner;
    std::string verb;
    std::string file;
  };
  std::vector<Opened> opened;  // files handed to the shell

  int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) override;
  BOOL RunOpenFileDialog(OPENFILENAMEA& ofn) override;
  HINSTANCE OpenWithShell(HWND owner, const std::string& verb, const std::string& file, const std::string& params,
                          const std::string& dir, int show) override;
};

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
