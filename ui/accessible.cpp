#include "ui/accessible.h"

#include <new>
#include <utility>

#include "ui/wide.h"

namespace ui {
namespace {

// The body of a COM method: no exception leaves it.
template <class F>
HRESULT Guarded(const Accessible& self, F&& f) noexcept {
  try {
    if (!self.Connected()) return RPC_E_DISCONNECTED;
    return f();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

bool ChildOf(const VARIANT& v, long& child) {
  if (v.vt != VT_I4) return false;
  child = v.lVal;
  return true;
}

// A text for the client: S_FALSE and no string when there is none.
HRESULT Text(const std::string& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  const std::wstring w = Wide(text);
  *out = SysAllocStringLen(w.data(), static_cast<UINT>(w.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

void SetI4(VARIANT* v, long value) {
  v->vt = VT_I4;
  v->lVal = value;
}

}  // namespace

HRESULT Accessible::QueryInterface(REFIID riid, void** out) {
  if (!out) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IAccessible)) {
    *out = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG Accessible::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG Accessible::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT Accessible::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}
HRESULT Accessible::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}
HRESULT Accessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
HRESULT Accessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

HRESULT Accessible::get_accParent(IDispatch** parent) {
  if (!parent) return E_POINTER;
  *parent = nullptr;
  return Guarded(*this, [&]() -> HRESULT {
    *parent = ParentObject();
    return *parent ? S_OK : S_FALSE;
  });
}

HRESULT Accessible::get_accChildCount(long* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return Guarded(*this, [&]() -> HRESULT {
    *count = ChildCount();
    return S_OK;
  });
}

HRESULT Accessible::get_accChild(VARIANT child, IDispatch** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  return Guarded(*this, [&]() -> HRESULT {
    long id = 0;
    if (!ChildOf(child, id) || !Has(id)) return E_INVALIDARG;
    if (id == CHILDID_SELF) {
      AddRef();
      *object = this;
      return S_OK;
    }
    *object = ChildObject(id);
    return *object ? S_OK : S_FALSE;
  });
}

HRESULT Accessible::TextAnswer(VARIANT child, BSTR* out, std::string (Accessible::*source)(long) const) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return Guarded(*this, [&]() -> HRESULT {
    long id = 0;
    if (!ChildOf(child, id) || !Has(id)) return E_INVALIDARG;
    return Text((this->*source)(id), out);
  });
}

HRESULT Accessible::get_accName(VARIANT child, BSTR* out) { return TextAnswer(child, out, &Accessible::Name); }
HRESULT Accessible::get_accValue(VARIANT child, BSTR* out) { return TextAnswer(child, out, &Accessible::Value); }
HRESULT Accessible::get_accDescription(VARIANT child, BSTR* out) {
  return TextAnswer(child, out, &Accessible::Description);
}
HRESULT Accessible::get_accKeyboardShortcut(VARIANT child, BSTR* out) {
  return TextAnswer(child, out, &Accessible::Shortcut);
}
HRESULT Accessible::get_accDefaultAction(VARIANT child, BSTR* out) {
  return TextAnswer(child, out, &Accessible::DefaultAction);
}

HRESULT Accessible::get_accRole(VARIANT child, VARIANT* role) {
  if (!role) return E_POINTER;
  VariantInit(role);
  return Guarded(*this, [&]() -> HRESULT {
    long id = 0;
    if (!ChildOf(child, id) || !Has(id)) return E_INVALIDARG;
    SetI4(role, Role(id));
    return S_OK;
  });
}

HRESULT Accessible::get_accState(VARIANT child, VARIANT* state) {
  if (!state) return E_POINTER;
  VariantInit(state);
  return Guarded(*this, [&]() -> HRESULT {
    long id = 0;
    if (!ChildOf(child, id) || !Has(id)) return E_INVALIDARG;
    SetI4(state, State(id));
    return S_OK;
  });
}

HRESULT Accessible::get_accHelp(VARIANT, BSTR* help) {
  if (help) *help = nullptr;
  return Connected() ? S_FALSE : RPC_E_DISCONNECTED;
}

HRESULT Accessible::get_accHelpTopic(BSTR* file, VARIANT, long* topic) {
  if (file) *file = nullptr;
  if (topic) *topic = 0;
  return Connected() ? S_FALSE : RPC_E_DISCONNECTED;
}

HRESULT Accessible::get_accFocus(VARIANT* child) {
  if (!child) return E_POINTER;
  VariantInit(child);
  return Guarded(*this, [&]() -> HRESULT {
    const long id = Focus();
    if (id == kNoChild) return S_FALSE;
    return ChildVariant(id, child);
  });
}

HRESULT Accessible::get_accSelection(VARIANT* children) {
  if (!children) return E_POINTER;
  VariantInit(children);
  return Guarded(*this, [&]() -> HRESULT {
    const long id = Selection();
    if (id == kNoChild) return S_FALSE;
    return ChildVariant(id, children);
  });
}

HRESULT Accessible::accSelect(long flags, VARIANT child) {
  return Guarded(*this, [&]() -> HRESULT {
    long id = 0;
    if (!ChildOf(child, id) || !Has(id)) return E_INVALIDARG;
    return Select(id, flags) ? S_OK : DISP_E_MEMBERNOTFOUND;
  });
}

HRESULT Accessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
  if (!left || !top || !width || !height) return E_POINTER;
  *left = *top = *width = *height = 0;
  return Guarded(*this, [&]() -> HRESULT {
    long id = 0;
    if (!ChildOf(child, id) || !Has(id)) return E_INVALIDARG;
    const RECT r = Location(id);
    if (IsRectEmpty(&r)) return S_FALSE;
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
  });
}

HRESULT Accessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
  if (!end) return E_POINTER;
  VariantInit(end);
  return Guarded(*this, [&]() -> HRESULT {
    long from = 0;
    if (!ChildOf(start, from) || !Has(from)) return E_INVALIDARG;
    const long to = Navigate(direction, from);
    if (to == kNoChild) return S_FALSE;
    return ChildVariant(to, end);
  });
}

HRESULT Accessible::accHitTest(long x, long y, VARIANT* child) {
  if (!child) return E_POINTER;
  VariantInit(child);
  return Guarded(*this, [&]() -> HRESULT {
    const long id = HitTest(POINT{x, y});
    if (id == kNoChild) return S_FALSE;
    return ChildVariant(id, child);
  });
}

HRESULT Accessible::accDoDefaultAction(VARIANT child) {
  return Guarded(*this, [&]() -> HRESULT {
    long id = 0;
    if (!ChildOf(child, id) || !Has(id)) return E_INVALIDARG;
    return DoDefaultAction(id) ? S_OK : DISP_E_MEMBERNOTFOUND;
  });
}

HRESULT Accessible::put_accName(VARIANT, BSTR) { return E_NOTIMPL; }
HRESULT Accessible::put_accValue(VARIANT, BSTR) { return E_NOTIMPL; }

IAccessible* Accessible::ParentObject() {
  IAccessible* parent = nullptr;
  if (FAILED(AccessibleObjectFromWindow(hwnd_, static_cast<DWORD>(OBJID_WINDOW), __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&parent))))
    return nullptr;
  return parent;
}

