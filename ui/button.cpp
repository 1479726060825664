#include "ui/button.h"

#include "ui/form.h"
#include "ui/window.h"

namespace ui {

bool Button::Create(const ButtonArgs& args) {
  const DWORD style = WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS | (args.is_default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) |
                      (args.visible ? WS_VISIBLE : 0) | (args.enabled ? 0 : WS_DISABLED);
  if (!CreateControl("BUTTON", 0, style, args.caption, args.bounds, args.parent)) return false;
  modal_result_ = args.modal_result;
  HFONT font = ControlFont(args.parent, args.font, own_font_);
  if (font) SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SetHelpContext(hwnd(), args.help_context);
  if (Form* form = Form::FromHwnd(GetAncestor(args.parent, GA_ROOT))) {
    if (args.is_default) form->SetDefaultButton(hwnd());
    if (args.is_cancel) form->SetCancelButton(hwnd());
  }
  return true;
}

void Button::Click() {
  SendMessageW(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd()), BN_CLICKED),
               reinterpret_cast<LPARAM>(hwnd()));
}

LRESULT Button::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case kReflectBase + WM_COMMAND:
      if (HIWORD(wp) == BN_CLICKED) {
        if (on_click) on_click();
        if (modal_result_ && hwnd()) {
          if (Form* form = Form::FromHwnd(GetAncestor(hwnd(), GA_ROOT))) form->EndModal(modal_result_);
        }
        return 1;
      }
      return 0;
    case WM_MOUSEMOVE:
      if (on_mouse_move) {
        on_mouse_move(MouseEventOf(msg, wp, lp));
      }
      break;
    default:
      break;
  }
  return Default(msg, wp, lp);
}

}  // namespace ui
