// Painting: Japanese fonts, the canvas, and the pictures of panels, bevels,
// labels, images and the image list, read back from memory bitmaps.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <vector>

#include "common/kernel_handle.h"
#include "kit.h"
#include "ui/bevel.h"
#include "ui/canvas.h"
#include "ui/font.h"
#include "ui/form.h"
#include "ui/gdi.h"
#include "ui/hint.h"
#include "ui/image.h"
#include "ui/image_list.h"
#include "ui/label.h"
#include "ui/panel.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

void Fill(HDC dc, RECT r, COLORREF c) {
  ui::UniqueBrush b(CreateSolidBrush(c));
  FillRect(dc, &r, b.get());
}

struct Surface {
  ui::MemorySurface s;
  Surface(int w, int h, COLORREF background) {
    EXPECT_TRUE(s.Create(w, h));
    Fill(s.dc(), RECT{0, 0, w, h}, background);
  }
  HDC dc() const { return s.dc(); }
  COLORREF At(int x, int y) const { return GetPixel(s.dc(), x, y); }
  int Count(COLORREF c) const {
    int n = 0;
    for (int y = 0; y < s.height(); ++y)
      for (int x = 0; x < s.width(); ++x) n += GetPixel(s.dc(), x, y) == c;
    return n;
  }
  std::vector<COLORREF> Pixels() const {
    std::vector<COLORREF> p;
    for (int y = 0; y < s.height(); ++y)
      for (int x = 0; x < s.width(); ++x) p.push_back(GetPixel(s.dc(), x, y));
    return p;
  }
};

std::vector<COLORREF> Glyph(const ui::FontSpec& font, const char* text) {
  Surface s(32, 32, kWhite);
  ui::Canvas canvas(s.dc());
  canvas.SetFont(font);
  canvas.SetFontColor(kBlack);
  canvas.SetBkMode(ui::BkMode::Transparent);
  canvas.TextAt(4, 4, text);
  return s.Pixels();
}

int Ink(const std::vector<COLORREF>& pixels) {
  int n = 0;
  for (COLORREF c : pixels) n += c != kWhite;
  return n;
}

TEST(Fonts, JapaneseFacesDrawRealGlyphs) {
  for (const char* face : {ui::kFaceMsGothic, ui::kFaceMsPGothic, ui::kFaceMsUiGothic}) {
    ui::FontSpec font;
    font.face = face;
    font.height = 21;
    const std::string resolved = ui::ResolvedFace(font);
    std::printf("font %s resolves to %s\n", face, resolved.c_str());
    EXPECT_FALSE(resolved.empty());
    // Boxes would all look alike: two kanji and a character no font has
    // (the user-defined area) must all differ, and the kanji must have ink.
    const auto gyo = Glyph(font, "業");
    const auto mu = Glyph(font, "務");
    const auto missing = Glyph(font, "\xF0\x40");
    EXPECT_GT(Ink(gyo), 20) << face;
    EXPECT_GT(Ink(mu), 20) << face;
    EXPECT_NE(gyo, mu) << face;
    EXPECT_NE(gyo, missing) << face;
    EXPECT_NE(mu, missing) << face;
  }
}

TEST(Canvas, FillsTextAndLinesInTheCurrentColours) {
  Surface s(80, 40, kBlue);
  {
    ui::Canvas c(s.dc());
    c.SetBrushColor(PALETTERGB(192, 192, 255));  // palette-relative, as the program paints
    c.FillRect(RECT{0, 0, 10, 10});
    EXPECT_EQ(s.At(5, 5), RGB(192, 192, 255));

    ui::FontSpec f;
    f.face = ui::kFaceMsGothic;
    f.height = 15;
    c.SetFont(f);
    EXPECT_EQ(c.TextWidth("業務"), 2 * c.TextWidth("業"));  // a fixed-pitch face
    EXPECT_GE(c.TextHeight("業"), 15);
    c.SetFontColor(RGB(255, 255, 0));
    c.SetBkMode(ui::BkMode::Transparent);
    c.TextAt(20, 0, "業");
    EXPECT_GT(s.Count(RGB(255, 255, 0)), 10);
    EXPECT_EQ(s.At(20, 0), kBlue);  // transparent: the cell around the glyph is untouched
    c.SetBkMode(ui::BkMode::Opaque);
    c.SetBrushColor(kGreen);
    c.TextAt(40, 0, "務");
    EXPECT_EQ(s.At(40, 0), kGreen);  // opaque: the cell takes the brush colour
    const int regular = c.TextWidth("ABCDEFGH");
    c.SetFontBold(true);
    EXPECT_TRUE(c.font().bold);
    EXPECT_GE(c.TextWidth("ABCDEFGH"), regular);
    c.SetFontSize(9);
    EXPECT_EQ(c.FontHeight(), ui::PointsToPixels(9));
  }
  Surface l(20, 20, kWhite);
  {
    ui::Canvas c(l.dc());
    c.SetPenColor(kRed);
    c.Line(0, 10, 20, 10);
    const POINT pts[] = {{5, 0}, {5, 19}};
    c.SetPenColor(kBlue);
    c.Polyline(pts);
  }
  EXPECT_EQ(l.At(15, 10), kRed);
  EXPECT_EQ(l.At(5, 3), kBlue);
  EXPECT_EQ(l.At(15, 3), kWhite);
}

