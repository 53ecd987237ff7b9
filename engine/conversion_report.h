#pragma once

#include <cstdint>
#include <string>

namespace velkora {

// What a conversion run did, for the end message and the console converter's exit status.
struct ConversionReport {
  enum class Outcome { kCompleted, kPathNotSet, kCannotRead };

  Outcome outcome = Outcome::kCompleted;
  std::int32_t bookmarkLines = 0;
  std::int32_t written = 0;
  std::int32_t malformedLines = 0;
  std::int32_t firstMalformedLine = 0;
  std::int32_t failedShortcuts = 0;
  std::u16string firstFailedPath;
  std::u16string firstFailureReason;

  // True when the run completed and every bookmark line became a shortcut.
  bool AllWritten() const {
    return outcome == Outcome::kCompleted && malformedLines == 0 && failedShortcuts == 0;
  }
};

}  // namespace velkora
