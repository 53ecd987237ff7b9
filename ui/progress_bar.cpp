#include "ui/progress_bar.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>

#include "ui/controls.h"

namespace velkora {
namespace {

// The bar counts in whole numbers; values beyond them are shown at the bar's ends.
int BarUnits(float value) {
  if (!(value > 0.0f)) return 0;
  if (value >= static_cast<float>(INT_MAX - 1)) return INT_MAX - 1;
  return static_cast<int>(value);
}

}  // namespace

bool ProgressBar::Create(HWND parent, int id) {
  ControlArgs args;
  args.parent = parent;
  args.className = PROGRESS_CLASSW;
  args.id = id;
  bar_ = CreateControl(args);
  if (bar_ == nullptr) return false;
  SendMessageW(bar_, PBM_SETRANGE32, 0, BarUnits(maximum_));
  SendMessageW(bar_, PBM_SETPOS, 0, 0);
  return true;
}

void ProgressBar::SetMaximum(float maximum) {
  maximum_ = maximum;
  SendMessageW(bar_, PBM_SETRANGE32, 0, BarUnits(maximum_));
  Show(true);
}

void ProgressBar::SetValue(float value) {
  value_ = value;
  Show(false);
}

// Moves the bar to the value and paints it now, when its filled part changed by a pixel
// or the value reached the maximum.
void ProgressBar::Show(bool always) {
  const int top = BarUnits(maximum_);
  const int position = std::min(BarUnits(value_), top);
  RECT client{};
  GetClientRect(bar_, &client);
  const int fill = top > 0 ? MulDiv(position, client.right - client.left, top) : 0;
  // Moving the bar costs a paint on some systems; below a pixel it shows nothing.
  if (!always && fill == paintedFill_ && position != top) return;
  // A themed bar glides towards a higher position on a timer, which a busy thread never
  // serves; a step back is drawn at once, so the bar is set one past and then back.
  if (position < top) SendMessageW(bar_, PBM_SETPOS, position + 1, 0);
  SendMessageW(bar_, PBM_SETPOS, position, 0);
  UpdateWindow(bar_);
  paintedFill_ = fill;
}

}  // namespace velkora
