// The toolkit gallery: one form with every control, laid out like the
// program's main window, and the name dialog with "--dialog".
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "ui/application.h"
#include "ui/bevel.h"
#include "ui/button.h"
#include "ui/canvas.h"
#include "ui/drawgrid.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/image.h"
#include "ui/image_list.h"
#include "ui/label.h"
#include "ui/list_box.h"
#include "ui/menu.h"
#include "ui/panel.h"
#include "ui/speed_button.h"
#include "ui/status_bar.h"

namespace {

constexpr char kTitle[] = "Toolkit gallery";
constexpr UINT kReady = WM_APP + 1;

ui::FontSpec Font(const char* face, int height, bool bold = false, bool underline = false) {
  ui::FontSpec f;
  f.face = face;
  f.height = height;
  f.bold = bold;
  f.underline = underline;
  return f;
}

// A bitmap drawn with the canvas; magenta is the transparent background.
template <typename Draw>
ui::UniqueBitmap Picture(int w, int h, COLORREF background, Draw draw) {
  ui::MemorySurface surface;
  surface.Create(w, h);
  {
    ui::Canvas c(surface.dc());
    c.SetBrushColor(background);
    c.FillRect(RECT{0, 0, w, h});
    draw(c);
  }
  return surface.TakeBitmap();
}

constexpr COLORREF kKey = RGB(255, 0, 255);

// Two 32 × 32 pictures: the enabled one, then a grey cross for disabled.
template <typename Draw>
ui::UniqueBitmap Glyph(Draw draw) {
  return Picture(64, 32, kKey, [&](ui::Canvas& c) {
    draw(c);
    c.SetPenColor(RGB(128, 128, 128));
    c.SetPenWidth(3);
    c.Line(40, 8, 56, 24);
    c.Line(56, 8, 40, 24);
  });
}

class GalleryForm : public ui::Form {
 public:
  ui::Panel top, bottom_area;
  ui::DrawGrid grid;
  ui::SpeedButton save, exit, input, run;
  ui::Bevel groove_a, groove_b;
  ui::Label toolbar_label, caption, link, rights;
  ui::StatusBar status;
  ui::ListBox groups;
  ui::Edit title_editor, name_edit;
  ui::Button ok, cancel;
  ui::Image icon, logo, strip;
  ui::ImageList pictures{40, 40};
  std::vector<std::string> names{"総務", "経理", "営業部 週報", "開発", "Korvane"};
  ui::MenuBar menu{{
      {0, "ﾌｧｲﾙ(&F)", {}, nullptr,
       {{100, "保存(&V)", ui::Ctrl('S'), [] {}, {}},
        {0, ui::kSeparator, {}, nullptr, {}},
        {101, "終了(&X)", {}, [this] { Close(); }, {}}}},
      {0, "ﾍﾙﾌﾟ(&H)", {}, nullptr,
       {{102, "ﾍﾙﾌﾟ(&H)", {}, [] {}, {}},
        {0, ui::kSeparator, {}, nullptr, {}},
        {103, "ﾊﾞｰｼﾞｮﾝ情報(&A)", {}, [] {}, {}}}},
  }};

 protected:
  void CreateControls() override;