TEST(Canvas, RoundRectFrame3DAndBlockCopy) {
  Surface s(40, 40, kWhite);
  {
    ui::Canvas c(s.dc());
    c.SetPenColor(kBlack);
    c.SetBrushColor(kGreen);
    c.RoundRect(RECT{0, 0, 30, 20}, 6, 6);
    RECT r{0, 25, 10, 35};
    c.Frame3D(r, kRed, kBlue, 1);
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.bottom, 34);
  }
  EXPECT_EQ(s.At(0, 10), kBlack);   // the outline
  EXPECT_EQ(s.At(15, 10), kGreen);  // the inside
  EXPECT_EQ(s.At(0, 0), kWhite);    // the rounded corner
  EXPECT_EQ(s.At(0, 25), kRed);     // top-left colour: top and left lines
  EXPECT_EQ(s.At(5, 25), kRed);
  EXPECT_EQ(s.At(0, 30), kRed);
  EXPECT_EQ(s.At(9, 25), kBlue);    // bottom-right colour: right and bottom lines
  EXPECT_EQ(s.At(9, 30), kBlue);
  EXPECT_EQ(s.At(0, 34), kBlue);
  Surface d(40, 40, kWhite);
  {
    ui::Canvas c(d.dc());
    c.CopyFrom(RECT{10, 10, 40, 30}, s.dc(), POINT{0, 0});
  }
  EXPECT_EQ(d.At(10, 20), kBlack);
  EXPECT_EQ(d.At(25, 20), kGreen);
}

// The one handle template: closed once, moved not copied, its own invalid
// value and null both "none", a failed close answered; the GDI and kernel
// handles are instances of it.
std::vector<int> g_closed;
BOOL CloseFake(int h) {
  g_closed.push_back(h);
  return h != 13;
}
int MinusOne() { return -1; }

TEST(Handles, OneTemplateForGdiAndKernelHandles) {
  using Fake = korvane::UniqueHandle<int, &CloseFake, &MinusOne>;
  g_closed.clear();
  {
    Fake none;
    EXPECT_FALSE(none);
    EXPECT_EQ(none.get(), -1);
    EXPECT_FALSE(Fake(0));  // null is never a handle either
    Fake a(5);
    EXPECT_TRUE(a);
    Fake b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b.get(), 5);
    b = Fake(6);  // 5 closed, 6 taken
    EXPECT_EQ(g_closed, std::vector<int>{5});
    EXPECT_EQ(b.release(), 6);  // handed out, not closed
    *b.put() = 13;
    EXPECT_FALSE(b.reset());  // the close failed, and says so
    EXPECT_EQ(g_closed, (std::vector<int>{5, 13}));
    EXPECT_TRUE(b.reset());
    b.reset(7);
  }
  EXPECT_EQ(g_closed, (std::vector<int>{5, 13, 7}));

  korvane::KernelHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  const HANDLE raw = event.get();
  ASSERT_TRUE(event);
  DWORD flags = 0;
  EXPECT_TRUE(GetHandleInformation(raw, &flags));
  EXPECT_TRUE(event.reset());
  EXPECT_FALSE(event);
  EXPECT_FALSE(korvane::KernelHandle(INVALID_HANDLE_VALUE));
  EXPECT_FALSE(korvane::KernelHandle(nullptr));
  WIN32_FIND_DATAA data;
  EXPECT_FALSE(korvane::FindHandle(FindFirstFileA("Z:\\no such folder\\*", &data)));

  ui::UniqueBrush brush(CreateSolidBrush(kRed));
  const HBRUSH raw_brush = brush.get();
  EXPECT_EQ(GetObjectType(raw_brush), static_cast<DWORD>(OBJ_BRUSH));
  brush.reset();
  EXPECT_EQ(GetObjectType(raw_brush), 0u);
}

