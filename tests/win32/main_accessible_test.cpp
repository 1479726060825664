// What a screen reader gets of the main window, asked as a reader asks
// (AccessibleObjectFromWindow, the IAccessible methods, WinEvents): the grid
// as a table of entries, the toolbar's buttons, the group list, the status
// bar and the find box's hits.
#include <gtest/gtest.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "kit.h"
#include "ui/com_ref.h"
#include "ui/wide.h"

namespace kit {
namespace {

using korvane::GridAccessible;
using Object = ui::ComRef<IAccessible>;

VARIANT Child(long id) {
  VARIANT v{};
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

Object ObjectOf(HWND hwnd) {
  IAccessible* a = nullptr;
  if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                        reinterpret_cast<void**>(&a))))
    return {};
  return Object::Adopt(a);
}

Object ChildObject(IAccessible* parent, long id) {
  IDispatch* d = nullptr;
  if (parent->get_accChild(Child(id), &d) != S_OK || !d) return {};
  IAccessible* a = nullptr;
  d->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&a));
  d->Release();
  return Object::Adopt(a);
}

std::string Text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), IAccessible* a, long id) {
  BSTR b = nullptr;
  (a->*get)(Child(id), &b);
  const std::string text = b ? ui::Narrow(b) : "";
  SysFreeString(b);
  return text;
}
std::string Name(IAccessible* a, long id = 0) { return Text(&IAccessible::get_accName, a, id); }
std::string Value(IAccessible* a, long id = 0) { return Text(&IAccessible::get_accValue, a, id); }

long Number(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), IAccessible* a, long id) {
  VARIANT v{};
  return SUCCEEDED((a->*get)(Child(id), &v)) && v.vt == VT_I4 ? v.lVal : -1;
}
long Role(IAccessible* a, long id = 0) { return Number(&IAccessible::get_accRole, a, id); }
long State(IAccessible* a, long id = 0) { return Number(&IAccessible::get_accState, a, id); }

long Count(IAccessible* a) {
  long n = -1;
  a->get_accChildCount(&n);
  return n;
}

// The WinEvents this process raises while the hook lives (delivered as the
// test pumps).
struct Event {
  DWORD event;
  HWND hwnd;
  LONG object, child;
  bool operator==(const Event&) const = default;
};
class EventLog {
 public:
  EventLog() {
    log_ = &events;
    hook_ = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, &EventLog::Proc, GetCurrentProcessId(), 0,
                            WINEVENT_OUTOFCONTEXT);
  }
  ~EventLog() {
    UnhookWinEvent(hook_);
    log_ = nullptr;
  }
  bool Saw(DWORD event, HWND hwnd, LONG child) {
    return PumpUntil([&] {
      for (const Event& e : events)
        if (e == Event{event, hwnd, OBJID_CLIENT, child}) return true;
      return false;
    }, 3000);
  }
  std::vector<Event> events;

 private:
  static void CALLBACK Proc(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    if (log_) log_->push_back(Event{event, hwnd, object, child});
  }
  static inline std::vector<Event>* log_ = nullptr;
  HWINEVENTHOOK hook_ = nullptr;
};

class AccessibleTest : public MainWindowTest {
 protected:
  // Entry 1 found (a relative path), 2 missing, 3 on a share that has not
  // answered, 4 empty.
  void OpenGroup() {
    full_ = folder_.Write("見積書.txt");
    WriteGroup("業務", {{"見積書", ".\\見積書.txt"}, {"無い", "C:\\無い\\表.xls"}, {"", "Q:\\共有\\表.xls"}});
    WriteGroup("経理", {{"請求書", "C:\\無い\\請求書.xls"}});
    settle_ = false;
    Open();
    ClickGroup(GroupIndex("業務"));
    ASSERT_TRUE(PumpUntil([&] { return Marker(2) == korvane::PathMarker::Missing; }));
  }
  std::string full_;
};

