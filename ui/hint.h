#pragma once
// Tooltip hints: one tooltip window per top-level window, made when the
// first hint is given; each control is a tool of it that subclasses the
// control to see the mouse.
#include <windows.h>

#include <string>
#include <string_view>

namespace ui {

// Sets, changes or (with an empty text) removes the hint of `control`
// (at most 1023 bytes are kept).
void SetHint(HWND control, std::string_view text);
// The hint the tooltip holds for `control` (empty when none).
std::string HintOf(HWND control);
// The tooltip window of `control`'s top-level window, or null.
HWND TooltipOf(HWND control);
// For a top-level window going away: forgets its tooltip (which goes with
// it, being owned by it).
void ForgetTooltip(HWND top_level);
// Creates a tooltip window owned by `owner`. The common-controls library
// that has the class is loaded on the first call, not at start.
HWND CreateTooltipWindow(HWND owner);

}  // namespace ui
