#pragma once
// The main window's private messages, each number once.
#include <windows.h>

namespace korvane {

// The tray icon's callback message, also the handover from a second start.
inline constexpr UINT kTrayMessage = 0x4B1;
// Answers of the work done off the window's thread, or work put off to
// the window's thread, are waiting (the one way back: BackgroundWork::Send).
inline constexpr UINT kBackgroundMessage = WM_APP + 0x4B;
// Posted and taken at once by a restore from the tray that another process
// asked for: the thread's last message time becomes now (app/tray.cpp).
inline constexpr UINT kFreshTimeMessage = WM_APP + 0x4C;
// Never posted: looking for it sends the window requests that wait.
inline constexpr UINT kNeverPosted = WM_APP + 0x4D;

}  // namespace korvane
