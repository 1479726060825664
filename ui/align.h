#pragma once
// Children aligned to the edges of their parent's client area, in table
// order: each takes its strip from what the ones before it left.
#include <windows.h>

#include <span>

namespace ui {

enum class Align { Top, Bottom, Left, Right, Client };

struct AlignedChild {
  HWND hwnd = nullptr;
  Align align = Align::Client;
  int size = 0;  // height for Top/Bottom, width for Left/Right
};

// Places every child; answers the area left over.
RECT ArrangeAligned(RECT client, std::span<const AlignedChild> children);

}  // namespace ui
