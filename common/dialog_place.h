#pragma once
// Where the program's dialogs open: centred over the window that owns them.
#include <windows.h>

namespace korvane {

// Moves `dialog` so that its centre lies over `owner`'s: left := owner's left
// + (owner's width - dialog's width) / 2, the same for top, with the outer
// sizes of both windows and divisions that truncate toward zero. The result
// is not kept on the screen: an owner partly off the screen gets its dialog
// over it all the same. Without a usable owner (none, or one of no size,
// such as the hidden application window) the work area stands in for it.
void CentreOverOwner(HWND dialog, HWND owner);

}  // namespace korvane
