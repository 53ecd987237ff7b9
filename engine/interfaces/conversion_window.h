#pragma once

#include <string>
#include <string_view>

namespace velkora {

// The icon a message is shown with.
enum class MessageIcon { kNone, kWarning };

// The five operations through which a conversion run reaches its window.
class ConversionWindow {
 public:
  virtual ~ConversionWindow() = default;
  // Text of the path box: the bookmark file to convert.
  virtual std::u16string PathText() const = 0;
  // Current path of the directory list: where the shortcut tree is built.
  virtual std::u16string TargetDirectory() const = 0;
  virtual void SetProgressMaximum(float maximum) = 0;
  virtual float ProgressValue() const = 0;
  virtual void SetProgressValue(float value) = 0;
  // Shows text with an OK button only and icon, and returns when it is closed.
  virtual void ShowMessage(std::u16string_view text, MessageIcon icon) = 0;
};

}  // namespace velkora
