// Program entry: one running copy at a time. A second start hands over to
// the running copy (as a double click on its tray icon) and ends.
#include <windows.h>

#include <memory>

#include "app/FR0010MN.h"
#include "common/FN0010GF.h"
#include "common/kernel_handle.h"
#include "data/os.h"
#include "grid/background.h"
#include "ui/application.h"
#include "ui/wide.h"

namespace {

constexpr wchar_t kMutexName[] = L"6F3A2C91-4B7D-4E28-9A15-D3C07B8E52F4";
// How long a second start waits for the running copy to take over.
constexpr UINT kHandoverLimitMs = 3000;

}  // namespace

// Visible outside the exe's code optimised as a whole (CMakeLists.txt).
__attribute__((externally_visible)) int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (korvane::KernelHandle(OpenMutexW(MUTEX_ALL_ACCESS, FALSE, kMutexName))) {
    if (HWND running = FindWindowW(ui::Wide(korvane::kMainClass).c_str(), ui::Wide(korvane::kMainTitle).c_str())) {
      // A running copy that does not answer (busy, or hung) is not waited
      // for long: this one ends either way.
      DWORD_PTR result = 0;
      SendMessageTimeoutW(running, korvane::kTrayMessage, 0, WM_LBUTTONDBLCLK, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                          kHandoverLimitMs, &result);
    }
    return 0;
  }
  // Closed at the very end, after the main window is gone.
  const korvane::KernelHandle mutex(CreateMutexW(nullptr, FALSE, kMutexName));
  {
    // The data folder is watched and listed and the settings read (in the
    // pool the window's work runs in) while the system connects the program
    // to the display (the application window).
    const std::unique_ptr<ui::WorkQueue> pool = korvane::BackgroundWork::MakePool();
    korvane::StartupReading reading(korvane::os::ExeFolder(), pool.get());
    ui::Application app(LoadIconW(GetModuleHandleW(nullptr), L"MAINICON"));
    app.SetTitle(korvane::kMainTitle);
    korvane::SetMessageBoxOwner(app.hwnd());
    ShowWindow(app.hwnd(), SW_HIDE);
    // On the heap: the window's object is larger than a page of the stack.
    const auto main_form = std::make_unique<korvane::TFrmFR0010MN>();
    main_form->SetStartupReading(&reading);
    main_form->SetPool(pool.get());
    app.SetMainForm(main_form.get());
    app.on_help = [form = main_form.get()](DWORD context) { form->ShowContextHelp(context); };
    if (main_form->Create()) app.Run(*main_form);
    if (mutex) ReleaseMutex(mutex.get());
    // Leaving the scope destroys the main window (FormDestroy), then the
    // application window.
  }
  return 0;
}
