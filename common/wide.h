#pragma once
// The program's text is UTF-8 (std::string); the system's wide functions
// take UTF-16. Every call that hands text to the system or takes it back
// converts here, with the rules of common/text.h (an ill-formed byte or an
// unpaired surrogate becomes U+FFFD), never through the system's converter.
#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace korvane {

// UTF-8 to UTF-16.
std::wstring Wide(std::string_view utf8);
// UTF-16 to UTF-8; exact, when given, turns false where the text held an
// unpaired surrogate (which UTF-8 cannot spell).
std::string Narrow(std::wstring_view text, bool* exact = nullptr);
// The units (common/text.h) that text counts against the program's limits.
std::size_t Units(std::wstring_view text);

// A window's text (caption, control text) in UTF-8, and setting it: the one
// reader of window text.
std::wstring WideTextOf(HWND window);
std::string TextOf(HWND window);
void SetTextOf(HWND window, std::string_view text);

}  // namespace korvane
