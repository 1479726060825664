#pragma once
// The toolkit converts every text it hands the system with common/wide.h.
#include <windows.h>

#include "common/wide.h"

namespace ui {

using korvane::Narrow;
using korvane::SetTextOf;
using korvane::TextOf;
using korvane::Units;
using korvane::Wide;
using korvane::WideTextOf;

// A cursor of the system's (IDC_ARROW, IDC_WAIT, ...).
inline HCURSOR SystemCursor(LPCSTR id) {
  return LoadCursorW(nullptr, MAKEINTRESOURCEW(reinterpret_cast<ULONG_PTR>(id)));
}

}  // namespace ui