TEST(Canvas, PutsBackTheObjectsOfTheDC) {
  Surface s(10, 10, kWhite);
  const HGDIOBJ font = GetCurrentObject(s.dc(), OBJ_FONT);
  const HGDIOBJ brush = GetCurrentObject(s.dc(), OBJ_BRUSH);
  const HGDIOBJ pen = GetCurrentObject(s.dc(), OBJ_PEN);
  {
    ui::Canvas c(s.dc());
    c.SetBrushColor(kRed);
    c.SetPenColor(kBlue);
    c.Rectangle(RECT{0, 0, 5, 5});
    c.TextAt(0, 0, "a");
    c.SetFontBold(true);
    c.TextAt(0, 0, "b");
    EXPECT_NE(GetCurrentObject(s.dc(), OBJ_BRUSH), brush);
  }
  EXPECT_EQ(GetCurrentObject(s.dc(), OBJ_FONT), font);
  EXPECT_EQ(GetCurrentObject(s.dc(), OBJ_BRUSH), brush);
  EXPECT_EQ(GetCurrentObject(s.dc(), OBJ_PEN), pen);
}

// A form whose own painting is green, to tell transparency apart.
struct GreenForm {
  ui::Form form;
  bool Create() {
    form.on_paint = [](HDC dc, const RECT& r) { Fill(dc, r, kGreen); };
    return kit::MakeForm(form);
  }
};

// The control's picture as Windows would paint it.
void Print(HWND hwnd, Surface& s) {
  SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(s.dc()), 0);
  SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(s.dc()), PRF_CLIENT);
}

TEST(ControlPictures, PanelAndBevelEdges) {
  GreenForm g;
  ASSERT_TRUE(g.Create());
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF dark = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  ui::Panel panel;
  ui::PanelArgs pa;
  pa.parent = g.form.hwnd();
  pa.bounds = {10, 10, 50, 40};
  pa.outer = ui::BevelCut::Lowered;
  pa.inner = ui::BevelCut::Raised;
  ASSERT_TRUE(panel.Create(pa));
  Surface p(50, 40, kWhite);
  Print(panel.hwnd(), p);
  EXPECT_EQ(p.At(0, 0), dark);
  EXPECT_EQ(p.At(49, 39), light);
  EXPECT_EQ(p.At(1, 1), light);
  EXPECT_EQ(p.At(48, 38), dark);
  EXPECT_EQ(p.At(20, 20), face);

  // A groove has no window: its panel paints it over the face.
  ui::Bevel bevel;
  ui::BevelArgs ba{g.form.hwnd(), {20, 5, 3, 30}};
  EXPECT_FALSE(bevel.Create(ba)) << "only a panel holds grooves";
  ba.parent = panel.hwnd();
  ASSERT_TRUE(bevel.Create(ba));
  Surface b(50, 40, kWhite);
  Print(panel.hwnd(), b);
  EXPECT_EQ(b.At(19, 20), face);
  EXPECT_EQ(b.At(20, 20), dark);
  EXPECT_EQ(b.At(21, 20), face);
  EXPECT_EQ(b.At(22, 20), light);
  EXPECT_EQ(b.Count(face), p.Count(face) - 3 * 30 + 28) << "only its place changes";

  // Hidden, its place is repainted without it; destroyed, it leaves the
  // panel; a groove whose panel went first stays harmless.
  UpdateWindow(panel.hwnd());
  bevel.SetVisible(false);
  RECT dirty{};
  EXPECT_TRUE(GetUpdateRect(panel.hwnd(), &dirty, FALSE) && dirty.left == 20 && dirty.bottom == 35);
  Surface hidden(50, 40, kWhite);
  Print(panel.hwnd(), hidden);
  EXPECT_EQ(hidden.Pixels(), p.Pixels());
  bevel.SetVisible(true);
  std::make_unique<ui::Bevel>()->Create(ui::BevelArgs{panel.hwnd(), {30, 5, 3, 30}});
  Surface after(50, 40, kWhite);
  Print(panel.hwnd(), after);
  EXPECT_EQ(after.Pixels(), b.Pixels());
  ui::Bevel orphan;
  {
    ui::Panel first;
    ASSERT_TRUE(first.Create(pa));
    ASSERT_TRUE(orphan.Create(ui::BevelArgs{first.hwnd(), {20, 5, 3, 30}}));
  }
  orphan.SetVisible(false);
}

