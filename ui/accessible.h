#pragma once
// What a screen reader asks of a window the program paints itself: an
// IAccessible (MSAA) answered from the window's own state, made at the first
// WM_GETOBJECT for the window's client (oleacc and OLE are loaded then, not
// at start) and cut off from the window when its owner goes. Every COM
// method catches; once cut off, each answers RPC_E_DISCONNECTED.
//
// Child ids: 0 is the object itself; an object answers for the ids Has()
// accepts. A child that is an object of its own (a grid's row) is handed out
// by ChildObject; the others are simple elements the object answers for.
#include <windows.h>
#include <oleacc.h>

#include <string>

#include "ui/com_ref.h"

namespace ui {

inline constexpr long kNoChild = -1;

class Accessible : public IAccessible {
 public:
  Accessible(const Accessible&) = delete;
  Accessible& operator=(const Accessible&) = delete;

  // The window is going: every later call answers RPC_E_DISCONNECTED.
  void Disconnect() { connected_ = false; }
  virtual bool Connected() const { return connected_ && IsWindow(hwnd_); }
  HWND hwnd() const { return hwnd_; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDispatch: no type information; clients call the IAccessible methods.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;
  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

 protected:
  explicit Accessible(HWND hwnd) : hwnd_(hwnd) {}
  virtual ~Accessible() = default;

  virtual long ChildCount() const { return 0; }
  virtual bool Has(long child) const { return child >= 0 && child <= ChildCount(); }
  // A child that is an object of its own, as a new reference; null for a
  // simple element.
  virtual IAccessible* ChildObject(long) { return nullptr; }
  // Default: the window's own object, as the system makes it.
  virtual IAccessible* ParentObject();
  virtual std::string Name(long child) const = 0;
  virtual std::string Value(long) const { return {}; }
  virtual std::string Description(long) const { return {}; }
  virtual std::string Shortcut(long) const { return {}; }
  virtual long Role(long child) const = 0;
  virtual long State(long child) const = 0;
  virtual std::string DefaultAction(long) const { return {}; }
  // Runs the action later (posted): a reader's call must not wait for a box.
  virtual bool DoDefaultAction(long) { return false; }
  virtual bool Select(long /*child*/, long /*flags*/) { return false; }
  // Screen rectangle; empty when it has none. Default: the client area for 0.
  virtual RECT Location(long child) const;
  // The child with the keyboard focus (0: the object itself), or kNoChild.
  virtual long Focus() const { return GetFocus() == hwnd_ ? 0 : kNoChild; }
  virtual long Selection() const { return kNoChild; }
  // The child under a screen point (0: the object itself), or kNoChild.
  virtual long HitTest(POINT screen) const;
  // Default: first and last child from 0, next and previous among 1..count.
  virtual long Navigate(long direction, long from) const;

  // The client rectangle of the window in screen coordinates.
  RECT ClientOnScreen() const;
  // A child id as the VARIANT a client gets: the object of a child that is
  // one, else its id.
  HRESULT ChildVariant(long child, VARIANT* out);

 private:
  HRESULT TextAnswer(VARIANT child, BSTR* out, std::string (Accessible::*source)(long) const);

  HWND hwnd_;
  bool connected_ = true;
  LONG references_ = 1;
};

// A window's one accessible object: made at the first WM_GETOBJECT for its
// client, disconnected when the slot goes or is reset.
class AccessibleSlot {
 public:
  AccessibleSlot() = default;
  AccessibleSlot(const AccessibleSlot&) = delete;
  AccessibleSlot& operator=(const AccessibleSlot&) = delete;
  ~AccessibleSlot() { Reset(); }

  // WM_GETOBJECT's answer: for OBJID_CLIENT the object (make() the first
  // time: a new object with its first reference), else 0, and the message
  // goes on to the window's default handling.
  template <class Make>
  LRESULT Answer(WPARAM wp, LPARAM lp, Make make) {
    if (static_cast<DWORD>(lp) != static_cast<DWORD>(OBJID_CLIENT)) return 0;
    if (!object_) object_ = ComRef<Accessible>::Adopt(make());
    return Lresult(wp);
  }
  Accessible* get() const { return object_.get(); }
  void Reset();

 private:
  LRESULT Lresult(WPARAM wp);
  ComRef<Accessible> object_;
};

// Tells readers that a child of the window's client changed (an
// EVENT_OBJECT_* or EVENT_SYSTEM_*).
void RaiseEvent(HWND hwnd, DWORD event, long child = CHILDID_SELF);

}  // namespace ui
