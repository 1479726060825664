#pragma once
// The program's text is UTF-8 (std::string); the system's wide functions
// take UTF-16. Every window, control, menu, box, drawing, dialog, drop,
// shell, icon and launch call converts here, at the call.
#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace ui {

// UTF-8 to UTF-16; a byte that starts no well-formed sequence becomes U+FFFD.
std::wstring Wide(std::string_view utf8);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Narrow(std::wstring_view text);
// The units (common/text.h) that text counts against the program's limits.
std::size_t Units(std::wstring_view text);

// A cursor of the system's (IDC_ARROW, IDC_WAIT, ...).
inline HCURSOR SystemCursor(LPCSTR id) {
  return LoadCursorW(nullptr, MAKEINTRESOURCEW(reinterpret_cast<ULONG_PTR>(id)));
}

// A window's text (caption, control text) in UTF-8, and setting it.
std::string TextOf(HWND window);
void SetTextOf(HWND window, std::string_view text);

}  // namespace ui
