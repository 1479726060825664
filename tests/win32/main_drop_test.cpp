// Files dropped on the grid from Explorer: the drop target called as OLE
// calls it, with an HDROP built as Explorer builds one (ANSI and wide). A
// drop registers every file it can and names the others in one box.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/FN0010GF.h"
#include "common/text.h"
#include "data/groupfiles.h"
#include "data/settings.h"
#include "grid/drop.h"
#include "grid/entry_arranger.h"
#include "drop_data.h"
#include "kit.h"
#include "ui/wide.h"

namespace kit {
namespace {

constexpr DWORD kAnyEffect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

class MainDropTest : public MainWindowTest {
 protected:
  // Entry 1 and 4 filled, the others empty; 20 holds a title only.
  void OpenWithGroup(int mode = korvane::kModeRegistration) {
    std::vector<Entry> e(20);
    e[0] = {"一番", folder_.Write("一番.txt")};
    e[3] = {"四番", folder_.Write("四番.txt")};
    e[19] = {"題名だけ", ""};
    WriteGroup("日常業務", e);
    Open(mode);
    ClickGroup(0);
  }
  // DragEnter, DragOver and Drop at the middle of a cell of the row; the
  // effects the target answered; then the posted handling runs.
  struct Effects {
    DWORD enter, over, drop;
  };
  Effects DropAt(HGLOBAL hdrop, int row, int col = 1) {
    POINT pt = CellPoint(col, row);
    ClientToScreen(grid(), &pt);
    const POINTL at{pt.x, pt.y};
    auto* data = new kit::HdropData(hdrop);
    IDropTarget* target = form().GridDropTarget();
    Effects e{kAnyEffect, kAnyEffect, kAnyEffect};
    if (!target) {
      ADD_FAILURE() << "no drop target";
    } else {
      target->DragEnter(data, MK_LBUTTON, at, &e.enter);
      target->DragOver(MK_LBUTTON, at, &e.over);
      target->Drop(data, MK_LBUTTON, at, &e.drop);
    }
    data->Release();
    Pump();
    return e;
  }
  std::vector<std::string> Paths() {
    std::vector<std::string> out;
    for (int n = 1; n <= 20; ++n) out.push_back(Path(n));
    return out;
  }
  // The group file after a save: UTF-8 of a code page 932 file, a UTF-16
  // one's bytes as they are.
  std::string Saved() {
    CtrlKey('S');
    const std::string bytes = folder_.Read("日常業務.PTH");
    return bytes.starts_with("\xFF\xFE") ? bytes : korvane::Utf8FromCp932(bytes);
  }
  // The one box of a drop that left files out: each line a reason and a name.
  static std::string Refused(const std::vector<std::string>& lines) {
    return "次のファイルは登録されませんでした。\r\n\r\n" + korvane::ReportText(lines);
  }
};

TEST_F(MainDropTest, OneFileOnAnEmptyRowRegistersItAsTheOpenFileDialogWould) {
  OpenWithGroup();
  const std::string file = folder_.Write("見積書.xls");
  const Effects e = DropAt(kit::MakeHdrop(std::vector<std::string>{file}), 2, 0);
  EXPECT_EQ(e.enter, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_EQ(e.over, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_EQ(e.drop, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_TRUE(seam_.boxes.empty());
  EXPECT_EQ(Path(2), file);
  EXPECT_EQ(Title(2), "見積書");
  EXPECT_EQ(Marker(2), korvane::PathMarker::Found);
  EXPECT_TRUE(form().Model().Modified());
  // A file on a filled row replaces its path and keeps its title.
  DropAt(kit::MakeHdrop(std::vector<std::string>{file}), 1);
  EXPECT_EQ(Path(1), file);
  EXPECT_EQ(Title(1), "一番");
  EXPECT_NE(Saved().find("[02]\r\nTITLE=見積書\r\nPATH=" + file + "\r\n"), std::string::npos);
  EXPECT_FALSE(form().Model().Modified());
}

TEST_F(MainDropTest, SeveralFilesFillThatRowAndTheEmptyRowsAfterIt) {
  OpenWithGroup();
  const std::string a = folder_.Write("a.txt"), b = folder_.Write("b.txt"), c = folder_.Write("c.txt");
  const std::string fourth = Path(4);
  // Wide names, as Explorer sends them.
  DropAt(kit::MakeHdrop(std::vector<std::wstring>{ui::Wide(a), ui::Wide(b), ui::Wide(c)}), 3);
  EXPECT_TRUE(seam_.boxes.empty());
  EXPECT_EQ(Path(3), a);
  EXPECT_EQ(Path(4), fourth) << "a row with a path is never overwritten";
  EXPECT_EQ(Path(5), b);
  EXPECT_EQ(Path(6), c);
  EXPECT_EQ(Path(7), "");
  const std::string saved = Saved();
  EXPECT_NE(saved.find("[05]\r\nTITLE=b\r\nPATH=" + b + "\r\n"), std::string::npos);
  EXPECT_NE(saved.find("[04]\r\nTITLE=四番\r\nPATH=" + fourth + "\r\n"), std::string::npos);

  // Near the end: what does not fit is named in one box; a title-only
  // entry takes a path and keeps its title.
  while (form().DGMain.Row() < 19) Key(VK_DOWN);
  DropAt(kit::MakeHdrop(std::vector<std::string>{c, a, b}), 19);
  EXPECT_EQ(Path(19), c);
  EXPECT_EQ(Path(20), a);
  EXPECT_EQ(Title(20), "題名だけ");
  ASSERT_EQ(seam_.boxes.size(), 1u);
  EXPECT_EQ(seam_.boxes[0].text, Refused({"【空いている行がない】" + b}));
  EXPECT_EQ(seam_.boxes[0].flags & MB_ICONINFORMATION, static_cast<UINT>(MB_ICONINFORMATION));
}

TEST_F(MainDropTest, APartialDropRegistersEveryFileItCanAndNamesTheOthersWithTheirReasons) {
  OpenWithGroup();
  // Names code page 932 lacks are files like any other.
  const std::string cafe = folder_.Write("Café メニュー.txt");
  const std::string kanji = folder_.Write("𠮷野家の請求書.txt");
  const std::string korean = folder_.Write("한국어 자料.txt");
  const std::string wave = folder_.Write("波ダッシュ〜テスト.txt");
  const std::string folder = folder_.MakeFolder("資料");
  const std::string too_long = folder_.path() + std::string(2100, 'x');
  DropAt(kit::MakeHdrop(std::vector<std::wstring>{ui::Wide(cafe), ui::Wide(folder), ui::Wide(kanji), ui::Wide(too_long),
                                                  ui::Wide(korean), ui::Wide(wave)}),
         2);
  EXPECT_EQ(Path(2), cafe);
  EXPECT_EQ(Title(2), "Café メニュー");
  EXPECT_EQ(Path(3), kanji);
  EXPECT_EQ(Path(4), folder_.path() + "四番.txt") << "a row with a path is never overwritten";
  EXPECT_EQ(Path(5), korean);
  EXPECT_EQ(Path(6), wave);
  EXPECT_EQ(Title(6), "波ダッシュ〜テスト");
  for (int n : {2, 3, 5, 6}) EXPECT_EQ(Marker(n), korvane::PathMarker::Found) << n;
  EXPECT_EQ(seam_.Texts(), (std::vector<std::string>{Refused({"【フォルダー】" + folder, "【名前が長すぎる】" + too_long})}));
  // Undone in one step, as one drop.
  form().MnuUndoClick();
  EXPECT_EQ(Path(2), "");
  EXPECT_EQ(Path(6), "");
  form().MnuRedoClick();
  EXPECT_EQ(Path(6), wave);
  // Saved in UTF-16 with a byte-order mark, and read back the same.
  const std::string saved = Saved();
  ASSERT_GE(saved.size(), 2u);
  EXPECT_EQ(saved.substr(0, 2), "\xFF\xFE");
  EXPECT_NE(saved.find(korvane::testing::Utf16File(u"PATH=" + korvane::Utf16FromUtf8(kanji)).substr(2)),
            std::string::npos);
}

// The clipboard as another program leaves it: one format; or the text on it.
void PutOnClipboard(HWND owner, UINT format, HGLOBAL data) {
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  SetClipboardData(format, data);
  CloseClipboard();
}

std::wstring ClipboardText(HWND owner) {
  std::wstring text;
  if (!OpenClipboard(owner)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) text = static_cast<const wchar_t*>(GlobalLock(data));
  CloseClipboard();
  return text;
}

TEST_F(MainDropTest, TheWindowsClipboardTakesAnEntrysPathOutAndFileListsAndPathsIn) {
  OpenWithGroup();
  // Copy puts the path out as text; a paste of that here takes the whole entry.
  CtrlKey('C');
  EXPECT_EQ(ClipboardText(main()), ui::Wide(Path(1)));
  form().DGMain.SetRow(2);
  CtrlKey('V');
  EXPECT_EQ(Title(2), "一番");

  // A file list as a file manager copies it: the rules of a drop, one step.
  const std::string a = folder_.Write("a.txt"), b = folder_.Write("b.txt"), folder = folder_.MakeFolder("資料");
  PutOnClipboard(main(), CF_HDROP, kit::MakeHdrop(std::vector<std::wstring>{ui::Wide(a), ui::Wide(folder), ui::Wide(b)}));
  form().DGMain.SetRow(5);
  CtrlKey('V');
  EXPECT_EQ(Paths()[4] + Paths()[5], a + b);
  EXPECT_EQ(seam_.Texts(), (std::vector<std::string>{Refused({"【フォルダー】" + folder})}));
  form().MnuUndoClick();
  EXPECT_EQ(Paths()[4] + Paths()[5], "");

  // Paths as text, in quotes or not, from the edit menu: a full path is
  // registered, anything else named.
  const std::string c = folder_.Write("請求〜2026.txt");
  const std::wstring text = L"\"" + ui::Wide(c) + L"\"\r\n請求書";
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  std::memcpy(GlobalLock(mem), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(mem);
  PutOnClipboard(main(), CF_UNICODETEXT, mem);
  form().DGMain.SetRow(8);
  EXPECT_TRUE(form().MainMenu().Run(korvane::kIdPaste));
  Pump();
  EXPECT_EQ(Path(8), c);
  EXPECT_EQ(Marker(8), korvane::PathMarker::Found);
  EXPECT_EQ(seam_.Texts().back(), Refused({"【ファイルのパスではない】請求書"}));
}

TEST_F(MainDropTest, RefusedDropsChangeNothing) {
  std::vector<Entry> e(20);
  e[0] = {"一番", folder_.Write("一番.txt")};
  WriteGroup("日常業務", e);
  Open(korvane::kModeRegistration);
  const std::string file = folder_.Write("見積書.xls");
  const std::vector<std::string> one{file};
  const Effects no_group = DropAt(kit::MakeHdrop(one), 2);
  EXPECT_EQ(no_group.over, static_cast<DWORD>(DROPEFFECT_NONE));
  ClickGroup(0);
  const auto before = Paths();
  ClickButton(form().SpbRun.hwnd());
  ASSERT_EQ(form().Mode(), korvane::kModeLauncher);
  const Effects launcher = DropAt(kit::MakeHdrop(one), 2);
  EXPECT_EQ(launcher.enter, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(launcher.over, static_cast<DWORD>(DROPEFFECT_NONE));
  ClickButton(form().SpbInput.hwnd());
  ASSERT_EQ(form().Mode(), korvane::kModeRegistration);

  const Effects header = DropAt(kit::MakeHdrop(one), 0);
  EXPECT_EQ(header.over, static_cast<DWORD>(DROPEFFECT_NONE));
  // Nothing of a drop can be registered: one box names each with its
  // reason (a name with an unpaired surrogate, which no path can spell).
  const std::string too_long = folder_.path() + std::string(2100, 'x');
  const std::string folder = folder_.MakeFolder("資料");
  DropAt(kit::MakeHdrop(std::vector<std::wstring>{ui::Wide(folder_.path()) + L"caf\xD800.txt", ui::Wide(too_long),
                                                  ui::Wide(folder)}),
         2);
  EXPECT_EQ(seam_.Texts(), (std::vector<std::string>{
                               "業務名を選択してから、ファイルをドロップしてください。",
                               "ファイルの登録は登録モードで行ってください。",
                               "ファイルは登録する行の上にドロップしてください。",
                               Refused({"【使えない文字】（表示できない名前）", "【名前が長すぎる】" + too_long,
                                        "【フォルダー】" + folder}),
                           }));
  EXPECT_EQ(Paths(), before);
  EXPECT_FALSE(form().Model().Modified());
}

// No exception leaves the target: OLE is told of a failure, nothing is
// dropped, and the error is reported as a window procedure's would be.
TEST_F(MainDropTest, AThrowInsideTheTargetIsReportedAndDropsNothing) {
  OpenWithGroup();
  const std::vector<std::string> before = Paths();
  std::vector<std::string> reported;
  ui::SetExceptionReporter([&](const std::string& what) { reported.push_back(what); });
  auto* target = static_cast<korvane::FileDropTarget*>(form().GridDropTarget());
  target->accepts = [](POINT) -> bool { throw std::runtime_error("accepts failed"); };
  POINT pt = CellPoint(1, 2);
  ClientToScreen(grid(), &pt);
  auto* data = new HdropData(MakeHdrop(std::vector<std::string>{folder_.Write("x.txt")}));
  DWORD effect = kAnyEffect;
  EXPECT_EQ(target->DragEnter(data, MK_LBUTTON, POINTL{pt.x, pt.y}, &effect), E_UNEXPECTED);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  effect = kAnyEffect;
  EXPECT_EQ(target->Drop(data, MK_LBUTTON, POINTL{pt.x, pt.y}, &effect), E_UNEXPECTED);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  data->Release();
  Pump();
  ui::SetExceptionReporter([](const std::string& what) { korvane::ShowWarning(what); });
  EXPECT_EQ(reported, (std::vector<std::string>{"accepts failed", "accepts failed"}));
  EXPECT_EQ(Paths(), before);
}

}  // namespace
}  // namespace kit
