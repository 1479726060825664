#pragma once
// Forms: top-level windows of the program and its modal dialogs. A form owns
// its font (inherited by the controls that set none), hosts any child window,
// moves the focus in tab order and handles the keyboard the way a form does
// (menu shortcuts, F1, Tab, the default and cancel buttons) without turning
// Enter or Escape into commands where it has no such buttons.
#include <windows.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/callback.h"
#include "ui/control.h"
#include "ui/font.h"
#include "ui/gdi.h"
#include "ui/align.h"
#include "ui/window.h"

namespace ui {

class MenuBar;

enum class FormKind {
  Sizeable,  // sizeable frame with system menu, minimise and maximise
  Dialog,    // fixed dialog frame; a close box only when asked
};

struct FormArgs {
  const char* class_name = "ui.Form";
  std::string caption;
  FormKind kind = FormKind::Sizeable;
  bool close_box = true;  // dialogs: system menu with the close button
  Bounds bounds{CW_USEDEFAULT, CW_USEDEFAULT, 400, 300};  // outer size, screen position
  bool client_size = false;  // bounds.width/height give the client area instead
  FontSpec font;
  int background = COLOR_BTNFACE;  // system colour index of the client area
  DWORD help_context = 0;
  HWND owner = nullptr;  // default: the application window; dialogs: the main form
};

enum ModalResult : int { kModalNone = 0, kModalOk = IDOK, kModalCancel = IDCANCEL };

// A handler of one window message: true when it handled the message (its
// answer in `result`); false lets the form's default handling run.
using MessageHandler = korvane::Callback<bool(WPARAM wp, LPARAM lp, LRESULT& result)>;

// Destroy() the form before its object goes: a derived form's controls are
// members destroyed before the base, and handlers that would run while the
// window dies (focus moves, WM_DESTROY) must still find them.
class Form : public Window {
 public:
  Form() = default;
  ~Form() override;

  // Creates the (hidden) window, then CreateControls(), then OnCreate().
  bool Create(const FormArgs& args);
  // The form of a window made by this class, or null.
  static Form* FromHwnd(HWND hwnd);

  // Events of a form used as it is (tests, the gallery); a form of its own
  // class overrides the virtual handlers below instead.
  korvane::Callback<void()> on_create;
  korvane::Callback<void()> on_destroy;
  korvane::Callback<bool()> on_close_query;  // false refuses the close
  korvane::Callback<void()> on_resize;
  korvane::Callback<void()> on_activate;
  korvane::Callback<void(const MouseEvent&)> on_mouse_move;
  korvane::Callback<void(HDC dc, const RECT& client)> on_paint;
  korvane::Callback<HPALETTE()> on_palette;
  korvane::Callback<bool()> on_query_end_session;
  korvane::Callback<void(bool ending)> on_end_session;
  void SetMessageHandler(UINT msg, MessageHandler handler);

  // Placement: outer size, screen coordinates.
  Bounds bounds() const;
  int Left() const { return bounds().x; }
  int Top() const { return bounds().y; }
  int Width() const { return bounds().width; }
  int Height() const { return bounds().height; }
  void SetBounds(const Bounds& b);
  void SetLeft(int x);
  void SetTop(int y);
  void SetWidth(int w);
  void SetHeight(int h);
  SIZE ClientSize() const;
  bool Maximized() const;
  void SetMaximized(bool maximized);
  std::string Caption() const;
  void SetCaption(std::string_view caption);
  HFONT font() const { return font_.get(); }
  const FontSpec& font_spec() const { return font_spec_; }

  // Children aligned to the client edges in table order, on every resize
  // (before OnResize runs).
  void SetAlignedLayout(std::vector<AlignedChild> layout);

  // The menu bar (borrowed: it must outlive the form); its shortcuts work
  // while the focus is anywhere in the form.
  void SetMainMenu(MenuBar* menu);
  MenuBar* main_menu() const { return menu_; }
  // Enter presses the default button (unless the focus is on another push
  // button, which Enter presses); Escape presses the cancel button. Without
  // them the keys go to the focused control.
  void SetDefaultButton(HWND button) { default_button_ = button; }
  void SetCancelButton(HWND button) { cancel_button_ = button; }

  void Show();
  void Hide();
  bool Visible() const;
  // Shows the form modally: the other windows of the program are disabled
  // until EndModal or a close; answers the modal result.
  int ShowModal();
  void EndModal(int result);
  bool InModal() const { return in_modal_; }
  int modal_result() const { return modal_result_; }
  // As the close box: the close query decides.
  void Close();
  void Invalidate();
  void RepaintNow();

  // The control that has (or last had, while the form is inactive) the focus.
  HWND FocusedControl() const;
  void FocusControl(HWND control);
  // Keyboard handling of the run loop, before translation and dispatch.
  bool PreTranslate(MSG& msg);

 protected:
  // Builds the controls: runs after the window exists, before OnCreate.
  virtual void CreateControls() {}
  virtual void OnCreate();
  virtual void OnDestroy();
  // False refuses the close.
  virtual bool OnCloseQuery();
  virtual void OnResize();
  // The focus came into this form from no window or another form of the
  // program (not when the program itself becomes active again).
  virtual void OnActivate();
  virtual void OnMouseMove(const MouseEvent& e);
  // The palette to realise for WM_QUERYNEWPALETTE / WM_PALETTECHANGED.
  virtual HPALETTE Palette();
  // Windows asks whether the session may end (default: the close query).
  virtual bool OnQueryEndSession();
  virtual void OnEndSession(bool ending);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void Activated(WPARAM wp);
  void RestoreFocus();
  UINT RealizeOwnPalette(bool background);
  void QueryClose();
  void Press(HWND button);

  FontSpec font_spec_;
  UniqueFont font_;
  MenuBar* menu_ = nullptr;
  HWND default_button_ = nullptr;
  HWND cancel_button_ = nullptr;
  HWND saved_focus_ = nullptr;
  std::vector<AlignedChild> layout_;
  std::vector<std::pair<UINT, MessageHandler>> handlers_;
  int show_command_ = SW_SHOWNORMAL;
  bool in_modal_ = false;
  int modal_result_ = kModalNone;
};

}  // namespace ui