ui::LabelArgs LabelOn(HWND parent, const char* caption, bool transparent, COLORREF color) {
  ui::LabelArgs a;
  a.parent = parent;
  a.bounds = {10, 10, 0, 0};
  a.caption = caption;
  ui::FontSpec f;
  f.face = ui::kFaceMsPGothic;
  f.height = 13;
  f.underline = true;
  a.font = f;
  a.transparent = transparent;
  a.color = color;
  return a;
}

TEST(ControlPictures, LabelColourTransparencyAndSize) {
  GreenForm g;
  ASSERT_TRUE(g.Create());
  ui::Label link;
  ASSERT_TRUE(link.Create(LabelOn(g.form.hwnd(), "業務用ランチャー", true, kBlue)));
  const ui::Bounds b = ui::BoundsOf(link.hwnd());
  EXPECT_GT(b.width, 8 * 10);  // sized to its text
  EXPECT_GE(b.height, 13);
  Surface s(b.width, b.height, kWhite);
  Print(link.hwnd(), s);
  EXPECT_EQ(s.At(0, 0), kGreen);  // the form shows through
  EXPECT_GT(s.Count(kBlue), 20);
  link.SetFontColor(RGB(0, 255, 255));
  Surface s2(b.width, b.height, kWhite);
  Print(link.hwnd(), s2);
  EXPECT_EQ(s2.Count(kBlue), 0);
  EXPECT_GT(s2.Count(RGB(0, 255, 255)), 20);

  ui::Label solid;
  ASSERT_TRUE(solid.Create(LabelOn(g.form.hwnd(), "x", false, kBlack)));
  Surface s3(4, 4, kWhite);
  Print(solid.hwnd(), s3);
  EXPECT_EQ(s3.At(0, 0), GetSysColor(COLOR_BTNFACE));
}