 private:
  void DrawGroup(const ui::DrawItemEvent& e);
};

void GalleryForm::CreateControls() {
  SetMainMenu(&menu);

  ui::PanelArgs pa;
  pa.parent = hwnd();
  pa.outer = ui::BevelCut::Lowered;
  pa.inner = ui::BevelCut::Raised;
  top.Create(pa);

  const auto speed = [&](ui::SpeedButton& b, int x, int group, bool down, const char* hint) {
    ui::SpeedButtonArgs a;
    a.parent = top.hwnd();
    a.bounds = {x, 8, 41, 41};
    a.group_index = group;
    a.down = down;
    a.hint = hint;
    b.Create(a);
  };
  speed(save, 8, 0, false, "保存");
  speed(exit, 72, 0, false, "終了");
  speed(input, 136, 1, true, "登録モード");
  speed(run, 176, 1, false, "ランチャーモード");
  save.SetGlyph(Glyph([](ui::Canvas& c) {
                  c.SetBrushColor(RGB(192, 192, 192));
                  c.SetPenColor(RGB(0, 0, 0));
                  c.Rectangle(RECT{6, 16, 26, 28});
                  c.SetBrushColor(RGB(255, 0, 0));
                  c.FillRect(RECT{20, 22, 24, 25});
                  c.SetBrushColor(RGB(0, 0, 255));
                  c.FillRect(RECT{14, 2, 18, 12});
                  const POINT arrow[] = {{10, 10}, {16, 16}, {22, 10}};
                  c.SetPenColor(RGB(0, 0, 255));
                  c.SetPenWidth(2);
                  c.Polyline(arrow);
                }),
                2);
  exit.SetGlyph(Glyph([](ui::Canvas& c) {
                  c.SetBrushColor(RGB(160, 160, 160));
                  c.SetPenColor(RGB(64, 64, 64));
                  c.Rectangle(RECT{9, 3, 24, 30});
                  c.SetBrushColor(RGB(255, 255, 0));
                  c.FillRect(RECT{19, 15, 22, 18});
                }),
                2);
  const auto plate = [](int bars) {
    return Picture(32, 32, kKey, [bars](ui::Canvas& c) {
      c.SetBrushColor(RGB(192, 192, 192));
      c.SetPenColor(RGB(96, 96, 96));
      c.RoundRect(RECT{2, 4, 30, 28}, 6, 6);
      c.SetBrushColor(RGB(224, 0, 224));  // magenta, but not the transparent key
      if (bars == 2) {
        c.FillRect(RECT{9, 9, 13, 23});
        c.FillRect(RECT{19, 9, 23, 23});
      } else {
        c.FillRect(RECT{8, 12, 24, 20});
      }
    });
  };
  input.SetGlyph(plate(2), 1);
  run.SetGlyph(plate(1), 1);
  // The grooves have no windows: the panel draws them over its face.
  ui::BevelArgs ba;
  ba.parent = top.hwnd();
  ba.bounds = {59, 8, 3, 42};
  groove_a.Create(ba);
  ba.bounds = {123, 7, 3, 42};
  groove_b.Create(ba);
  ui::LabelArgs la;
  la.parent = top.hwnd();
  la.bounds = {232, 20, 0, 0};
  la.caption = "パネル・溝・スピードボタン（2 つは同じグループ）";
  la.transparent = true;
  toolbar_label.Create(la);

  ui::StatusBarArgs sa;
  sa.parent = hwnd();
  status.Create(sa);
  status.SetText("状態表示欄（パネルなし）");

  ui::ListBoxArgs lba;
  lba.parent = hwnd();
  lba.font = Font(ui::kFaceMsGothic, 21);
  lba.help_context = 5;
  groups.Create(lba);
  groups.SetItemHeight(41);
  for (const std::string& n : names) groups.AddItem(n);
  groups.SetItemIndex(2);
  groups.on_draw_item = [this](const ui::DrawItemEvent& e) { DrawGroup(e); };

  // The draw grid: 3 columns × 21 rows with a fixed row and column, painted
  // by a handler of the gallery's own.
  ui::DrawGridArgs ga;
  ga.parent = hwnd();
  ga.col_count = 3;
  ga.row_count = 21;
  ga.default_col_width = 150;
  ga.default_row_height = 40;
  grid.Create(ga);
  grid.SetColWidth(0, 40);
  {
    ui::UniqueFont font = ui::MakeFont(Font(ui::kFaceMsGothic, 15));
    grid.SetFont(font.get());
  }
  grid.on_draw_cell = [](HDC dc, int col, int row, const RECT& r, ui::CellState state) {
    COLORREF back = (state & ui::kCellFixed) ? RGB(192, 192, 192)
                    : (state & ui::kCellSelected) ? RGB(255, 255, 240)
                    : (row % 2) ? RGB(192, 192, 192) : RGB(224, 224, 224);
    ui::Canvas c(dc);
    c.SetBrushColor(back);
    c.FillRect(r);
    c.SetBkMode(ui::BkMode::Transparent);
    std::string text = row == 0 ? (col == 1 ? "Contents" : col == 2 ? "File" : "")
                       : col == 0 ? std::to_string(row)
                       : (col == 1 ? "見出し " : "C:\\業務\\file") + std::to_string(row);
    c.TextAt(r.left + 6, r.top + 12, text);
  };

  pa.outer = ui::BevelCut::Raised;
  pa.inner = ui::BevelCut::Lowered;
  bottom_area.Create(pa);
  HWND area = bottom_area.hwnd();
  la = ui::LabelArgs{};
  la.parent = area;
  la.bounds = {8, 10, 0, 0};
  la.caption = "新規追加する業務名";
  la.font = Font(ui::kFaceMsUiGothic, 15);
  la.transparent = true;
  caption.Create(la);
  ui::EditArgs ea;
  ea.parent = area;
  ea.bounds = {8, 30, 281, 23};
  ea.text = "業務名の入力欄";
  ea.font = Font(ui::kFaceMsGothic, 15);
  ea.max_units = 30;
  ea.ime_hiragana = true;
  name_edit.Create(ea);
  ea.bounds = {8, 62, 200, 20};
  ea.text = "枠なしのタイトル編集欄";
  ea.border = false;
  ea.max_units = 40;
  title_editor.Create(ea);
  ui::ButtonArgs bta;
  bta.parent = area;
  bta.bounds = {300, 29, 75, 25};
  bta.caption = "OK";
  bta.font = Font(ui::kFaceMsPGothic, 12);
  bta.is_default = true;
  ok.Create(bta);
  bta.bounds = {386, 29, 75, 25};
  bta.caption = "ｷｬﾝｾﾙ";
  bta.is_default = false;
  cancel.Create(bta);

  ui::ImageArgs ia;
  ia.parent = area;
  ia.bounds = {480, 8, 32, 32};
  ia.stretch = true;
  icon.Create(ia);
  icon.SetIcon(ui::UniqueIcon(CopyIcon(LoadIconA(nullptr, IDI_INFORMATION))), 32, 32);
  ia.bounds = {520, 8, 160, 32};
  ia.stretch = false;
  logo.Create(ia);
  logo.SetBitmap(Picture(160, 32, kKey, [](ui::Canvas& c) {
    c.SetFont(Font("Arial", 26, true));
    c.SetFontColor(RGB(0, 64, 160));
    c.SetBkMode(ui::BkMode::Transparent);
    c.TextAt(4, 1, "Korvane");
  }));
  la = ui::LabelArgs{};
  la.parent = area;
  la.bounds = {480, 50, 0, 0};
  la.caption = "Korvane Works のサイトへ";
  la.font = Font(ui::kFaceMsPGothic, 13, false, true);
  la.color = RGB(0, 0, 255);
  la.transparent = true;
  la.cursor = LoadCursorA(nullptr, IDC_HAND);
  la.hint = "https://korvane.invalid/";
  link.Create(la);
  link.on_mouse_move = [this](const ui::MouseEvent&) { link.SetFontColor(RGB(0, 255, 255)); };
  la.bounds = {480, 66, 0, 0};
  la.caption = "All rights reserved.";
  la.font = Font(ui::kFaceMsPGothic, 13);
  la.color = RGB(0, 0, 0);
  la.cursor = nullptr;
  la.hint.clear();
  rights.Create(la);
  bottom_area.on_mouse_move = [this](const ui::MouseEvent&) { link.SetFontColor(RGB(0, 0, 255)); };

  // Seven 40 × 40 pictures in the image list, each drawn opaque.
  ui::UniqueBitmap source = Picture(280, 40, kKey, [](ui::Canvas& c) {
    const COLORREF colours[] = {RGB(255, 255, 0), RGB(0, 0, 255), RGB(255, 0, 0), RGB(0, 160, 0),
                                RGB(255, 0, 255), RGB(0, 255, 255), RGB(128, 128, 128)};
    for (int i = 0; i < 7; ++i) {
      c.SetBrushColor(colours[i]);
      c.SetPenColor(RGB(0, 0, 0));
      c.RoundRect(RECT{i * 40 + 4, 4, i * 40 + 36, 36}, 10, 10);
    }
  });
  pictures.Add(source.get());
  ia.parent = area;
  ia.bounds = {300, 64, 0, 0};
  ia.transparent = false;
  strip.Create(ia);
  strip.SetBitmap(Picture(3 * 42, 40, RGB(255, 255, 255), [this](ui::Canvas& c) {
    for (int i = 0; i < 3; ++i) pictures.Draw(c.dc(), i * 2, i * 42, 0);
  }));

  SetAlignedLayout({{top.hwnd(), ui::Align::Top, 57},
                    {status.hwnd(), ui::Align::Bottom, 19},
                    {groups.hwnd(), ui::Align::Left, 265},
                    {bottom_area.hwnd(), ui::Align::Bottom, 112},
                    {grid.hwnd(), ui::Align::Client, 0}});
  ui::SetTabOrder({groups.hwnd(), name_edit.hwnd(), title_editor.hwnd(), ok.hwnd(), cancel.hwnd()});
  SetMessageHandler(kReady, [this](WPARAM, LPARAM, LRESULT&) {
    // Everything painted: tell whoever takes the screenshot.
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SetCaption(std::string(kTitle) + " - ready");
    return true;
  });
}

void GalleryForm::DrawGroup(const ui::DrawItemEvent& e) {
  const int w = e.rect.right - e.rect.left;
  const int h = e.rect.bottom - e.rect.top;
  ui::MemorySurface s;
  if (!s.Create(w, h, e.dc)) return;
  {
    ui::Canvas c(s.dc());
    c.SetBrushColor(e.selected ? RGB(192, 192, 255) : (e.index % 2 ? RGB(192, 192, 192) : RGB(224, 224, 224)));
    c.FillRect(RECT{0, 0, w, h});
    RECT frame{0, 0, w, h};
    c.Frame3D(frame, RGB(255, 255, 255), RGB(128, 128, 128));
    c.SetPenColor(e.selected ? RGB(128, 192, 128) : RGB(128, 128, 128));
    c.SetBrushColor(e.selected ? RGB(224, 255, 224) : RGB(255, 255, 255));
    c.RoundRect(RECT{17, 10, w - 17, h - 10}, 8, 8);
    c.SetFont(Font(ui::kFaceMsGothic, 12, e.selected));
    c.SetFontColor(e.selected ? RGB(0, 0, 255) : RGB(0, 0, 0));
    c.SetBkMode(ui::BkMode::Transparent);
    const std::string& name = names[static_cast<std::size_t>(e.index)];
    c.TextAt(20, (h - c.TextHeight(name)) / 2, name);
  }
  BitBlt(e.dc, e.rect.left, e.rect.top, w, h, s.dc(), 0, 0, SRCCOPY);
}

// The name dialog: panel, label, edit, default OK, Cancel not bound to Escape.
class NameDialog : public ui::Form {
 public:
  ui::Panel panel;
  ui::Label label;
  ui::Edit edit;
  ui::Button ok, cancel;

