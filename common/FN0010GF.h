#pragma once
// The program's three message boxes and the edit-box input filter (FN0010GF).
#include <windows.h>

#include <string>
#include <string_view>

#include "common/text.h"

namespace korvane {

inline constexpr const char* kProductCaption = "Korvane";

// Owner of the boxes: the application window (set once it exists).
void SetMessageBoxOwner(HWND owner);

void ShowWarning(const std::string& text);       // MB_ICONEXCLAMATION | MB_OK
void ShowInformation(const std::string& text);   // MB_ICONINFORMATION | MB_OK
bool Confirm(const std::string& text);           // Yes/No, No default; true only for Yes

// The last good text := the edit box's current text.
void RememberText(HWND edit);
// Puts the last good text back when the box's text breaks the set.
void FilterInput(HWND edit, std::string_view set, bool permitted);

}  // namespace korvane
