#include "engine/conversion.h"

#include <limits>

#include "engine/file_name_rules.h"
#include "engine/messages.h"
#include "engine/refusal_reasons.h"
#include "engine/shortcut_writer.h"
#include "engine/text.h"

namespace velkora {
namespace {

constexpr std::u16string_view kList = u"<UL>";
constexpr std::u16string_view kListEnd = u"</UL>";
constexpr std::u16string_view kItem = u"<LI>";
constexpr std::u16string_view kUrlStart = u"=\"";
constexpr std::u16string_view kUrlEnd = u"\">";
constexpr std::u16string_view kQuote = u"\"";
constexpr std::u16string_view kTitleEnd = u"</A>";

void Increment(std::int32_t& value) {
  if (value < std::numeric_limits<std::int32_t>::max()) ++value;
}

void Decrement(std::int32_t& value) {
  if (value > std::numeric_limits<std::int32_t>::min()) --value;
}

// Reads every line of the open file, handing each to examine with its 1-based number.
template <typename Examine>
IoResult ForEachLine(SequentialFiles& files, std::int32_t fileNumber, std::u16string& line,
                     Examine examine) {
  std::int32_t lineNumber = 0;
  for (;;) {
    bool gotLine = false;
    IoResult result = files.ReadLine(fileNumber, line, gotLine);
    if (!result || !gotLine) return result;
    Increment(lineNumber);
    examine(lineNumber);
  }
}

}  // namespace

BookmarkConverter::BookmarkConverter(ConversionState& state, ConversionWindow& window,
                                     const PlatformServices& platform, ConversionObserver* observer)
    : state_(state),
      window_(window),
      platform_(platform),
      observer_(observer),
      files_(platform.streams, platform.codePage) {}

ConversionReport BookmarkConverter::ConvertBookmarks() {
  report_ = {};
  const std::u16string path = window_.PathText();
  if (path.empty()) return Fail(ConversionReport::Outcome::kPathNotSet, kPathNotSetMessage);
  state_.depth = 0;
  if (IoResult result = CountEntries(); !result) {
    return Fail(ConversionReport::Outcome::kCannotRead, CannotReadMessage(path, result.reason));
  }
  window_.SetProgressMaximum(static_cast<float>(state_.entryCount));
  window_.SetProgressValue(0.0f);
  ShortcutWriter writer(state_, window_, platform_);
  if (IoResult result = ConvertEntries(writer); !result) {
    return Fail(ConversionReport::Outcome::kCannotRead,
                CannotReadMessage(window_.PathText(), result.reason));
  }
  window_.ShowMessage(CompletionMessage(report_));
  return report_;
}

ConversionReport BookmarkConverter::Fail(ConversionReport::Outcome outcome,
                                         std::u16string_view message) {
  report_.outcome = outcome;
  window_.ShowMessage(message);
  return report_;
}

IoResult BookmarkConverter::CountEntries() {
  state_.inputFile = files_.FreeFile();
  IoResult result = files_.OpenForInput(window_.PathText(), state_.inputFile);
  if (!result) return result;
  state_.entryCount = 0;
  result = ForEachLine(files_, state_.inputFile, state_.currentLine, [this](std::int32_t) {
    if (Find(state_.currentLine, kItem) != 0 && Find(state_.currentLine, kList) == 0) {
      Increment(state_.entryCount);
    }
  });
  files_.Close(state_.inputFile);
  return result;
}

IoResult BookmarkConverter::ConvertEntries(ShortcutWriter& writer) {
  state_.inputFile = files_.FreeFile();
  IoResult result = files_.OpenForInput(window_.PathText(), state_.inputFile);
  if (!result) return result;
  result =
      ForEachLine(files_, state_.inputFile, state_.currentLine,
                  [this, &writer](std::int32_t lineNumber) { ExamineLine(lineNumber, writer); });
  files_.Close(state_.inputFile);
  return result;
}

void BookmarkConverter::ExamineLine(std::int32_t lineNumber, ShortcutWriter& writer) {
  const std::u16string& line = state_.currentLine;
  if (const std::int32_t list = Find(line, kList); list != 0) {
    state_.endPos = list;
    OpenFolder();
  } else if (Find(line, kListEnd) != 0) {
    Decrement(state_.depth);
  } else if (Find(line, kItem) != 0) {
    ConvertBookmarkLine(lineNumber, writer);
  }
}

// A line with "<LI>" and "<UL>" opens a folder named by the text between them; "<UL>"
// alone only encloses a list and leaves the nesting as it is.
void BookmarkConverter::OpenFolder() {
  const std::int32_t item = Find(state_.currentLine, kItem);
  if (item == 0) return;
  state_.startPos = item + static_cast<std::int32_t>(kItem.size());
  Increment(state_.depth);
  if (!FolderNames::HasSlot(state_.depth)) return;
  std::u16string name = Mid(state_.currentLine, state_.startPos, state_.endPos - state_.startPos);
  SafeFileName(name);
  state_.folderNames[state_.depth] = MakeWindowsSafe(std::move(name), NameKind::kFolder);
}

// A bookmark line holds the URL between '="' and the next '"', and the title between the
// first '">' and the first "</A>" after it.
void BookmarkConverter::ConvertBookmarkLine(std::int32_t lineNumber, ShortcutWriter& writer) {
  window_.SetProgressValue(window_.ProgressValue() + 1.0f);
  Increment(report_.bookmarkLines);
  const std::u16string& line = state_.currentLine;
  const std::int32_t urlStart = Find(line, kUrlStart);
  const std::int32_t urlEnd = Find(line, kUrlEnd);
  const std::int32_t titleEnd = Find(line, kTitleEnd);
  if (urlStart == 0 || urlEnd < urlStart + 2 || titleEnd < urlEnd + 2) {
    if (report_.malformedLines++ == 0) report_.firstMalformedLine = lineNumber;
    if (observer_) observer_->LineUnreadable(lineNumber, kMalformedBookmarkLine);
    return;
  }
  state_.startPos = urlStart + 2;
  state_.endPos = urlEnd - 2;
  state_.entryUrl =
      Mid(line, state_.startPos, FindFrom(line, state_.startPos, kQuote) - state_.startPos);
  state_.startPos = state_.endPos + 4;
  state_.endPos = titleEnd;
  std::u16string title = Mid(line, state_.startPos, state_.endPos - state_.startPos);
  SafeFileName(title);
  state_.entryTitle = MakeWindowsSafe(std::move(title), NameKind::kTitle);

  const ShortcutOutcome outcome = writer.WriteShortcut();
  if (outcome.result) {
    Increment(report_.written);
    if (observer_) observer_->ShortcutWritten(state_.targetPath);
    return;
  }
  if (report_.failedShortcuts++ == 0) {
    report_.firstFailedPath = outcome.failedPath;
    report_.firstFailureReason = outcome.result.reason;
  }
  if (observer_) observer_->ShortcutFailed(outcome.failedPath, outcome.result.reason);
}

}  // namespace velkora
