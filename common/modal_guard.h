#pragma once
// Around a modal window or box: the visible, enabled top-level windows of
// this thread other than `except` are disabled, then enabled again and the
// window that was active gets the activation back (at the latest when the
// guard goes). `except` is the modal window itself, or the owner of a
// message box, which the box disables and enables on its own.
#include <windows.h>

#include <vector>

namespace korvane {

class ModalGuard {
 public:
  explicit ModalGuard(HWND except);
  ModalGuard(const ModalGuard&) = delete;
  ModalGuard& operator=(const ModalGuard&) = delete;
  ~ModalGuard();
  // Enables the windows now: before a modal window hides, so that the
  // activation passes back to a window of ours.
  void Enable();
  void Reactivate();

 private:
  static BOOL CALLBACK DisableOne(HWND h, LPARAM self_ptr);
  HWND except_;
  HWND active_;
  std::vector<HWND> disabled_;
};

}  // namespace korvane
