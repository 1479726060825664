// Finding entries with the system's fold, the find box driven by real
// messages, and the system-wide hot key.
#include <windows.h>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "data/find.h"
#include "data/settings.h"
#include "app/find_box.h"
#include "kit.h"
// After the main window's header, whose tray record is sized by shellapi.h
// as every other file sees it.
#include <commctrl.h>
#include "ui/wide.h"
#include "ui/gdi.h"
#include "ui/hot_key.h"
#include "ui/text_fold.h"
#include "ui/text_out.h"

namespace {

using korvane::FindHit;
using korvane::FindIndex;
using kit::Pump;
using kit::PumpUntil;
using Hits = std::vector<FindHit>;

korvane::LauncherModel ModelOf(const std::vector<std::pair<const char*, std::vector<korvane::Entry>>>& groups) {
  korvane::LauncherModel model;
  for (const auto& [name, entries] : groups) {
    korvane::Group group = model.NewGroup(name);
    for (std::size_t i = 0; i < entries.size(); ++i) group.entries[i] = entries[i];
    model.AppendLoaded(std::move(group));
  }
  return model;
}

TEST(FindFold, TheSystemFoldIgnoresCaseWidthAndKanaKindButNotReadings) {
  using ui::FoldForComparison;
  EXPECT_EQ(FoldForComparison("ｾｲｷｭｳｼｮ"), FoldForComparison("セイキュウショ"));
  EXPECT_EQ(FoldForComparison("ｾｲｷｭｳｼｮ"), FoldForComparison("せいきゅうしょ"));
  EXPECT_EQ(FoldForComparison("ＡＢＣ"), FoldForComparison("abc"));
  EXPECT_EQ(FoldForComparison("ABC"), FoldForComparison("ａｂｃ"));
  EXPECT_EQ(FoldForComparison("ｶﾞｲﾄﾞ"), FoldForComparison("ガイド"));   // voiced marks joined
  EXPECT_EQ(FoldForComparison("ｶﾞｲﾄﾞ").size(), 3u);
  EXPECT_NE(FoldForComparison("せいきゅう"), FoldForComparison("請求"));
  EXPECT_NE(FoldForComparison("かき"), FoldForComparison("がき"));
  EXPECT_EQ(FoldForComparison(""), u"");

  const korvane::LauncherModel model = ModelOf({
      {"経理", {{"請求書", "C:\\経理\\請求書.xls"}, {"セイキュウショ控え", ""}, {"月次 せいきゅうしょ", ""}}},
      {"総務", {{"ABC 一覧", "C:\\x\\list.txt"}, {"メモ", "C:\\x\\abc.txt"}, {"せいきゅう", ""}}},
  });
  FindIndex index(ui::FoldForComparison);
  index.Sync(model);
  EXPECT_EQ(index.Filter("ｾｲｷｭｳｼｮ"), (Hits{{0, 2}, {0, 3}}));
  EXPECT_EQ(index.Filter("ＡＢＣ"), (Hits{{1, 1}, {1, 2}}));
  EXPECT_EQ(index.Filter("せいきゅう"), (Hits{{0, 2}, {1, 3}, {0, 3}}));   // 請求書 is no match
  EXPECT_EQ(index.Filter("請求"), (Hits{{0, 1}}));
  EXPECT_EQ(index.Filter("ｹｲﾘ"), Hits{});   // 経理 has no reading here
  EXPECT_EQ(index.Filter("けいり"), Hits{});
  EXPECT_EQ(index.Filter("経理"), (Hits{{0, 1}, {0, 2}, {0, 3}}));
  EXPECT_EQ(index.Filter(""), Hits{});

  // The look-alike pairs of code page 932 and accents, after the system's
  // fold (which widens ~ and -), each both ways.
  for (const auto& [a, b] : {std::pair{"～", "〜"}, std::pair{"－", "−"}, std::pair{"-", "−"}, std::pair{"‖", "∥"},
                             std::pair{"￠", "¢"}, std::pair{"￡", "£"}, std::pair{"￢", "¬"}, std::pair{"CAFE", "café"}}) {
    for (const auto& [title, typed] : {std::pair{a, b}, std::pair{b, a}}) {
      const korvane::LauncherModel one = ModelOf({{"g", {{std::string("請求") + title + "2026", ""}}}});
      FindIndex found(ui::FoldForComparison);
      found.Sync(one);
      EXPECT_EQ(found.Filter(std::string("求") + typed + "２０"), (Hits{{0, 1}})) << title << " by " << typed;
    }
  }
}

struct FindBoxFixture {
  explicit FindBoxFixture(korvane::LauncherModel m) : model(std::move(m)) {}
  korvane::LauncherModel model;
  ui::Form owner;
  std::vector<std::pair<std::size_t, std::size_t>> launched;
  std::vector<std::pair<std::size_t, std::size_t>> shown;
  std::vector<std::string> icons_asked;
  korvane::FindBox box{model, korvane::FindBoxCallbacks{
                                  [this](std::size_t g, std::size_t n) { launched.emplace_back(g, n); },
                                  [this](std::size_t g, std::size_t n) {
                                    EXPECT_FALSE(box.IsOpen());
                                    shown.emplace_back(g, n);
                                  },
                                  [this](const std::string& path) -> HICON {
                                    icons_asked.push_back(path);
                                    return LoadIconA(nullptr, IDI_APPLICATION);
                                  }}};

