#pragma once
// Checks on a group name typed into the name dialogs (UTF-8). The name
// becomes the base name of the group's file, so it must be a name Windows
// can create; the checks judge it as Windows sees it, in UTF-16.
#include <string_view>

namespace korvane {

// True when nothing is left after removing bytes up to 0x20 at both ends
// (the full-width space U+3000 is not removed).
bool IsBlankName(std::string_view name);

// True for a name Windows reserves for a device: CON, PRN, AUX, NUL, CONIN$,
// CONOUT$, COM1-9, LPT1-9 and COM or LPT with a superscript ¹, ² or ³,
// judged on the part before the first dot with trailing blanks removed, in
// any letter case.
bool IsReservedDeviceName(std::string_view name);

// True when a control character below U+0020 stands in the name.
bool HasControlByte(std::string_view name);

// True when the name holds a character no Windows file name may hold:
// \ / : * ? " < > |.
bool HasForbiddenCharacter(std::string_view name);

}  // namespace korvane
