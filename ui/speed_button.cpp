#include "ui/speed_button.h"

#include "ui/hint.h"
#include "ui/image.h"
#include "ui/wide.h"

namespace ui {

namespace {
constexpr char kClassName[] = "ui.SpeedButton";

class ButtonAccessible final : public Accessible {
 public:
  explicit ButtonAccessible(const SpeedButton& button) : Accessible(button.hwnd()), button_(button) {}

 private:
  std::string Name(long) const override { return TextOf(hwnd()); }
  long Role(long) const override { return ROLE_SYSTEM_PUSHBUTTON; }
  long State(long) const override {
    long state = 0;
    if (button_.Down()) state |= STATE_SYSTEM_PRESSED;
    if (!button_.Enabled()) state |= STATE_SYSTEM_UNAVAILABLE;
    if (!IsWindowVisible(hwnd())) state |= STATE_SYSTEM_INVISIBLE;
    return state;
  }
  std::string DefaultAction(long) const override { return "押す"; }
  bool DoDefaultAction(long) override { return PostMessageW(hwnd(), BM_CLICK, 0, 0) != FALSE; }

  const SpeedButton& button_;
};
}  // namespace

bool SpeedButton::Create(const SpeedButtonArgs& args) {
  flat_ = args.flat;
  group_index_ = args.group_index;
  allow_all_up_ = args.allow_all_up;
  const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (args.visible ? WS_VISIBLE : 0) | (args.enabled ? 0 : WS_DISABLED);
  if (!CreateWindowOfClass(kClassName, 0, style, args.name.c_str(), args.bounds.x, args.bounds.y, args.bounds.width,
                           args.bounds.height, args.parent, nullptr, 0, nullptr)) {
    return false;
  }
  if (args.down) SetDown(true);
  if (!args.hint.empty()) SetHint(args.hint);
  return true;
}

void SpeedButton::SetGlyph(UniqueBitmap glyph, int count) {
  glyph_ = std::move(glyph);
  glyph_count_ = count < 1 ? 1 : count;
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void SpeedButton::SetDown(bool down) {
  if (down == down_) return;
  if (!down && group_index_ != 0 && !allow_all_up_) return;  // one of the group stays down
  if (down && group_index_ != 0) {
    for (HWND h = GetWindow(GetParent(hwnd()), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
      auto* other = h == hwnd() ? nullptr : dynamic_cast<SpeedButton*>(Window::FromHwnd(h));
      if (other && other->group_index_ == group_index_ && other->down_) other->DownChanged(false);
    }
  }
  DownChanged(down);
}

void SpeedButton::DownChanged(bool down) {
  down_ = down;
  InvalidateRect(hwnd(), nullptr, TRUE);
  RaiseEvent(hwnd(), EVENT_OBJECT_STATECHANGE);
}

void SpeedButton::SetEnabled(bool enabled) {
  EnableWindow(hwnd(), enabled ? TRUE : FALSE);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

bool SpeedButton::Enabled() const { return IsWindowEnabled(hwnd()) != FALSE; }

void SpeedButton::SetHint(std::string_view hint) { ui::SetHint(hwnd(), hint); }

void SpeedButton::Paint(HDC dc, const RECT& client) const {
  const bool enabled = IsWindowEnabled(hwnd()) != FALSE;
  const bool sunken = down_ || (pressed_ && pressed_inside_);
  PaintParentBackground(hwnd(), dc);
  RECT r = client;
  if (down_ && !(pressed_ && pressed_inside_)) {
    // A button that stays down shows a light checkered face.
    static const WORD kChecker[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    UniqueBitmap pattern(CreateBitmap(8, 8, 1, 1, kChecker));
    UniqueBrush brush(CreatePatternBrush(pattern.get()));
    const COLORREF old_text = SetTextColor(dc, GetSysColor(COLOR_BTNFACE));
    const COLORREF old_bk = SetBkColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    FillRect(dc, &r, brush.get());
    SetTextColor(dc, old_text);
    SetBkColor(dc, old_bk);
  }
  if (sunken) {
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  } else if (!flat_ || (hot_ && enabled)) {
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  }
  if (!glyph_) return;
  BITMAP bm{};
  GetObjectW(glyph_.get(), sizeof bm, &bm);
  const int w = bm.bmWidth / glyph_count_;
  const int index = (!enabled && glyph_count_ > 1) ? 1 : 0;
  const int offset = sunken ? 1 : 0;
  const int x = (client.right - w) / 2 + offset;
  const int y = (client.bottom - bm.bmHeight) / 2 + offset;
  DrawTransparentBitmap(dc, glyph_.get(), x, y, w, bm.bmHeight, index * w, w);
}

bool SpeedButton::PointerInside(LPARAM lp) const {
  RECT client{};
  GetClientRect(hwnd(), &client);
  const POINT pt = MousePoint(lp);
  return PtInRect(&client, pt) != FALSE;
}

void SpeedButton::Clicked() {
  if (group_index_ != 0) {
    if (allow_all_up_ && down_) {
      DownChanged(false);
    } else {
      SetDown(true);
    }
  }
  if (on_click) on_click();
}

LRESULT SpeedButton::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // all of it is painted in WM_PAINT
    case WM_PAINT: {
      PaintDC dc(hwnd());
      RECT client{};
      GetClientRect(hwnd(), &client);
      // Composed off screen: the parent's background, the face, the picture.
      MemorySurface surface;
      if (surface.Create(client.right, client.bottom, dc.get())) {
        SetViewportOrgEx(surface.dc(), 0, 0, nullptr);
        Paint(surface.dc(), client);
        BitBlt(dc.get(), 0, 0, client.right, client.bottom, surface.dc(), 0, 0, SRCCOPY);
      } else {
        Paint(dc.get(), client);
      }
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!IsWindowEnabled(hwnd())) return 0;  // also a press posted to a disabled button
      pressed_ = true;
      pressed_inside_ = true;
      SetCapture(hwnd());
      InvalidateRect(hwnd(), nullptr, TRUE);
      return 0;
    case WM_MOUSEMOVE: {
      if (!hot_) {
        hot_ = true;
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd(), 0};
        TrackMouseEvent(&tme);
        InvalidateRect(hwnd(), nullptr, TRUE);
      }
      if (pressed_ && PointerInside(lp) != pressed_inside_) {
        pressed_inside_ = !pressed_inside_;
        InvalidateRect(hwnd(), nullptr, TRUE);
      }
      return 0;
    }
    case WM_MOUSELEAVE:
      hot_ = false;
      InvalidateRect(hwnd(), nullptr, TRUE);
      return 0;
    case WM_LBUTTONUP: {
      const bool click = pressed_ && PointerInside(lp);
      pressed_ = false;
      if (GetCapture() == hwnd()) ReleaseCapture();
      InvalidateRect(hwnd(), nullptr, TRUE);
      if (click) Clicked();
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (pressed_) {
        pressed_ = false;
        InvalidateRect(hwnd(), nullptr, TRUE);
      }
      return 0;
    case WM_ENABLE:
      InvalidateRect(hwnd(), nullptr, TRUE);
      return 0;
    case BM_CLICK:
      if (IsWindowEnabled(hwnd())) Clicked();
      return 0;
    case WM_GETOBJECT:
      if (const LRESULT object = accessible_.Answer(wp, lp, [this] { return new ButtonAccessible(*this); }))
        return object;
      return Window::HandleMessage(msg, wp, lp);
    default:
      return Window::HandleMessage(msg, wp, lp);
  }
}

}  // namespace ui