  bool Open(bool enter_shows = false) {
    if (!owner.hwnd() && !kit::MakeForm(owner, {ui::FormKind::Sizeable, 700, 500})) return false;
    if (!box.Open(owner.hwnd(), enter_shows)) return false;
    return PumpUntil([&] { return GetFocus() == box.EdtFind.hwnd(); });
  }
  void Type(const std::string& text) {
    kit::PostAnsiChars(box.EdtFind.hwnd(), text);
    Pump();
  }
  void Key(UINT vk) {
    kit::PostKey(box.EdtFind.hwnd(), vk);
    Pump();
  }
};

korvane::LauncherModel OfficeModel() {
  return ModelOf({
      {"経理", {{"請求書", "C:\\経理\\請求書.xls"}, {"月次セイキュウ", "C:\\経理\\月次.xls"}}},
      {"営業", {{"見積書", "C:\\営業\\見積.doc"}, {"せいきゅう控え", "C:\\営業\\控え.doc"}}},
      {"総務", {{"", ""}, {"名簿", "C:\\総務\\名簿.txt"}}},
  });
}

TEST(FindBox, FiltersAsTypedMovesWithTheKeysLaunchesShowsAndCloses) {
  FindBoxFixture f(OfficeModel());
  ASSERT_TRUE(f.Open());
  EXPECT_TRUE(f.box.IsOpen());
  EXPECT_EQ(GetWindow(f.box.hwnd(), GW_OWNER), f.owner.hwnd());
  EXPECT_TRUE(f.box.EdtFind.ime_hiragana());
  EXPECT_EQ(f.box.Caption(), korvane::kFindBoxCaption);
  EXPECT_EQ(f.box.index().counts().entries, 5u);   // the empty entry is left out
  // Nothing typed: nothing listed, no count.
  EXPECT_EQ(f.box.LstFound.Count(), 0);
  EXPECT_EQ(f.box.CountText(), "");

  // Half-width katakana typed finds the katakana and the hiragana titles.
  f.Type("ｾｲｷｭｳ");
  EXPECT_EQ(f.box.EdtFind.Text(), "ｾｲｷｭｳ");
  EXPECT_EQ(f.box.hits(), (Hits{{1, 2}, {0, 2}}));   // the title that begins with it first
  EXPECT_EQ(f.box.LstFound.Count(), 2);
  EXPECT_EQ(f.box.CountText(), "2 件");
  EXPECT_EQ(f.box.LblCount.caption(), "2 件");
  EXPECT_EQ(f.box.chosen(), 0);

  // Down and Up move within the list and stop at its ends.
  f.Key(VK_DOWN);
  EXPECT_EQ(f.box.chosen(), 1);
  f.Key(VK_DOWN);
  EXPECT_EQ(f.box.chosen(), 1);
  f.Key(VK_UP);
  f.Key(VK_UP);
  EXPECT_EQ(f.box.chosen(), 0);
  f.Key(VK_NEXT);
  EXPECT_EQ(f.box.chosen(), 1);
  EXPECT_EQ(f.box.EdtFind.Text(), "ｾｲｷｭｳ");   // no key reached the text

  // Enter launches the chosen entry; the box stays for the next.
  f.Key(VK_RETURN);
  EXPECT_EQ(f.launched, (std::vector<std::pair<std::size_t, std::size_t>>{{0, 2}}));
  EXPECT_TRUE(f.shown.empty());
  EXPECT_TRUE(f.box.IsOpen());
  EXPECT_EQ(f.box.EdtFind.Text(), "ｾｲｷｭｳ");

  // More text narrows the list; a text nobody holds empties it, and Enter
  // then does nothing.
  f.Type("ｼｮ");
  EXPECT_EQ(f.box.hits(), Hits{});
  EXPECT_EQ(f.box.CountText(), "0 件");
  f.Key(VK_RETURN);
  EXPECT_EQ(f.launched.size(), 1u);

  // A group name matches its entries; Shift+Enter shows the chosen one and
  // closes the box first.
  f.box.EdtFind.SetText("");
  f.Type("営業");
  EXPECT_EQ(f.box.hits(), (Hits{{1, 1}, {1, 2}}));
  f.Key(VK_DOWN);
  {
    kit::HeldKey shift(VK_SHIFT);
    f.Key(VK_RETURN);
  }
  EXPECT_EQ(f.shown, (std::vector<std::pair<std::size_t, std::size_t>>{{1, 2}}));
  EXPECT_EQ(f.launched.size(), 1u);
  EXPECT_FALSE(f.box.IsOpen());

  // Opened again: the same text, selected, ready to be typed over.
  ASSERT_TRUE(f.Open());
  EXPECT_EQ(f.box.EdtFind.Text(), "営業");
  EXPECT_EQ(f.box.EdtFind.GetSelection().end, 2u) << "two UTF-16 units";
  f.Type("名簿");
  EXPECT_EQ(f.box.hits(), (Hits{{2, 2}}));
  // Escape closes without acting.
  f.Key(VK_ESCAPE);
  EXPECT_FALSE(f.box.IsOpen());
  EXPECT_EQ(f.launched.size(), 1u);
  EXPECT_EQ(f.shown.size(), 1u);

  // In the mode where Enter shows: Enter shows and closes.
  ASSERT_TRUE(f.Open(/*enter_shows=*/true));
  f.Key(VK_RETURN);
  EXPECT_EQ(f.shown.back(), (std::pair<std::size_t, std::size_t>{2, 2}));
  EXPECT_EQ(f.launched.size(), 1u);
  EXPECT_FALSE(f.box.IsOpen());

  // Ctrl+Enter launches there too.
  ASSERT_TRUE(f.Open(/*enter_shows=*/true));
  {
    kit::HeldKey ctrl(VK_CONTROL);
    f.Key(VK_RETURN);
  }
  EXPECT_EQ(f.launched.back(), (std::pair<std::size_t, std::size_t>{2, 2}));
  EXPECT_TRUE(f.box.IsOpen());

  // Tab goes to the list, which takes the same keys; Shift+Tab goes back.
  ASSERT_TRUE(f.Open());
  kit::PostKey(f.box.EdtFind.hwnd(), VK_TAB);
  Pump();
  ASSERT_EQ(GetFocus(), f.box.LstFound.hwnd());
  kit::PostKey(f.box.LstFound.hwnd(), VK_RETURN);
  Pump();
  EXPECT_EQ(f.launched.size(), 3u);
  {
    kit::HeldKey shift(VK_SHIFT);
    kit::PostKey(f.box.LstFound.hwnd(), VK_TAB);
    Pump();
  }
  EXPECT_EQ(GetFocus(), f.box.EdtFind.hwnd());

  // The frame sizes the box, the list follows, and the size is kept.
  const ui::Bounds before = f.box.bounds();
  f.box.SetBounds({before.x, before.y, before.width + 200, before.height + 100});
  ASSERT_TRUE(f.box.Size());
  EXPECT_EQ(f.box.Size()->width, f.box.ClientSize().cx);
  const ui::Bounds list = ui::BoundsOf(f.box.LstFound.hwnd());
  EXPECT_EQ(list.x + list.width, f.box.ClientSize().cx - 8);
  EXPECT_EQ(list.y + list.height, f.box.ClientSize().cy - 8);

  // The close box hides as Escape does: the window stays for the next time.
  ASSERT_TRUE(f.Open());
  f.box.Close();
  Pump();
  EXPECT_FALSE(f.box.IsOpen());
  EXPECT_TRUE(IsWindow(f.box.hwnd()));
}

TEST(FindBox, FollowsTheModelAndNeverActsOnAnEntryItNoLongerHolds) {
  FindBoxFixture f(OfficeModel());
  ASSERT_TRUE(f.Open());
  f.Type("書");
  EXPECT_EQ(f.box.hits(), (Hits{{0, 1}, {1, 1}}));
  f.Key(VK_DOWN);
  // A title changed and a group deleted from the main window while open.
  f.model.SelectGroup(2);
  f.model.SetTitle(2, "名簿 書式");
  f.box.ModelChanged();
  EXPECT_EQ(f.box.hits(), (Hits{{0, 1}, {1, 1}, {2, 2}}));
  EXPECT_EQ(f.box.chosen(), 1);   // the same entry stays chosen
  f.Key(VK_DOWN);
  f.model.DeleteGroup(0);
  f.box.ModelChanged();
  EXPECT_EQ(f.box.hits(), (Hits{{0, 1}, {1, 2}}));
  EXPECT_EQ(f.box.chosen(), 1);   // 総務's 名簿 書式, a row up now
  f.Key(VK_RETURN);
  EXPECT_EQ(f.launched, (std::vector<std::pair<std::size_t, std::size_t>>{{1, 2}}));
  // A group renamed: its entry is another one as far as the box knows.
  f.model.RenameGroup(1, "庶務");
  f.box.ModelChanged();
  EXPECT_EQ(f.box.chosen(), 0);

  // Hits the model lost unseen are painted blank and never launched.
  f.model.DeleteGroup(1);
  f.Key(VK_DOWN);
  ASSERT_EQ(f.box.chosen(), 1);
  f.Key(VK_RETURN);
  EXPECT_EQ(f.launched.size(), 1u);
  ui::MemorySurface surface;
  ASSERT_TRUE(surface.Create(400, 20));
  f.box.PaintRow(surface.dc(), RECT{0, 0, 400, 20}, 1, false);
  EXPECT_EQ(GetPixel(surface.dc(), 200, 10), GetSysColor(COLOR_WINDOW));
  f.box.ModelChanged();
  EXPECT_EQ(f.box.hits(), (Hits{{0, 1}}));
}

TEST(FindBox, PaintsGroupTitlePathAndIconOfEachRow) {
  FindBoxFixture f(OfficeModel());
  ASSERT_TRUE(f.Open());
  f.Type("見積");
  ASSERT_EQ(f.box.hits(), (Hits{{1, 1}}));
  ui::MemorySurface surface;
  ASSERT_TRUE(surface.CreateDib(560, 20, 32));
  f.icons_asked.clear();
  f.box.PaintRow(surface.dc(), RECT{0, 0, 560, 20}, 0, true);
  EXPECT_EQ(f.icons_asked, std::vector<std::string>{"C:\\営業\\見積.doc"});
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_EQ(GetPixel(surface.dc(), 555, 1), highlight);
  // Text drawn in each column: some pixel differs from the background.
  const auto inked = [&](int from, int to) {
    for (int x = from; x < to; ++x)
      for (int y = 2; y < 18; ++y)
        if (GetPixel(surface.dc(), x, y) != highlight) return true;
    return false;
  };
  EXPECT_TRUE(inked(2, 18));      // the icon
  EXPECT_TRUE(inked(22, 142));    // 営業
  EXPECT_TRUE(inked(146, 336));   // 見積書
  EXPECT_TRUE(inked(340, 558));   // the path
  // An entry without a path asks for no icon.
  f.box.EdtFind.SetText("");
  f.model.SelectGroup(2);
  f.model.ClearPath(2);
  f.box.ModelChanged();
  f.Type("名簿");
  f.icons_asked.clear();
  f.box.PaintRow(surface.dc(), RECT{0, 0, 560, 20}, 0, true);
  EXPECT_TRUE(f.icons_asked.empty());
  EXPECT_FALSE(inked(2, 18));
}

TEST(FindBox, ALongPathGivesWayInItsMiddleAndKeepsTheEndOfItsFileName) {
  ui::MemorySurface surface;
  ASSERT_TRUE(surface.CreateDib(10, 10, 32));
  const std::wstring path = L"C:\\Users\\担当者\\Documents\\経理\\2026年度\\請求〜2026_取引先別_集計.xlsx";
  const int whole = ui::WholeTextExtent(surface.dc(), path).cx;
  EXPECT_EQ(ui::FitPathText(surface.dc(), path, whole), path);
  // The folders give way first, then the name's beginning.
  for (const auto& [width, begins, ends] : {std::tuple{whole * 3 / 4, L"C:\\U", L"…\\請求〜2026_取引先別_集計.xlsx"},
                                            std::tuple{whole / 5, L"…", L"集計.xlsx"}}) {
    const std::wstring fitted = ui::FitPathText(surface.dc(), path, width);
    EXPECT_TRUE(fitted.starts_with(begins) && fitted.ends_with(ends)) << ui::Narrow(fitted);
    EXPECT_LE(ui::WholeTextExtent(surface.dc(), fitted).cx, width);
  }
}

TEST(FindBox, ListsTwentyThousandEntries) {
  korvane::LauncherModel model;
  for (int g = 0; g < 1000; ++g) {
    korvane::Group group = model.NewGroup("業務" + std::to_string(g));
    for (std::size_t i = 0; i < korvane::kEntryCount; ++i)
      group.entries[i] = {"報告 " + std::to_string(i + 1), "C:\\d\\r" + std::to_string(i) + ".xls"};
    model.AppendLoaded(std::move(group));
  }
  FindBoxFixture f(std::move(model));
  ASSERT_TRUE(f.Open());
  f.Type("報告");
  EXPECT_EQ(f.box.hits().size(), 20000u);
  EXPECT_EQ(f.box.LstFound.Count(), 20000);
  EXPECT_EQ(f.box.CountText(), "20000 件");
  f.Key(VK_NEXT);
  EXPECT_GT(f.box.chosen(), 5);
  f.Type(" 2");
  EXPECT_EQ(f.box.hits().size(), 2000u);   // 報告 2 and 報告 20 of every group
  EXPECT_EQ(f.box.hits()[1], (FindHit{0, 20}));
}

// A hot key held by another thread for as long as the object lives.
class HotKeyOfOtherThread {
 public:
  HotKeyOfOtherThread(UINT modifiers, UINT key) {
    thread_ = std::thread([this, modifiers, key] {
      MSG msg;
      PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);   // the thread's queue
      const bool ok = RegisterHotKey(nullptr, 1, modifiers, key) != FALSE;
      {
        std::lock_guard lock(mutex_);
        answered_ = true;
        registered_ = ok;
      }
      changed_.notify_all();
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return release_; });
      if (ok) UnregisterHotKey(nullptr, 1);
    });
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return answered_; });
  }
  ~HotKeyOfOtherThread() {
    {
      std::lock_guard lock(mutex_);
      release_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  bool registered() const { return registered_; }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool answered_ = false;
  bool registered_ = false;
  bool release_ = false;
  std::thread thread_;
};

TEST(SystemHotKey, RegistersTellsAKeyHeldElsewhereAndReleases) {
  ui::Form form;
  ASSERT_TRUE(kit::MakeForm(form));
  int pressed = 0;
  form.SetMessageHandler(WM_HOTKEY, [&](WPARAM wp, LPARAM, LRESULT& result) {
    if (wp == 7) ++pressed;
    result = 0;
    return true;
  });
  // A rare key, from the settings' own reading.
  const auto key = korvane::ParseHotKey("Ctrl+Alt+Shift+F11");
  ASSERT_TRUE(key.has_value());
  ui::SystemHotKey mine;
  EXPECT_EQ(mine.Register(form.hwnd(), 7, key->modifiers, key->key), ui::HotKeyState::Registered);
  EXPECT_EQ(mine.state(), ui::HotKeyState::Registered);
  EXPECT_EQ(mine.id(), 7);

  // Pressed anywhere: the window gets WM_HOTKEY.
  kit::SendKeys({VK_CONTROL, VK_MENU, VK_SHIFT, VK_F11});
  EXPECT_TRUE(PumpUntil([&] { return pressed == 1; }, 3000));

  // Held: nobody else gets it, neither another thread nor another window.
  {
    HotKeyOfOtherThread other(key->modifiers, key->key);
    EXPECT_FALSE(other.registered());
  }
  ui::Form second;
  ASSERT_TRUE(kit::MakeForm(second));
  ui::SystemHotKey theirs;
  EXPECT_EQ(theirs.Register(second.hwnd(), 1, key->modifiers, key->key), ui::HotKeyState::HeldElsewhere);
  EXPECT_EQ(theirs.state(), ui::HotKeyState::HeldElsewhere);

  // Released, it is free; a key another thread holds is told as held
  // elsewhere, and taken once that thread lets it go.
  mine.Unregister();
  EXPECT_EQ(mine.state(), ui::HotKeyState::Off);
  {
    HotKeyOfOtherThread other(key->modifiers, key->key);
    EXPECT_TRUE(other.registered());
    EXPECT_EQ(mine.Register(form.hwnd(), 7, key->modifiers, key->key), ui::HotKeyState::HeldElsewhere);
  }
  EXPECT_EQ(mine.Register(form.hwnd(), 7, key->modifiers, key->key), ui::HotKeyState::Registered);
  // Asking for another key releases the one held before.
  EXPECT_EQ(mine.Register(form.hwnd(), 7, MOD_CONTROL | MOD_ALT | MOD_SHIFT, VK_F12), ui::HotKeyState::Registered);
  EXPECT_EQ(theirs.Register(second.hwnd(), 1, key->modifiers, key->key), ui::HotKeyState::Registered);
  {
    ui::SystemHotKey scoped;
    scoped.Register(second.hwnd(), 2, MOD_CONTROL | MOD_ALT | MOD_SHIFT, VK_F10);
    EXPECT_EQ(scoped.state(), ui::HotKeyState::Registered);
  }   // released with the object
  {
    HotKeyOfOtherThread other(MOD_CONTROL | MOD_ALT | MOD_SHIFT, VK_F10);
    EXPECT_TRUE(other.registered());
  }
  // No key, or no window: nothing registered.
  EXPECT_EQ(theirs.Register(second.hwnd(), 1, MOD_CONTROL, 0), ui::HotKeyState::Off);
  EXPECT_EQ(theirs.Register(nullptr, 3, MOD_CONTROL, 'Q'), ui::HotKeyState::Off);
  {
    HotKeyOfOtherThread other(key->modifiers, key->key);   // released by the Off above
    EXPECT_TRUE(other.registered());
  }
  mine.Unregister();
  second.Destroy();
  form.Destroy();
}


// The find box, the hot key and the path tooltip as the main window wires
// them.
class MainFindTest : public kit::MainWindowTest {
 protected:
  // 経理: 1 an existing file, 2 a missing one, 3 a title without a path;
  // 営業: entry 5 a file whose title begins with the text looked for.
  void WriteGroups() {
    existing_ = folder_.Write("請求書.txt");
    other_ = folder_.Write("見積.txt");
    WriteGroup("経理", {{"請求書", existing_}, {"請求控え", "C:\\存在しない\\控え.txt"}, {"請求メモ", ""}});
    WriteGroup("営業", {{"a", ""}, {"b", ""}, {"c", ""}, {"d", ""}, {"見積 請求", other_}});
  }
  void OpenWith(int mode, const std::string& hot_key = "") {
    WriteGroups();
    if (!hot_key.empty()) folder_.Write("Korvane.INI", "[Korvane]\r\nHOTKEY=" + hot_key + "\r\n");
    Open(mode);
  }
  korvane::FindBox& box() { return form().Finder(); }
  bool BoxFocused() {
    return PumpUntil([&] { return box().IsOpen() && GetFocus() == box().EdtFind.hwnd(); }, 3000);
  }
  void TypeInBox(const std::string& text) {
    box().EdtFind.SetText("");
    kit::PostAnsiChars(box().EdtFind.hwnd(), text);
    Pump();
  }
  void BoxKey(UINT vk) {
    kit::PostKey(box().EdtFind.hwnd(), vk);
    Pump();
  }
  const korvane::Entry& EntryOf(const std::string& group, std::size_t n) {
    return *form().Model().GroupAt(static_cast<std::size_t>(GroupIndex(group))).EntryAt(n);
  }
  std::string existing_, other_;
};

TEST_F(MainFindTest, CtrlFMenuAndButtonOpenTheBoxWhichLaunchesShowsAndCloses) {
  OpenWith(korvane::kModeLauncher);
  const int accounts = GroupIndex("経理");
  const int sales = GroupIndex("営業");
  // The File menu's first item, with its shortcut.
  HMENU file = GetSubMenu(GetMenu(main()), 0);
  wchar_t caption[64] = L"";
  GetMenuStringW(file, 0, caption, static_cast<int>(std::size(caption)), MF_BYPOSITION);
  EXPECT_EQ(ui::Narrow(caption), "検索(&F)\tCtrl+F");
  EXPECT_EQ(GetMenuItemID(file, 0), korvane::TFrmFR0010MN::kIdFind);
  EXPECT_TRUE(IsWindowVisible(form().SpbFind.hwnd()));

  // The index is built once the window waits for input, before any box.
  EXPECT_EQ(box().hwnd(), nullptr);
  EXPECT_EQ(box().index().counts().groups, 2u);
  EXPECT_EQ(box().index().counts().entries, 8u);

  // Ctrl+F with the group list focused opens the box, its text box focused.
  SetFocus(list());
  CtrlKey('F');
  ASSERT_TRUE(BoxFocused());
  EXPECT_EQ(GetWindow(box().hwnd(), GW_OWNER), main());
  EXPECT_EQ(box().index().counts().folded, 0u);   // nothing left to fold
  TypeInBox("請求");
  EXPECT_EQ(box().CountText(), "4 件");
  EXPECT_EQ(box().hits()[0], (FindHit{static_cast<std::uint32_t>(accounts), 1}));

  // Enter launches through the launch routine: the shell is asked, the
  // marker set, the box stays.
  BoxKey(VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return seam_.shell_calls.size() == 1; }, 3000));
  Pump();
  EXPECT_EQ(seam_.shell_calls[0].file, existing_);
  EXPECT_EQ(seam_.shell_calls[0].owner, main());
  EXPECT_EQ(EntryOf("経理", 1).marker, korvane::PathMarker::Found);
  EXPECT_TRUE(box().IsOpen());
  // A missing file: the launch's own message and marker; an entry without
  // a path is marked so and starts nothing.
  BoxKey(VK_DOWN);
  BoxKey(VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return !seam_.boxes.empty(); }, 3000));
  EXPECT_EQ(seam_.boxes[0].text, "ファイルが存在しません。");
  EXPECT_EQ(EntryOf("経理", 2).marker, korvane::PathMarker::Missing);
  BoxKey(VK_DOWN);
  BoxKey(VK_RETURN);
  Pump();
  EXPECT_EQ(EntryOf("経理", 3).marker, korvane::PathMarker::NoPath);
  EXPECT_EQ(seam_.shell_calls.size(), 1u);

  // Shift+Enter closes the box and shows the entry: its group selected as
  // a click selects it, the title cell current and focused.
  BoxKey(VK_DOWN);
  ASSERT_EQ(box().hits()[static_cast<std::size_t>(box().chosen())], (FindHit{static_cast<std::uint32_t>(sales), 5}));
  {
    kit::HeldKey shift(VK_SHIFT);
    BoxKey(VK_RETURN);
  }
  EXPECT_FALSE(box().IsOpen());
  EXPECT_EQ(form().LBGroup.ItemIndex(), sales);
  EXPECT_EQ(form().Model().CurrentRow(), sales);
  EXPECT_EQ(form().DGMain.Row(), 5);
  EXPECT_EQ(form().DGMain.Col(), 1);
  EXPECT_TRUE(form().DGMain.Enabled());
  EXPECT_EQ(GetFocus(), grid());
  EXPECT_EQ(Marker(5), korvane::PathMarker::Found);   // its paths were tested

  // Ctrl+F with the grid focused opens it again, the text kept; Escape
  // closes it without acting.
  CtrlKey('F');
  ASSERT_TRUE(BoxFocused());
  EXPECT_EQ(box().EdtFind.Text(), "請求");
  BoxKey(VK_ESCAPE);
  EXPECT_FALSE(box().IsOpen());
  EXPECT_EQ(seam_.shell_calls.size(), 1u);

  // The menu item and the toolbar button open it too.
  PostMessageA(main(), WM_COMMAND, korvane::TFrmFR0010MN::kIdFind, 0);
  Pump();
  ASSERT_TRUE(BoxFocused());
  BoxKey(VK_ESCAPE);
  ClickButton(form().SpbFind.hwnd());
  ASSERT_TRUE(BoxFocused());

  // The index follows a group deleted while the box is open.
  form().LBGroup.SetItemIndex(accounts);
  seam_.answer = IDYES;
  form().MnuDeleteGroupClick();
  ASSERT_EQ(form().Model().GroupCount(), 1u);
  TypeInBox("請求");
  EXPECT_EQ(box().hits(), (Hits{{0, 5}}));
  BoxKey(VK_ESCAPE);

  // In registration mode Enter shows the entry instead of launching it.
  ClickButton(form().SpbInput.hwnd());
  CtrlKey('F');
  ASSERT_TRUE(BoxFocused());
  BoxKey(VK_RETURN);
  EXPECT_FALSE(box().IsOpen());
  EXPECT_EQ(seam_.shell_calls.size(), 1u);
  EXPECT_EQ(form().DGMain.Row(), 5);
}

