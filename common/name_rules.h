#pragma once
// Checks on a group name typed into the name dialogs. The name becomes the
// base name of the group's file, so it must be a name Windows can create.
#include <string_view>

namespace korvane {

// True when nothing is left after removing bytes up to 0x20 at both ends
// (the double-byte full-width space is not removed).
bool IsBlankName(std::string_view name);

// True for a name Windows reserves for a device: CON, PRN, AUX, NUL, CONIN$,
// CONOUT$, COM1-9, LPT1-9, judged on the part before the first dot with
// trailing blanks removed, in any letter case.
bool IsReservedDeviceName(std::string_view name);

// True when a byte below 0x20 stands in a single-byte position.
bool HasControlByte(std::string_view name);

}  // namespace korvane