 protected:
  void CreateControls() override {
    ui::PanelArgs pa;
    pa.parent = hwnd();
    pa.bounds = {8, 8, 297, 153};
    pa.outer = ui::BevelCut::Lowered;
    pa.inner = ui::BevelCut::Raised;
    panel.Create(pa);
    ui::LabelArgs la;
    la.parent = panel.hwnd();
    la.bounds = {8, 40, 129, 15};
    la.caption = "新規追加する業務名";
    la.transparent = true;
    label.Create(la);
    ui::EditArgs ea;
    ea.parent = panel.hwnd();
    ea.bounds = {8, 64, 281, 23};
    ea.font = Font(ui::kFaceMsGothic, 15);
    ea.max_units = 30;
    ea.ime_hiragana = true;
    ea.text = "経理";
    edit.Create(ea);
    ui::ButtonArgs ba;
    ba.parent = panel.hwnd();
    ba.bounds = {128, 112, 75, 25};
    ba.caption = "OK";
    ba.font = Font(ui::kFaceMsPGothic, 12);
    ba.is_default = true;
    ba.modal_result = ui::kModalOk;
    ok.Create(ba);
    ba.bounds = {214, 112, 75, 25};
    ba.caption = "ｷｬﾝｾﾙ";
    ba.is_default = false;
    ba.modal_result = ui::kModalCancel;
    cancel.Create(ba);
  }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmdline, int) {
  ui::Application app;
  app.SetTitle(kTitle);
  GalleryForm form;
  ui::FormArgs args;
  args.caption = kTitle;
  args.bounds = {20, 20, 1000, 620};
  args.font = Font(ui::kFaceMsPGothic, 12);
  if (!form.Create(args)) return 1;
  const bool dialog = cmdline && std::strstr(cmdline, "--dialog");
  NameDialog name;
  if (dialog) {
    app.SetMainForm(&form);
    ui::FormArgs da;
    da.kind = ui::FormKind::Dialog;
    da.close_box = false;
    da.caption = "業務名の新規追加";
    da.bounds = {0, 0, 312, 173};
    da.client_size = true;
    da.font = Font(ui::kFaceMsUiGothic, 15);
    da.help_context = 12;
    name.on_create = [&] {
      // Centred over the main window, as the program's dialogs place themselves.
      name.SetLeft(form.Left() + (form.Width() - name.Width()) / 2);
      name.SetTop(form.Top() + (form.Height() - name.Height()) / 2);
    };
    name.Create(da);
    name.SetMessageHandler(kReady, [&](WPARAM, LPARAM, LRESULT&) {
      RedrawWindow(name.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      name.SetCaption("業務名の新規追加 - ready");
      return true;
    });
    form.on_activate = [&] {
      static bool shown = false;
      if (shown) return;
      shown = true;
      PostMessageA(name.hwnd(), kReady, 0, 0);
      PostMessageA(form.hwnd(), WM_APP + 2, 0, 0);
    };
    form.SetMessageHandler(WM_APP + 2, [&](WPARAM, LPARAM, LRESULT&) {
      name.ShowModal();
      return true;
    });
  } else {
    PostMessageA(form.hwnd(), kReady, 0, 0);
  }
  const int code = app.Run(form);
  name.Destroy();
  form.Destroy();
  return code;
}
