#pragma once
// A data object holding files as Explorer hands them to a drop target: an
// HDROP (a DROPFILES header, then the names, each NUL-terminated, and one
// more NUL), ANSI or wide. Used in-process by the drop tests and by the
// drag-source program of the end-to-end test.
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/text.h"

namespace kit {

// The names are code page 932 bytes (ANSI) or UTF-16 (wide).
// UTF-8 names given, the ANSI form sent: their code page 932 bytes, as an
// ANSI program drags them (a name that does not fit goes as it is).
inline HGLOBAL MakeHdrop(const std::vector<std::string>& ansi_names) {
  std::string list;
  for (const std::string& n : ansi_names) list += korvane::Cp932FromUtf8(n).value_or(n) + '\0';
  list += '\0';
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
  auto* p = static_cast<char*>(GlobalLock(mem));
  auto* header = reinterpret_cast<DROPFILES*>(p);
  header->pFiles = sizeof(DROPFILES);
  header->fWide = FALSE;
  std::memcpy(p + sizeof(DROPFILES), list.data(), list.size());
  GlobalUnlock(mem);
  return mem;
}

inline HGLOBAL MakeHdrop(const std::vector<std::wstring>& wide_names) {
  std::wstring list;
  for (const std::wstring& n : wide_names) list += n + L'\0';
  list += L'\0';
  const std::size_t bytes = list.size() * sizeof(wchar_t);
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + bytes);
  auto* p = static_cast<char*>(GlobalLock(mem));
  auto* header = reinterpret_cast<DROPFILES*>(p);
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  std::memcpy(p + sizeof(DROPFILES), list.data(), bytes);
  GlobalUnlock(mem);
  return mem;
}

// Offers CF_HDROP in an HGLOBAL, a copy for every GetData.
class HdropData final : public IDataObject {
 public:
  explicit HdropData(HGLOBAL hdrop) : hdrop_(hdrop) {}
  ~HdropData() { GlobalFree(hdrop_); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
      *out = static_cast<IDataObject*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* f, STGMEDIUM* m) override {
    if (QueryGetData(f) != S_OK) return DV_E_FORMATETC;
    const SIZE_T size = GlobalSize(hdrop_);
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(copy), GlobalLock(hdrop_), size);
    GlobalUnlock(hdrop_);
    GlobalUnlock(copy);
    m->tymed = TYMED_HGLOBAL;
    m->hGlobal = copy;
    m->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* f) override {
    return f && f->cfFormat == CF_HDROP && (f->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
    if (direction != DATADIR_GET) return E_NOTIMPL;
    FORMATETC f{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return SHCreateStdEnumFmtEtc(1, &f, out);
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  HGLOBAL hdrop_;
  ULONG refs_ = 1;
};

}  // namespace kit
