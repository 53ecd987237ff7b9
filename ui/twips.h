#pragma once

#include <windows.h>

namespace velkora {

inline constexpr int kTwipsPerInch = 1440;

// A rectangle in twips: its left and top corner and its size.
struct TwipRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// Pixels for a length in twips at dpi dots per inch, rounded to the nearest pixel.
int TwipsToPixels(int twips, UINT dpi);

// The pixel rectangle for twips at dpi. The edges are rounded, not the sizes, so that
// controls which meet in twips still meet in pixels.
RECT TwipRectToPixels(const TwipRect& twips, UINT dpi);

}  // namespace velkora
