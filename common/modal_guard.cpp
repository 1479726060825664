#include "common/modal_guard.h"

namespace korvane {

ModalGuard::ModalGuard(HWND except) : except_(except), active_(GetActiveWindow()) {
  EnumThreadWindows(GetCurrentThreadId(), &ModalGuard::DisableOne, reinterpret_cast<LPARAM>(this));
}

BOOL CALLBACK ModalGuard::DisableOne(HWND h, LPARAM self_ptr) {
  auto* self = reinterpret_cast<ModalGuard*>(self_ptr);
  if (h != self->except_ && IsWindowVisible(h) && IsWindowEnabled(h)) {
    self->disabled_.push_back(h);
    EnableWindow(h, FALSE);
  }
  return TRUE;
}

ModalGuard::~ModalGuard() {
  Enable();
  Reactivate();
}

void ModalGuard::Enable() {
  for (HWND h : disabled_) {
    if (IsWindow(h)) EnableWindow(h, TRUE);
  }
  disabled_.clear();
}

void ModalGuard::Reactivate() {
  if (active_ && IsWindow(active_) && IsWindowVisible(active_)) SetActiveWindow(active_);
  active_ = nullptr;
}

}  // namespace korvane
