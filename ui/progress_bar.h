#pragma once

#include <windows.h>

#include <cstdint>

namespace velkora {

// ProgressBar1: a progress bar whose maximum and value are single-precision numbers, as
// the conversion sets them. It repaints at once whenever its filled part grows or shrinks
// visibly, even while the thread is busy and no message is being dispatched.
class ProgressBar {
 public:
  // Creates the bar as child id of parent, with maximum 100 and value 0. False on failure.
  bool Create(HWND parent, int id);
  HWND Handle() const { return bar_; }

  float Value() const { return value_; }
  void SetMaximum(float maximum);
  void SetValue(float value);

 private:
  void Show(bool always);

  HWND bar_ = nullptr;
  float maximum_ = 100.0f;
  float value_ = 0.0f;
  // The width, in pixels, of the filled part when the bar was last painted.
  int paintedFill_ = -1;
};

}  // namespace velkora