TEST_F(AccessibleTest, TheGridIsATableOfEntriesWhoseCurrentCellIsFocusedAndFollowed) {
  GatedFileSystem share({});
  OpenGroup();
  const Object table = ObjectOf(grid());
  ASSERT_TRUE(table);
  EXPECT_EQ(Role(table.get()), ROLE_SYSTEM_TABLE);
  EXPECT_EQ(Name(table.get()), "業務");
  EXPECT_EQ(Count(table.get()), 20);

  const Object row1 = ChildObject(table.get(), 1);
  ASSERT_TRUE(row1);
  EXPECT_EQ(Role(row1.get()), ROLE_SYSTEM_ROW);
  EXPECT_EQ(Name(row1.get()), "1 見積書 .\\見積書.txt");
  EXPECT_EQ(Count(row1.get()), 3);
  EXPECT_EQ(Role(row1.get(), 1), ROLE_SYSTEM_PUSHBUTTON);
  EXPECT_EQ(Name(row1.get(), 1), "起動 1");
  EXPECT_EQ(Value(row1.get(), 1), "");  // found
  EXPECT_EQ(Role(row1.get(), 2), ROLE_SYSTEM_CELL);
  EXPECT_EQ(Name(row1.get(), 2), "見積書");
  EXPECT_EQ(Name(row1.get(), 3), ".\\見積書.txt");
  EXPECT_EQ(Value(row1.get(), 3), full_);
  // The current cell: selected, and focused while the grid has the focus.
  EXPECT_EQ(State(row1.get(), 2) & (STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED),
            STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED);
  EXPECT_EQ(State(row1.get(), 3) & STATE_SYSTEM_SELECTED, 0);
  // Where the row is: its launch button's top left, its cells' width.
  long x = 0, y = 0, w = 0, h = 0;
  ASSERT_EQ(row1->accLocation(&x, &y, &w, &h, Child(0)), S_OK);
  POINT corner{Cell(0, 1).left, Cell(0, 1).top};
  ClientToScreen(grid(), &corner);
  EXPECT_EQ(x, corner.x);
  EXPECT_EQ(y, corner.y);
  EXPECT_EQ(w, Cell(2, 1).right - Cell(0, 1).left);
  EXPECT_EQ(h, Cell(0, 1).bottom - Cell(0, 1).top);

  const Object row2 = ChildObject(table.get(), 2);
  EXPECT_EQ(Value(row2.get(), 1), "ファイルがありません");
  EXPECT_EQ(Name(row2.get()), "2 無い C:\\無い\\表.xls ファイルがありません");
  const Object row3 = ChildObject(table.get(), 3);
  EXPECT_EQ(Value(row3.get(), 1), "未確認");
  EXPECT_EQ(Name(row3.get(), 2), "（空）");
  EXPECT_EQ(Value(row3.get(), 3), "Q:\\共有\\表.xls");
  const Object row4 = ChildObject(table.get(), 4);
  EXPECT_EQ(Name(row4.get(), 2), "（空）");
  EXPECT_NE(State(row4.get(), 1) & STATE_SYSTEM_UNAVAILABLE, 0);
  EXPECT_EQ(State(row1.get(), 1) & STATE_SYSTEM_UNAVAILABLE, 0);

  // Arrowing down: the focus goes to the title of entry 2, as the table
  // names it for the event.
  EventLog log;
  Key(VK_DOWN);
  const long cell = GridAccessible::CellId(1, 2);
  EXPECT_TRUE(log.Saw(EVENT_OBJECT_FOCUS, grid(), cell));
  EXPECT_TRUE(log.Saw(EVENT_OBJECT_SELECTION, grid(), cell));
  EXPECT_EQ(Name(table.get(), cell), "無い");
  EXPECT_EQ(Role(table.get(), cell), ROLE_SYSTEM_CELL);
  EXPECT_NE(State(table.get(), cell) & STATE_SYSTEM_FOCUSED, 0);
  VARIANT focus{};
  ASSERT_EQ(table->get_accFocus(&focus), S_OK);
  EXPECT_EQ(focus.lVal, cell);
  EXPECT_EQ(State(row1.get(), 2) & STATE_SYSTEM_SELECTED, 0);

  // A reader presses a launch button: its entry is launched, as by a click.
  EXPECT_EQ(row1->accDoDefaultAction(Child(1)), S_OK);
  ASSERT_TRUE(PumpUntil([&] { return seam_.shell_calls.size() == 1; }));
  EXPECT_EQ(row4->accDoDefaultAction(Child(1)), DISP_E_MEMBERNOTFOUND) << "no file, no action";

  // The share answers: the marker's change is told on the launch button.
  share.Answer();
  EXPECT_TRUE(log.Saw(EVENT_OBJECT_VALUECHANGE, grid(), GridAccessible::CellId(0, 3)));
  EXPECT_EQ(Value(row3.get(), 1), "ファイルがありません");
  // An entry's title changed (Delete on the title) is told on its cell.
  Key(VK_DELETE);
  EXPECT_TRUE(log.Saw(EVENT_OBJECT_NAMECHANGE, grid(), cell));
  EXPECT_EQ(Name(row2.get(), 2), "（空）");
  // Another group: the table is named anew and read again.
  ClickGroup(GroupIndex("経理"));
  EXPECT_TRUE(log.Saw(EVENT_OBJECT_REORDER, grid(), CHILDID_SELF));
  EXPECT_EQ(Name(table.get()), "経理");
  EXPECT_EQ(Name(row1.get(), 2), "請求書");

  // Once the window is gone, the objects a reader still holds say so.
  CloseWindow();
  BSTR b = nullptr;
  EXPECT_EQ(row1->get_accName(Child(0), &b), RPC_E_DISCONNECTED);
  EXPECT_EQ(table->get_accName(Child(0), &b), RPC_E_DISCONNECTED);
}

