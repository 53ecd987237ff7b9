#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>

#include "engine/interfaces/conversion_window.h"
#include "engine/run/conversion_observer.h"

namespace velkora {

// The window operations for the console: the path, the target and the options come from
// the command line, progress is a bar on standard error, messages go to standard output.
// As observer it names each failure and each change beside a shortcut written on standard
// error as it happens (a dry run's changes, the run's whole output, on standard output),
// and keeps the text an interrupt shows saying how far the run got. The first interrupt
// during a run is its stop.
class ConsoleWindow final : public ConversionWindow, public ConversionObserver {
 public:
  ConsoleWindow(std::u16string bookmarkPath, std::u16string targetDirectory, RunOptions options,
                bool showProgress);

  std::u16string PathText() const override { return bookmarkPath_; }
  // The command line's file made absolute by its names ("-" for standard input), the same
  // from any working folder; the path as given where it cannot be made absolute.
  std::u16string RecordedSourcePath() const override { return recordedSourcePath_; }
  // Reads another file than the command line named (the copy of standard input); the
  // record still names the command line's.
  void SetBookmarkPath(std::u16string path) { bookmarkPath_ = std::move(path); }
  std::u16string TargetDirectory() const override { return targetDirectory_; }
  void SetProgressMaximum(std::int32_t maximum) override;
  void SetProgressValue(std::int32_t value) override;
  bool StopRequested() const override { return stopRequested_; }
  RunOptions Options() const override { return options_; }
  // The console cannot ask: it names the question and the option that answers it, and
  // says no.
  bool Ask(std::u16string_view text) override;
  void ShowMessage(std::u16string_view text, MessageIcon icon) override;

  void ShortcutWritten(std::u16string_view path) override;
  void ShortcutShortened(const BookmarkRecord& bookmark, std::u16string_view name) override;
  void ShortcutFailed(const BookmarkRecord& bookmark, std::u16string_view path,
                      std::u16string_view reason) override;
  void LineUnreadable(const BookmarkRecord& bookmark, std::u16string_view reason) override;
  void TimesNotSet(std::u16string_view path, std::u16string_view reason) override;
  void IconFailed(std::u16string_view path, std::u16string_view reason) override;
  void IconNotTaken(const BookmarkRecord& bookmark, std::u16string_view reason) override;
  void TargetChanged(const TargetChange& change) override;

  // False when a message could not be written to standard output.
  bool MessagesWritten() const { return messagesWritten_; }

 private:
  void DrawProgress(bool now);
  // Clears the progress bar's line, for a line written below it.
  void ClearProgress(std::u16string& line);
  // Writes one line to standard error, clearing the progress bar's line first.
  void ReportLine(std::u16string_view text);
  void UpdateInterruptText();

  std::u16string bookmarkPath_;
  std::u16string recordedSourcePath_;
  std::u16string targetDirectory_;
  RunOptions options_;
  bool showProgress_;
  bool progressShown_ = false;
  bool messagesWritten_ = true;
  bool stopRequested_ = false;
  std::int32_t maximum_ = 100;
  std::int32_t value_ = 0;
  bool maximumKnown_ = false;
  std::chrono::steady_clock::time_point lastDrawn_;
};

}  // namespace velkora