TEST(ControlPictures, LabelClickMouseMoveAndCursor) {
  GreenForm g;
  ASSERT_TRUE(g.Create());
  ui::LabelArgs a = LabelOn(g.form.hwnd(), "http", true, kBlue);
  a.cursor = LoadCursorA(nullptr, IDC_HAND);
  a.hint = "https://example.invalid/";
  ui::Label link;
  ASSERT_TRUE(link.Create(a));
  int clicks = 0;
  std::vector<ui::MouseEvent> moves;
  link.on_click = [&] { ++clicks; };
  link.on_mouse_move = [&](const ui::MouseEvent& e) { moves.push_back(e); };
  PostMessageA(link.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));
  kit::PostButton(link.hwnd(), WM_LBUTTONDOWN, 2, 2);
  ASSERT_TRUE(kit::PumpUntil([&] { return clicks == 1; }));
  ASSERT_FALSE(moves.empty());
  EXPECT_EQ(moves[0].x, 3);
  EXPECT_EQ(moves[0].y, 4);
  SendMessageA(link.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(link.hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
  EXPECT_EQ(ui::HintOf(link.hwnd()), "https://example.invalid/");
}

ui::UniqueBitmap Picture(int w, int h, COLORREF background, COLORREF mark) {
  ui::MemorySurface surface;
  surface.Create(w, h);
  Fill(surface.dc(), RECT{0, 0, w, h}, background);
  Fill(surface.dc(), RECT{w / 4, h / 4, 3 * w / 4, 3 * h / 4}, mark);
  return surface.TakeBitmap();
}

// The exe's pictures, stored run-length encoded where that is smaller,
// read as the system's own loader reads them, pixel for pixel.
TEST(ControlPictures, TheExePicturesReadAsTheSystemReadsThem) {
  const struct {
    const wchar_t* name;
    int width, height;
  } pictures[] = {{L"BUTTONS", 280, 40}, {L"SPBSAVE", 64, 32},     {L"SPBEXIT", 64, 32}, {L"SPBINPUT", 32, 32},
                  {L"SPBRUN", 32, 32},   {L"SPBFIND", 64, 32},     {L"PRODUCTNAME", 160, 32}, {L"LOGO", 120, 72}};
  const auto draw = [](HBITMAP bitmap, const Surface& to) {
    ui::UniqueDC dc(CreateCompatibleDC(nullptr));
    ui::ScopedSelect select(dc.get(), bitmap);
    BitBlt(to.dc(), 0, 0, to.s.width(), to.s.height(), dc.get(), 0, 0, SRCCOPY);
  };
  for (const auto& p : pictures) {
    SCOPED_TRACE(p.width * 1000 + p.height);
    const ui::UniqueBitmap ours = ui::LoadPicture(p.name);
    ASSERT_TRUE(ours);
    DIBSECTION section{};
    ASSERT_EQ(GetObjectW(ours.get(), sizeof section, &section), static_cast<int>(sizeof section));
    EXPECT_EQ(section.dsBm.bmWidth, p.width);
    EXPECT_EQ(section.dsBm.bmHeight, p.height);
    const ui::UniqueBitmap system(LoadBitmapW(GetModuleHandleW(nullptr), p.name));
    ASSERT_TRUE(system);
    Surface a(p.width, p.height, kGreen), b(p.width, p.height, kGreen);
    draw(ours.get(), a);
    draw(system.get(), b);
    const std::vector<COLORREF> read = a.Pixels();
    EXPECT_EQ(read, b.Pixels());
    EXPECT_GE(std::set<COLORREF>(read.begin(), read.end()).size(), 3u);   // a picture, not a blank
  }
  EXPECT_FALSE(ui::LoadPicture(L"NOSUCHPICTURE"));
}

TEST(ControlPictures, TransparentImageAndOpaqueImageList) {
  GreenForm g;
  ASSERT_TRUE(g.Create());
  ui::Image image;
  ui::ImageArgs ia;
  ia.parent = g.form.hwnd();
  ia.bounds = {10, 10, 1, 1};
  ASSERT_TRUE(image.Create(ia));
  image.SetBitmap(Picture(160, 32, kMagenta, kRed));
  const ui::Bounds b = ui::BoundsOf(image.hwnd());
  EXPECT_EQ(b.width, 160);  // sized to the picture
  EXPECT_EQ(b.height, 32);
  Surface s(160, 32, kWhite);
  image.Paint(s.dc(), RECT{0, 0, 160, 32});
  EXPECT_EQ(s.At(2, 2), kGreen);
  EXPECT_EQ(s.At(80, 16), kRed);

  ui::Image icon;
  ASSERT_TRUE(icon.Create(ia));
  icon.SetIcon(ui::UniqueIcon(CopyIcon(LoadIconA(nullptr, IDI_APPLICATION))), 32, 32);
  EXPECT_EQ(ui::BoundsOf(icon.hwnd()).width, 32);

  ui::ImageList list(40, 40);
  HDC screen = GetDC(nullptr);
  ui::UniqueBitmap strip(CreateCompatibleBitmap(screen, 120, 40));
  ReleaseDC(nullptr, screen);
  {
    ui::UniqueDC dc(CreateCompatibleDC(nullptr));
    ui::ScopedSelect sel(dc.get(), strip.get());
    Fill(dc.get(), RECT{0, 0, 40, 40}, kRed);
    Fill(dc.get(), RECT{40, 0, 80, 40}, kMagenta);
    Fill(dc.get(), RECT{80, 0, 120, 40}, kBlue);
  }
  EXPECT_EQ(list.Add(strip.get()), 3);
  EXPECT_EQ(list.Count(), 3);
  Surface t(50, 50, kGreen);
  list.Draw(t.dc(), 1, 5, 5);
  list.Draw(t.dc(), 7, 0, 0);  // out of range: nothing
  EXPECT_EQ(t.At(5, 5), kMagenta);  // opaque: no colour is left out
  EXPECT_EQ(t.At(44, 44), kMagenta);
  EXPECT_EQ(t.At(2, 2), kGreen);
  EXPECT_EQ(t.At(46, 46), kGreen);
}

}  // namespace