TEST_F(MainFindTest, NoFindBoxWhileADialogIsOpenOverTheWindow) {
  OpenWith(korvane::kModeLauncher);
  ui::Form dialog;
  ui::FormArgs args;
  args.kind = ui::FormKind::Dialog;
  args.caption = "dialog";
  args.owner = main();
  args.bounds = ui::Bounds{200, 200, 240, 160};
  ASSERT_TRUE(dialog.Create(args));
  const int result = kit::RunModal(dialog, {[&] {
                                     kit::PostKey(dialog.hwnd(), 'F');
                                     Pump();
                                     {
                                       kit::HeldKey ctrl(VK_CONTROL);
                                       kit::PostKey(dialog.hwnd(), 'F');
                                       kit::PostKey(grid(), 'F');
                                       Pump();
                                     }
                                     form().OpenFind();
                                     EXPECT_FALSE(box().IsOpen());
                                     dialog.EndModal(ui::kModalOk);
                                   }});
  EXPECT_EQ(result, ui::kModalOk);
  EXPECT_FALSE(box().IsOpen());
}

TEST_F(MainFindTest, TheHotKeyOfTheSettingsBringsTheWindowWithTheBoxAndIsReleasedAtTheEnd) {
  const auto key = korvane::ParseHotKey("Ctrl+Alt+Shift+F9");
  ASSERT_TRUE(key.has_value());
  OpenWith(korvane::kModeLauncher, "Ctrl+Alt+Shift+F9");
  EXPECT_EQ(form().FindHotKey().state(), ui::HotKeyState::Registered);
  EXPECT_EQ(form().StbInfo.Text(), "");
  {
    HotKeyOfOtherThread other(key->modifiers, key->key);
    EXPECT_FALSE(other.registered());
  }
  // Pressed while another window is active: the main window comes forward
  // with the box open and focused.
  ui::Form elsewhere;
  ASSERT_TRUE(kit::MakeForm(elsewhere));
  SetForegroundWindow(elsewhere.hwnd());
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == elsewhere.hwnd(); }, 3000));
  kit::SendKeys({VK_CONTROL, VK_MENU, VK_SHIFT, VK_F9});
  ASSERT_TRUE(BoxFocused());
  EXPECT_EQ(GetForegroundWindow(), box().hwnd());
  EXPECT_EQ(box().EdtFind.Text(), "");
  elsewhere.Destroy();

  // The program's end releases it.
  CloseWindow();
  HotKeyOfOtherThread after(key->modifiers, key->key);
  EXPECT_TRUE(after.registered());
}

