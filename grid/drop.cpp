// The OLE drop target of the entry grid and the names of a dropped HDROP.
#include "grid/drop.h"

#include "ui/wide.h"
#include "ui/window.h"

namespace korvane {

namespace {
// True when every surrogate of text has its other half.
bool SpelledExactly(std::wstring_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      return false;
    }
  }
  return true;
}
}  // namespace

std::vector<std::optional<std::string>> DroppedNames(HDROP drop) {
  std::vector<std::optional<std::string>> names;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring wide(length + 1, L'\0');
    wide.resize(DragQueryFileW(drop, i, wide.data(), length + 1));
    // Read as wide text whichever form the sender used. A name Windows
    // holds but UTF-8 cannot spell (an unpaired surrogate) is no path.
    if (wide.empty() || !SpelledExactly(wide)) names.emplace_back(std::nullopt);
    else names.emplace_back(ui::Narrow(wide));
  }
  return names;
}

HRESULT FileDropTarget::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
    *out = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG FileDropTarget::AddRef() { return ++refs_; }

ULONG FileDropTarget::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

DWORD FileDropTarget::EffectAt(POINTL pt, DWORD allowed) const {
  if (!has_files_ || !(allowed & DROPEFFECT_COPY) || !accepts || !accepts(POINT{pt.x, pt.y})) {
    return DROPEFFECT_NONE;
  }
  return DROPEFFECT_COPY;
}

namespace {
// No exception leaves a COM method: it is reported as one from a window
// procedure is, and OLE gets a failure and no drop effect.
template <typename Body>
HRESULT Guarded(DWORD* effect, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    if (effect) *effect = DROPEFFECT_NONE;
    ui::ReportCurrentException();
    return E_UNEXPECTED;
  }
}
}  // namespace

HRESULT FileDropTarget::DragEnter(IDataObject* data, DWORD, POINTL pt, DWORD* effect) {
  return Guarded(effect, [&] {
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    has_files_ = data && data->QueryGetData(&format) == S_OK;
    if (effect) *effect = EffectAt(pt, *effect);
    return S_OK;
  });
}

HRESULT FileDropTarget::DragOver(DWORD, POINTL pt, DWORD* effect) {
  return Guarded(effect, [&] {
    if (effect) *effect = EffectAt(pt, *effect);
    return S_OK;
  });
}

HRESULT FileDropTarget::DragLeave() {
  return Guarded(nullptr, [&] {
    has_files_ = false;
    return S_OK;
  });
}

HRESULT FileDropTarget::Drop(IDataObject* data, DWORD, POINTL pt, DWORD* effect) {
  return Guarded(effect, [&] {
    const DWORD allowed = effect ? *effect : DROPEFFECT_COPY;
    if (effect) *effect = DROPEFFECT_NONE;
    has_files_ = false;
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (!data || !(allowed & DROPEFFECT_COPY) || FAILED(data->GetData(&format, &medium))) return S_OK;
    std::vector<std::optional<std::string>> names;
    try {
      if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) names = DroppedNames(static_cast<HDROP>(medium.hGlobal));
    } catch (...) {
      ReleaseStgMedium(&medium);
      throw;
    }
    ReleaseStgMedium(&medium);
    if (names.empty()) return S_OK;
    if (effect && accepts && accepts(POINT{pt.x, pt.y})) *effect = DROPEFFECT_COPY;
    if (dropped) dropped(names, POINT{pt.x, pt.y});
    return S_OK;
  });
}

bool DropRegistration::Register(HWND window, IDropTarget* target) {
  Revoke();
  // S_FALSE: already set up for this thread, still one more to undo.
  ole_ = SUCCEEDED(OleInitialize(nullptr));
  if (ole_ && RegisterDragDrop(window, target) == S_OK) {
    window_ = window;
    return true;
  }
  Revoke();
  return false;
}

void DropRegistration::Revoke() {
  if (window_) RevokeDragDrop(window_);
  window_ = nullptr;
  if (ole_) OleUninitialize();
  ole_ = false;
}

}  // namespace korvane
