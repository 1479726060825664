#pragma once
// Files dropped on the entry grid from Explorer: an OLE drop target that
// takes CF_HDROP. Under Wine an OLE drag from another program reaches an
// IDropTarget but never becomes WM_DROPFILES, so DragAcceptFiles is not
// enough.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "common/callback.h"

namespace korvane {

// The names an HDROP holds (ANSI or wide), in UTF-8. A name that UTF-8
// cannot spell exactly (an unpaired surrogate) is nullopt, never a
// look-alike.
std::vector<std::optional<std::string>> DroppedNames(HDROP drop);

class FileDropTarget final : public IDropTarget {
 public:
  // Whether a drop at this screen point would be taken: the drag shows the
  // copy effect there, none elsewhere.
  Callback<bool(POINT screen)> accepts;
  // The names of a drop at this screen point.
  Callback<void(const std::vector<std::optional<std::string>>& names, POINT screen)> dropped;

  // A new target holding one reference.
  static FileDropTarget* Make() { return new FileDropTarget; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL pt, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override;

 private:
  FileDropTarget() = default;
  ~FileDropTarget() = default;
  DWORD EffectAt(POINTL pt, DWORD allowed) const;

  ULONG refs_ = 1;
  bool has_files_ = false;  // the data of the drag in progress holds CF_HDROP
};

// A window registered as a drop target while the object lives (OLE set up
// for the thread meanwhile). Revoke before the window is destroyed.
class DropRegistration {
 public:
  DropRegistration() = default;
  DropRegistration(const DropRegistration&) = delete;
  DropRegistration& operator=(const DropRegistration&) = delete;
  ~DropRegistration() { Revoke(); }

  bool Register(HWND window, IDropTarget* target);
  void Revoke();

 private:
  HWND window_ = nullptr;
  bool ole_ = false;
};

}  // namespace korvane
