#pragma once

#include <chrono>
#include <string>

#include "engine/conversion_window.h"

namespace velkora {

// The window operations for the console: the path and the target come from the command
// line, progress is a bar on standard error, messages go to standard output.
class ConsoleWindow final : public ConversionWindow {
 public:
  ConsoleWindow(std::u16string bookmarkPath, std::u16string targetDirectory, bool showProgress);

  std::u16string PathText() const override { return bookmarkPath_; }
  std::u16string TargetDirectory() const override { return targetDirectory_; }
  void SetProgressMaximum(float maximum) override;
  float ProgressValue() const override { return value_; }
  void SetProgressValue(float value) override;
  void ShowMessage(std::u16string_view text) override;

  // False when a message could not be written to standard output.
  bool MessagesWritten() const { return messagesWritten_; }

 private:
  void DrawProgress(bool now);

  std::u16string bookmarkPath_;
  std::u16string targetDirectory_;
  bool showProgress_;
  bool progressShown_ = false;
  bool messagesWritten_ = true;
  float maximum_ = 100.0f;
  float value_ = 0.0f;
  std::chrono::steady_clock::time_point lastDrawn_;
};

}  // namespace velkora
