#include "ui/twips.h"

namespace velkora {

int TwipsToPixels(int twips, UINT dpi) {
  return MulDiv(twips, static_cast<int>(dpi), kTwipsPerInch);
}

RECT TwipRectToPixels(const TwipRect& twips, UINT dpi) {
  return RECT{TwipsToPixels(twips.left, dpi), TwipsToPixels(twips.top, dpi),
              TwipsToPixels(twips.left + twips.width, dpi),
              TwipsToPixels(twips.top + twips.height, dpi)};
}

}  // namespace velkora
