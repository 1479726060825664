#include "main_support.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "common/FN0010GF.h"
#include "common/text.h"
#include "data/os.h"
#include "data/settings.h"
#include "grid/icon_cache.h"
#include "support.h"
#include "tests/core/tempdir.h"
#include "ui/wide.h"

namespace kit {

Pixels::Pixels(int width, int height) : width_(width), height_(height), stride_((width * 3 + 3) & ~3) {
  void* bits = nullptr;
  surface_.CreateDib(width, height, 24, &bits);
  bits_ = static_cast<unsigned char*>(bits);
  Fill(RGB(1, 2, 3));
}

COLORREF Pixels::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
  GdiFlush();
  const unsigned char* p = bits_ + y * stride_ + x * 3;
  return RGB(p[2], p[1], p[0]);
}

void Pixels::Fill(COLORREF color) {
  const RECT r{0, 0, width_, height_};
  SetBkColor(dc(), color);
  ExtTextOutA(dc(), 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

namespace {
struct Gate {
  std::mutex mutex;
  std::condition_variable open_changed;
  bool open = false;
  std::vector<std::string> existing, asked, icons_asked;
  std::vector<HANDLE> askers;   // the threads that asked, for their end
  void ForgetAskers() {
    for (HANDLE h : askers) CloseHandle(h);
    askers.clear();
  }
};
Gate& TheGate() {
  static Gate gate;
  return gate;
}
bool GatedExists(const std::string& path) {
  if (path.rfind("Q:\\", 0) != 0) {
    const DWORD attributes = GetFileAttributesW(ui::Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  }
  Gate& g = TheGate();
  std::unique_lock lock(g.mutex);
  g.asked.push_back(path);
  if (HANDLE self = OpenThread(SYNCHRONIZE, FALSE, GetCurrentThreadId())) g.askers.push_back(self);
  g.open_changed.wait(lock, [&] { return g.open; });
  return std::find(g.existing.begin(), g.existing.end(), path) != g.existing.end();
}
bool GatedIcon(const std::string& path, ui::UniqueIcon&) {
  if (path.rfind("Q:\\", 0) != 0) return false;
  Gate& g = TheGate();
  std::unique_lock lock(g.mutex);
  g.icons_asked.push_back(path);
  g.open_changed.wait(lock, [&] { return g.open; });
  return true;
}
}  // namespace

GatedFileSystem::GatedFileSystem(std::vector<std::string> existing) {
  Gate& g = TheGate();
  {
    std::lock_guard lock(g.mutex);
    g.open = false;
    g.existing = std::move(existing);
    g.asked.clear();
    g.icons_asked.clear();
    g.ForgetAskers();
  }
  korvane::os::SetExistenceTest(GatedExists);
  korvane::SetIconExtraction(GatedIcon);
}

GatedFileSystem::~GatedFileSystem() {
  Answer();
  {
    std::lock_guard lock(TheGate().mutex);
    TheGate().ForgetAskers();
  }
  korvane::os::SetExistenceTest(nullptr);
  korvane::SetIconExtraction(nullptr);
}

void GatedFileSystem::Answer() {
  Gate& g = TheGate();
  std::lock_guard lock(g.mutex);
  g.open = true;
  g.open_changed.notify_all();
}

std::vector<std::string> GatedFileSystem::IconsAsked() const {
  std::lock_guard lock(TheGate().mutex);
  return TheGate().icons_asked;
}

bool GatedFileSystem::AskersEnded(DWORD timeout_ms) const {
  std::vector<HANDLE> askers;
  {
    std::lock_guard lock(TheGate().mutex);
    askers = TheGate().askers;
  }
  if (askers.empty()) return true;
  return WaitForMultipleObjects(static_cast<DWORD>(askers.size()), askers.data(), TRUE, timeout_ms) != WAIT_TIMEOUT;
}

std::vector<std::string> GatedFileSystem::Asked() const {
  std::lock_guard lock(TheGate().mutex);
  return TheGate().asked;
}

std::string Hex(COLORREF c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
  return buf;
}

int CountColor(const Pixels& p, const RECT& r, COLORREF color) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (p.at(x, y) == color) ++n;
  return n;
}

int CountOther(const Pixels& p, const RECT& r, std::initializer_list<COLORREF> colors) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      const COLORREF c = p.at(x, y);
      bool known = false;
      for (COLORREF k : colors) known = known || c == k;
      if (!known) ++n;
    }
  return n;
}