TEST_F(MainFindTest, AHotKeyHeldElsewhereOrUnreadableIsToldInTheStatusBar) {
  // The default when the settings say nothing.
  OpenWith(korvane::kModeLauncher);
  EXPECT_EQ(form().FindHotKey().state(), ui::HotKeyState::Registered);
  CloseWindow();
  {
    const auto key = korvane::ParseHotKey("Ctrl+Alt+Shift+F8");
    HotKeyOfOtherThread other(key->modifiers, key->key);
    ASSERT_TRUE(other.registered());
    folder_.Write("Korvane.INI", "[Korvane]\r\nHOTKEY=ctrl + alt + shift + f8\r\n");
    Open(korvane::kModeLauncher);
    EXPECT_EQ(form().FindHotKey().state(), ui::HotKeyState::HeldElsewhere);
    EXPECT_EQ(form().StbInfo.Text(), "ホットキー Ctrl+Alt+Shift+F8 は他のプログラムが使用しているため使えません。");
    EXPECT_TRUE(seam_.boxes.empty());
    CloseWindow();
  }
  folder_.Write("Korvane.INI", "[Korvane]\r\nHOTKEY=Ctrl+Banana\r\n");
  Open(korvane::kModeLauncher);
  EXPECT_EQ(form().FindHotKey().state(), ui::HotKeyState::Off);
  EXPECT_EQ(form().StbInfo.Text(), "設定ファイルの HOTKEY が読み取れないため、ホットキーは使いません。");
  CloseWindow();
  folder_.Write("Korvane.INI", "[Korvane]\r\nHOTKEY=off\r\n");
  Open(korvane::kModeLauncher);
  EXPECT_EQ(form().FindHotKey().state(), ui::HotKeyState::Off);
  EXPECT_EQ(form().StbInfo.Text(), "");
  EXPECT_TRUE(seam_.boxes.empty());
}

