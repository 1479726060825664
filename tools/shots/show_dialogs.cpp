// Shows one of the program's dialogs over a stand-in main window for a few
// seconds, so that a screenshot can be taken of it:
//   show_dialogs new|rename|refuse|about|about-hover|find [milliseconds]
#include <windows.h>

#include <cstdlib>
#include <string>

#include "about/FR0020AB.h"
#include "data/model.h"
#include "groups/FR0030NG.h"
#include "groups/FR0040CG.h"
#include "app/find_box.h"
#include "ui/application.h"
#include "ui/form.h"

namespace {

ui::Form* g_dialog = nullptr;

void CALLBACK EndShow(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  // A message box may be up: close it first, then the dialog.
  if (HWND box = FindWindowA("#32770", nullptr)) PostMessageA(box, WM_COMMAND, IDOK, 0);
  if (g_dialog) g_dialog->EndModal(ui::kModalCancel);
}

void Show(ui::Form& dialog, int ms) {
  g_dialog = &dialog;
  SetTimer(nullptr, 0, static_cast<UINT>(ms), &EndShow);
  dialog.ShowModal();
  g_dialog = nullptr;
}

void PostText(HWND edit, const std::string& bytes) {
  for (char b : bytes) PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(b), 1);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "new";
  const int ms = argc > 2 ? std::atoi(argv[2]) : 3000;
  ui::Application app(LoadIconA(GetModuleHandleA(nullptr), "MAINICON"));
  ui::Form main;
  ui::FormArgs args;
  args.caption = "Korvane";
  args.bounds = {40, 40, 640, 480};
  if (!main.Create(args)) return 1;
  app.SetMainForm(&main);
  main.Show();

  korvane::LauncherModel model;
  model.AddGroup("経理部");
  model.AddGroup("営業部");
  if (what == "new" || what == "refuse") {
    korvane::TFrmFR0030NG dlg(model);
    if (!dlg.Create()) return 1;
    if (what == "new") {
      PostText(dlg.EdtNewGroup.hwnd(), "総務部　備品管理");
    } else {
      PostMessageA(dlg.EdtNewGroup.hwnd(), WM_KEYDOWN, VK_RETURN, 1);
    }
    Show(dlg, ms);
  } else if (what == "rename") {
    korvane::TFrmFR0040CG dlg(model);
    if (!dlg.Create()) return 1;
    dlg.LblGroupName.SetCaption("経理部");
    dlg.EdtNewGroup.SetText("経理部");
    Show(dlg, ms);
  } else if (what == "find") {
    // Three groups of entries, 請求 typed in half-width katakana.
    const char* titles[] = {"請求書 控え", "セイキュウショ一覧", "月次 せいきゅうしょ", "見積書", "名簿"};
    for (const char* name : {"総務部"}) model.AddGroup(name);
    for (int g = 0; g < 3; ++g) {
      model.SelectGroup(g);
      for (int n = 1; n <= 5; ++n) {
        model.SetTitle(n, titles[(n + g) % 5]);
        model.SetPath(n, std::string(n % 2 ? "C:\\windows\\notepad.exe" : "C:\\業務\\") +
                             (n % 2 ? "" : std::string(titles[(n + g) % 5]) + ".xls"));
      }
    }
    HICON app_icon = LoadIconA(nullptr, IDI_APPLICATION);
    korvane::FindBox box(model, korvane::FindBoxCallbacks{
                                    nullptr, nullptr, [app_icon](const std::string& path) -> HICON {
                                      return path.ends_with(".exe") ? app_icon : nullptr;
                                    }});
    if (!box.Open(main.hwnd())) return 1;
    PostText(box.EdtFind.hwnd(), "ｾｲｷｭｳ");
    PostMessageA(box.EdtFind.hwnd(), WM_KEYDOWN, VK_DOWN, 1);
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (GetTickCount() < end) {
      app.ProcessMessages();
      Sleep(10);
    }
    box.Destroy();
  } else {
    korvane::TAboutBox box;
    if (!box.Create()) return 1;
    if (what == "about-hover") {
      RECT r{};
      GetWindowRect(box.LblCopyright.hwnd(), &r);
      // The real pointer over the link: its colour and its tooltip.
      box.on_activate = [r] { SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2); };
    }
    Show(box, ms);
  }
  return 0;
}