RECT Accessible::ClientOnScreen() const {
  RECT r{};
  GetClientRect(hwnd_, &r);
  MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

RECT Accessible::Location(long child) const { return child == 0 ? ClientOnScreen() : RECT{}; }

long Accessible::HitTest(POINT screen) const {
  const RECT r = ClientOnScreen();
  return PtInRect(&r, screen) ? 0 : kNoChild;
}

long Accessible::Navigate(long direction, long from) const {
  const long count = ChildCount();
  switch (direction) {
    case NAVDIR_FIRSTCHILD: return from == 0 && count > 0 ? 1 : kNoChild;
    case NAVDIR_LASTCHILD: return from == 0 && count > 0 ? count : kNoChild;
    case NAVDIR_NEXT: return from >= 1 && from < count ? from + 1 : kNoChild;
    case NAVDIR_PREVIOUS: return from > 1 && from <= count ? from - 1 : kNoChild;
    default: return kNoChild;
  }
}

HRESULT Accessible::ChildVariant(long child, VARIANT* out) {
  if (child == CHILDID_SELF) {
    SetI4(out, CHILDID_SELF);
    return S_OK;
  }
  if (IAccessible* object = ChildObject(child)) {
    out->vt = VT_DISPATCH;
    out->pdispVal = object;
    return S_OK;
  }
  SetI4(out, child);
  return S_OK;
}

LRESULT AccessibleSlot::Lresult(WPARAM wp) {
  if (!object_) return 0;
  // Marshalling the object needs COM on this thread; the window's thread may
  // not have asked for it yet (OLE comes with the drop target, after the
  // first paint). A thread that had it keeps its count as it was.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const LRESULT answer = LresultFromObject(__uuidof(IAccessible), wp, object_.get());
  if (com == S_FALSE) CoUninitialize();
  return answer < 0 ? 0 : answer;
}

void AccessibleSlot::Reset() {
  if (object_) object_->Disconnect();
  object_.reset();
}

void RaiseEvent(HWND hwnd, DWORD event, long child) {
  if (hwnd) NotifyWinEvent(event, hwnd, OBJID_CLIENT, child);
}

}  // namespace ui