TEST_F(MainFindTest, TheHotKeyBringsTheProgramBackFromTheTray) {
  WriteGroups();
  folder_.Write("Korvane.INI", kit::SettingsBytes(120, 80, 640, 480, 1) + "HOTKEY=Ctrl+Alt+Shift+F7\r\n");
  OpenAsProgram();
  ASSERT_EQ(form().FindHotKey().state(), ui::HotKeyState::Registered);
  PostMessageA(main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(PumpUntil([&] { return form().HiddenInTray() && !IsWindowVisible(main()); }, 3000));
  kit::SendKeys({VK_CONTROL, VK_MENU, VK_SHIFT, VK_F7});
  ASSERT_TRUE(BoxFocused());
  EXPECT_FALSE(form().HiddenInTray());
  EXPECT_TRUE(IsWindowVisible(main()));
  EXPECT_TRUE(IsWindowVisible(app()));
}

TEST_F(MainFindTest, ThePathTooltipHoldsTheWholePathOnlyWhereItDoesNotFit) {
  const std::string longer = "C:\\Users\\担当者\\Documents\\とても長いフォルダーの名前\\その下のフォルダー\\"
                             "さらに下のフォルダー\\月次報告書_最終版_確認済み.xlsx";
  WriteGroup("経理", {{"短い", "C:\\a.txt"}, {"長い", longer}, {"空", ""}});
  Open(korvane::kModeRegistration);
  ClickGroup(0);
  const korvane::PathTip& tip = form().PathTips();
  RECT spot{};
  // Registration mode: the long path over its path cell, nothing over a
  // path that fits, an empty one or a title cell.
  EXPECT_EQ(tip.TextAt(CellPoint(2, 2), &spot), longer);
  const RECT long_cell = Cell(2, 2);
  EXPECT_TRUE(EqualRect(&spot, &long_cell) != FALSE);
  EXPECT_EQ(tip.TextAt(CellPoint(2, 1), &spot), "");
  EXPECT_EQ(tip.TextAt(CellPoint(2, 3), &spot), "");
  EXPECT_EQ(tip.TextAt(CellPoint(1, 2), &spot), "");
  EXPECT_EQ(tip.TextAt(CellPoint(0, 2), &spot), "");
  EXPECT_EQ(tip.TextAt(CellPoint(2, 4), &spot), "");   // no entry there

  // The pointer moving over the grid sets the tooltip's own text.
  PostMessageA(grid(), WM_MOUSEMOVE, 0, MAKELPARAM(CellPoint(2, 2).x, CellPoint(2, 2).y));
  Pump();
  EXPECT_EQ(tip.tip().text(), longer);
  HWND tooltip = tip.tip().tooltip();
  ASSERT_NE(tooltip, nullptr);
  std::vector<wchar_t> buf(1024, L'\0');
  TTTOOLINFOW ti{};
  ti.cbSize = TTTOOLINFOW_V1_SIZE;
  ti.hwnd = grid();
  ti.uId = 1;
  ti.lpszText = buf.data();
  SendMessageW(tooltip, TTM_GETTEXTW, buf.size(), reinterpret_cast<LPARAM>(&ti));
  EXPECT_EQ(ui::Narrow(buf.data()), longer);
  PostMessageA(grid(), WM_MOUSEMOVE, 0, MAKELPARAM(CellPoint(2, 1).x, CellPoint(2, 1).y));
  Pump();
  EXPECT_EQ(tip.tip().text(), "");

  // A short path no longer fits a column made narrow.
  form().DGMain.SetColWidth(2, 70);
  EXPECT_EQ(tip.TextAt(CellPoint(2, 1), &spot), "C:\\a.txt");
  EXPECT_EQ(tip.TextAt(CellPoint(2, 2), &spot), longer);

  // Launcher mode: the path column is hidden; the title cell holds every path.
  ClickButton(form().SpbRun.hwnd());
  EXPECT_EQ(tip.TextAt(CellPoint(1, 1), &spot), "C:\\a.txt");
  EXPECT_EQ(tip.TextAt(CellPoint(1, 2), &spot), longer);
  EXPECT_EQ(tip.TextAt(CellPoint(1, 3), &spot), "");
}

}  // namespace
