#pragma once

#include <cstdint>
#include <string>

#include "engine/interfaces/target_changes.h"

namespace velkora {

// What a conversion run did, for the end message and the console converter's exit status.
struct ConversionReport {
  // kNotText: the file is not text (a picture, an archive, a program...), and nothing
  // was written. kTargetUnusable: the target cannot be used, or another run holds it.
  // kStopped: the window asked the run to stop between two shortcuts; the folders written
  // got their times, and no end message was shown.
  // kCancelled: the user cancelled the run when shown its changes, or when asked about a
  // record made from another bookmark file; nothing was changed. kOtherSource: a run that
  // removes refused a record made from another bookmark file, unasked (the console
  // without --replace-source); nothing was changed.
  enum class Outcome {
    kCompleted,
    kPathNotSet,
    kCannotRead,
    kNotText,
    kTargetUnusable,
    kStopped,
    kCancelled,
    kOtherSource
  };

  Outcome outcome = Outcome::kCompleted;
  std::int32_t bookmarkLines = 0;
  std::int32_t written = 0;
  std::int32_t malformedLines = 0;
  std::int32_t firstMalformedLine = 0;
  // Bookmarks not written on purpose: saved queries only their own browser can open.
  std::int32_t skippedQueries = 0;
  std::int32_t failedShortcuts = 0;
  // Bookmarks of another format in a file that holds two, as its source counted them
  // (SourceCount::otherFormatBookmarks): not read, since the file is read as its own
  // format.
  std::int32_t otherFormatBookmarks = 0;
  // The first shortcut that could not be written: its bookmark, its path and the reason.
  std::int32_t firstFailedLine = 0;
  std::u16string firstFailedTitle;
  std::u16string firstFailedUrl;
  // Shortcuts written without the icon their bookmark has: its file could not be written,
  // or its path cannot be said in the code page. Their URLs are what matters: these count
  // as written.
  std::int32_t iconlessShortcuts = 0;
  std::u16string firstFailedPath;
  std::u16string firstFailureReason;
  // Shortcuts written under a name cut shorter than their title, for the path's limits.
  std::int32_t shortenedNames = 0;
  // The writing pass met a different number of bookmarks than the counting pass: the
  // file changed between the passes.
  bool changedDuringRun = false;

  // What became of the target beside the shortcuts written.
  TargetChangeCounts changes;
  // The target's record was made from this other bookmark file (empty when it was not).
  std::u16string otherSource;
  // Why the target's record could not be read or written (empty when it could): a run
  // that cannot trust its record removes nothing.
  std::u16string recordProblem;

  // True when the run completed over an unchanged file and every bookmark, of either
  // format, became a shortcut or was skipped on purpose.
  bool AllWritten() const {
    return outcome == Outcome::kCompleted && malformedLines == 0 && failedShortcuts == 0 &&
           otherFormatBookmarks == 0 && !changedDuringRun && recordProblem.empty();
  }
};

}  // namespace velkora