void MainWindowTest::SetUp() { kit::App(); }

void MainWindowTest::TearDown() {
  CloseWindow();
  if (!as_program_) return;
  TakeQuit(0);
  ShowWindow(App().hwnd(), SW_HIDE);
  korvane::SetMessageBoxOwner(nullptr);
}

std::string SettingsBytes(int left, int top, int width, int height, int mode) {
  return "[Korvane]\r\nLEFT=" + std::to_string(left) + "\r\nTOP=" + std::to_string(top) +
         "\r\nWIDTH=" + std::to_string(width) + "\r\nHEIGHT=" + std::to_string(height) +
         "\r\nMODE=" + std::to_string(mode) + "\r\n";
}

bool TrayIconExists(const NOTIFYICONDATAW& record) {
  // Modifying an icon succeeds only while the shell holds it.
  NOTIFYICONDATAW probe = record;
  probe.uFlags = NIF_TIP;
  return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

HWND MainWindowTest::app() const { return App().hwnd(); }

void MainWindowTest::BoxesAsProgram() {
  as_program_ = true;
  korvane::SetMessageBoxOwner(App().hwnd());
}

bool MainWindowTest::CreateAsProgram() {
  BoxesAsProgram();
  form_ = std::make_unique<korvane::TFrmFR0010MN>();
  form_->SetDataFolder(folder_.path());
  const std::unique_ptr<korvane::StartupReading> reading =
      reading_ ? std::move(reading_) : std::make_unique<korvane::StartupReading>(folder_.path());
  form_->SetStartupReading(reading.get());
  App().SetMainForm(form_.get());
  const bool created = form_->Create();
  // The group files are read after the window is made.
  if (created && wait_for_reads_) kit::PumpUntil([&] { return !form_->Sync().Starting(); });
  return created;
}

void MainWindowTest::OpenAsProgram() {
  ASSERT_TRUE(CreateAsProgram());
  // As the run loop: the taskbar button, then the main window.
  ShowWindow(app(), SW_SHOWNA);
  form_->Show();
  ASSERT_TRUE(BringToFront(main()));
}

bool MainWindowTest::TakeQuit(int ms) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
  for (;;) {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return true;
      App().ProcessMessage(msg);
    }
    if (GetTickCount64() >= end) return false;
    MsgWaitForMultipleObjectsEx(0, nullptr, 20, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

void MainWindowTest::ChangeSomething() {
  form_->Model().SelectGroup(0);
  ASSERT_TRUE(form_->Model().ClearTitle(1));
  ASSERT_TRUE(form_->Model().Modified());
}

void MainWindowTest::CloseWindow() {
  if (!form_) return;
  form_.reset();
  // The window installed these on the application object.
  kit::App().on_message = nullptr;
  kit::App().on_activate = nullptr;
  kit::Pump();
}

void MainWindowTest::WriteGroup(const std::string& name, const std::vector<Entry>& entries) {
  bool fits = true;
  for (const Entry& e : entries) fits = fits && korvane::FitsCodePage932(e.title) && korvane::FitsCodePage932(e.path);
  if (fits) return static_cast<void>(folder_.Write(name + ".PTH", GroupFileBytes(entries)));
  // Values code page 932 lacks: the file in UTF-16LE with its byte-order
  // mark, as the program writes it then.
  std::string text;
  for (std::size_t n = 1; n <= 20; ++n) {
    const Entry e = n <= entries.size() ? entries[n - 1] : Entry{};
    text += "[" + std::string(n < 10 ? "0" : "") + std::to_string(n) + "]\r\nTITLE=" + e.title + "\r\nPATH=" + e.path +
            "\r\n";
  }
  folder_.Write(name + ".PTH", korvane::testing::Utf16File(korvane::Utf16FromUtf8(text)));
}

void MainWindowTest::Open(int mode) {
  // Placed clear of the system tray window at the top left.
  korvane::SaveSettings(folder_.path(), korvane::WindowPlacement{300, 60, 730, 479}, false, mode);
  form_ = std::make_unique<korvane::TFrmFR0010MN>();
  form_->SetDataFolder(folder_.path());
  ASSERT_TRUE(form_->Create());
  form_->Show();
  SetForegroundWindow(form_->hwnd());
  ASSERT_TRUE(kit::PumpUntil([&] { return GetActiveWindow() == form_->hwnd(); }));
  // The group files are read after the window shows.
  if (wait_for_reads_) {
    ASSERT_TRUE(kit::PumpUntil([&] { return !form_->Sync().Starting(); }));
  }
  Pump();
}

POINT MainWindowTest::CellPoint(int col, int row, int dx, int dy) {
  const RECT r = Cell(col, row);
  return {dx < 0 ? (r.left + r.right) / 2 : r.left + dx, dy < 0 ? (r.top + r.bottom) / 2 : r.top + dy};
}

int MainWindowTest::GroupIndex(const std::string& name) {
  const int i = form_->Model().FindGroup(name);
  EXPECT_GE(i, 0) << "no group " << name;
  return i;
}

POINT MainWindowTest::GroupPoint(int i) {
  const RECT r = form_->LBGroup.ItemRect(i);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void MainWindowTest::ClickGroup(int i) {
  kit::PostButton(list(), WM_LBUTTONDOWN, GroupPoint(i).x, GroupPoint(i).y);
  ASSERT_TRUE(kit::PumpUntil(
      [&] { return form_->Model().CurrentRow() == i && GetFocus() == grid() && form_->DGMain.Enabled(); }));
  Pump();
}

void MainWindowTest::Press(UINT down_msg, POINT at) {
  WPARAM keys = MK_LBUTTON;
  if (down_msg == WM_RBUTTONDOWN) keys = MK_RBUTTON;
  if (down_msg == WM_MBUTTONDOWN) keys = MK_MBUTTON;
  PostMessageW(grid(), down_msg, keys, MAKELPARAM(at.x, at.y));
  Pump();
}

void MainWindowTest::Release(UINT up_msg, POINT at) {
  PostMessageW(grid(), up_msg, 0, MAKELPARAM(at.x, at.y));
  Pump();
}

void MainWindowTest::DoubleClick(POINT at) {
  POINT screen = at;
  ClientToScreen(grid(), &screen);
  SetCursorPos(screen.x, screen.y);
  const LPARAM lp = MAKELPARAM(at.x, at.y);
  PostMessageW(grid(), WM_LBUTTONDOWN, MK_LBUTTON, lp);
  PostMessageW(grid(), WM_LBUTTONUP, 0, lp);
  PostMessageW(grid(), WM_LBUTTONDBLCLK, MK_LBUTTON, lp);
  PostMessageW(grid(), WM_LBUTTONUP, 0, lp);
  Pump();
}

void MainWindowTest::Key(UINT vk) {
  kit::PostKey(GetFocus(), vk);
  Pump();
}

void MainWindowTest::CtrlKey(UINT vk) {
  kit::HeldKey ctrl(VK_CONTROL);
  kit::PostKey(GetFocus(), vk);
  Pump();
}

void MainWindowTest::Type(const std::string& bytes) {
  kit::PostAnsiChars(GetFocus(), bytes);
  Pump();
}

void MainWindowTest::ClickButton(HWND button) {
  RECT r{};
  GetClientRect(button, &r);
  kit::PostButton(button, WM_LBUTTONDOWN, r.right / 2, r.bottom / 2);
  Pump();
}

void MainWindowTest::Pump() {
  kit::Pump();
  if (!settle_ || !form_) return;
  EXPECT_TRUE(kit::PumpUntil([&] { return !form_->BackgroundBusy(); })) << "background work never ends";
  kit::Pump();
}

std::unique_ptr<Pixels> MainWindowTest::PaintGrid() {
  RECT client{};
  GetClientRect(grid(), &client);
  auto p = std::make_unique<Pixels>(client.right, client.bottom);
  form_->DGMain.Paint(p->dc(), client);
  if (!settle_) return p;
  // Once more when the icons the first painting asked for have come.
  Pump();
  form_->DGMain.Paint(p->dc(), client);
  return p;
}

}  // namespace kit
