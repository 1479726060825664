#pragma once
// Text output that draws a character beyond the BMP (a surrogate pair, as
// 𠮷) as one character: Wine's ExtTextOutW and DrawTextW draw each half of
// the pair as a missing glyph, its Uniscribe draws the pair with a fallback
// font as Windows does. Text without a pair keeps the plain calls.
#include <windows.h>

#include <string>
#include <string_view>

namespace ui {

bool HasSurrogatePair(std::wstring_view text);

// ExtTextOutW at (x, y) with these options and clip, in the DC's font,
// colours and background mode.
void DrawWholeText(HDC dc, int x, int y, UINT options, const RECT* clip, std::wstring_view text);
SIZE WholeTextExtent(HDC dc, std::wstring_view text);

// DrawTextW of one line (DT_SINGLELINE), centred vertically when the
// format says so; a text holding a pair is clipped to r rather than
// shortened with an ellipsis.
void DrawLineText(HDC dc, std::wstring_view text, RECT r, UINT format);

// A path shortened in its middle to fit width in the DC's font, so that
// the end of its file name stays: the folders' beginning, "…", the file
// name ("C:\業務\…\請求書.xlsx"); a file name wider than all of it keeps
// its end ("…求書.xlsx"). A path that fits comes back as it is. A pair
// of surrogates is never cut.
std::wstring FitPathText(HDC dc, std::wstring_view path, int width);

}  // namespace ui
