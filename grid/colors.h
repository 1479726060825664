#pragma once
// The 32 colours of the grid's painting, shared by the painting and the
// window's logical palette.
#include <array>
#include <cstdint>

namespace korvane {

struct Rgb {
  std::uint8_t r, g, b;
};

// The 32 painting colours, in palette order.
extern const std::array<Rgb, 32> ColorTable;

// Indexes into ColorTable by use.
enum ColorIndex : int {
  kClrBlack = 0, kClrWhite = 1, kClrSilver = 2, kClrLightGray = 3, kClrGray = 4,
  kClrCurrentCell = 5, kClrPathFace = 6, kClrPathShadow = 7, kClrSelectedGroup = 8,
  kClrGroupFace = 9, kClrGroupShadow = 10, kClrHeaderFace = 11, kClrHeaderShadow = 12,
  kClrBlue = 13, kClrPlateWhite = 14,
};

}  // namespace korvane