TEST_F(AccessibleTest, ButtonsListStatusBarAndFindHitsAreNamed) {
  GatedFileSystem share({});
  OpenGroup();
  // The toolbar: push buttons with the menu's words, the mode's pressed.
  const std::pair<ui::SpeedButton*, const char*> buttons[] = {
      {&form().SpbSave, "保存"}, {&form().SpbExit, "終了"}, {&form().SpbInput, "登録モード"},
      {&form().SpbRun, "ランチャーモード"}, {&form().SpbFind, "検索"}};
  for (const auto& [button, name] : buttons) {
    const Object b = ObjectOf(button->hwnd());
    ASSERT_TRUE(b) << name;
    EXPECT_EQ(Name(b.get()), name);
    EXPECT_EQ(Role(b.get()), ROLE_SYSTEM_PUSHBUTTON);
  }
  const Object input = ObjectOf(form().SpbInput.hwnd()), run = ObjectOf(form().SpbRun.hwnd());
  EXPECT_NE(State(input.get()) & STATE_SYSTEM_PRESSED, 0);
  EXPECT_EQ(State(run.get()) & STATE_SYSTEM_PRESSED, 0);
  // The status bar: its text, and its change told.
  EventLog log;
  const Object status = ObjectOf(form().StbInfo.hwnd());
  EXPECT_EQ(Role(status.get()), ROLE_SYSTEM_STATUSBAR);
  Key(VK_DELETE);
  EXPECT_TRUE(log.Saw(EVENT_OBJECT_NAMECHANGE, form().StbInfo.hwnd(), CHILDID_SELF));
  EXPECT_EQ(Name(status.get()), "未保存の変更があります");

  // Its default action presses it: launcher mode, told on both buttons.
  EXPECT_EQ(run->accDoDefaultAction(Child(0)), S_OK);
  ASSERT_TRUE(PumpUntil([&] { return form().Mode() == korvane::kModeLauncher; }));
  EXPECT_TRUE(log.Saw(EVENT_OBJECT_STATECHANGE, form().SpbInput.hwnd(), CHILDID_SELF));
  EXPECT_TRUE(log.Saw(EVENT_OBJECT_STATECHANGE, form().SpbRun.hwnd(), CHILDID_SELF));
  EXPECT_EQ(State(input.get()) & STATE_SYSTEM_PRESSED, 0);
  EXPECT_NE(State(run.get()) & STATE_SYSTEM_PRESSED, 0);
  // In launcher mode the file cells are not shown.
  const Object table = ObjectOf(grid());
  EXPECT_NE(State(table.get(), GridAccessible::CellId(2, 1)) & STATE_SYSTEM_INVISIBLE, 0);

  // The group list: the names of the rows, the chosen one selected.
  const Object groups = ObjectOf(list());
  ASSERT_TRUE(groups);
  EXPECT_EQ(Role(groups.get()), ROLE_SYSTEM_LIST);
  EXPECT_EQ(Name(groups.get()), "業務名");
  ASSERT_EQ(Count(groups.get()), 2);
  const long chosen = GroupIndex("業務") + 1;
  EXPECT_EQ(Name(groups.get(), chosen), "業務");
  EXPECT_EQ(Name(groups.get(), 3 - chosen), "経理");
  EXPECT_EQ(Role(groups.get(), chosen), ROLE_SYSTEM_LISTITEM);
  EXPECT_NE(State(groups.get(), chosen) & STATE_SYSTEM_SELECTED, 0);
  EXPECT_EQ(State(groups.get(), 3 - chosen) & STATE_SYSTEM_SELECTED, 0);

  // The find box's hits: group / title / file.
  form().OpenFind();
  korvane::FindBox& box = form().Finder();
  ASSERT_TRUE(PumpUntil([&] { return box.IsOpen(); }));
  PostAnsiChars(box.EdtFind.hwnd(), "請求");
  ASSERT_TRUE(PumpUntil([&] { return box.hits().size() == 1; }));
  const Object hits = ObjectOf(box.LstFound.hwnd());
  EXPECT_EQ(Name(hits.get()), "検索結果");
  ASSERT_EQ(Count(hits.get()), 1);
  EXPECT_EQ(Name(hits.get(), 1), "経理 / 請求書 / C:\\無い\\請求書.xls");
  EXPECT_NE(State(hits.get(), 1) & STATE_SYSTEM_SELECTED, 0);
  box.CloseBox();
}

}  // namespace
}  // namespace kit
