// Arbitrary bytes as a bookmark file, through a whole conversion run into a scratch
// directory in which links lead out of the target. Afterwards the run must have kept its
// promises: nothing made or changed outside the target directory, no link followed,
// every bookmark written, skipped as malformed or as a saved query, or failed, and every
// file a whole two-line Internet Shortcut (four lines with an icon, whose file is a
// well-formed ICO). For a Pomerek file in the code page, the
// counts and every URL are also checked against a model of its lines.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run/conversion.h"
#include "engine/run/messages.h"
#include "engine/sources/browser_source.h"
#include "engine/write/icon_image.h"
#include "engine/write/url_text.h"
#include "fuzz/fuzz_check.h"
#include "platform/native_platform.h"
#include "tests/test_support.h"

namespace velkora::fuzz {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kShortcutStart = "[InternetShortcut]\r\nURL=";
constexpr std::string_view kLineEnd = "\r\n";

// What a run must report for a bookmark file, worked out from its bytes alone. Each
// marker begins with a byte below 0x40, which is never the second byte of a double-byte
// character, so a marker found among the bytes is the same marker in the decoded text.
struct ExpectedRun {
  std::int32_t entryCount = 0;
  std::int32_t bookmarkLines = 0;
  std::int32_t malformedLines = 0;
  std::int32_t firstMalformedLine = 0;
  // The URL bytes each well-formed bookmark line's shortcut must hold.
  std::multiset<std::string> urls;
  // The most bookmarks of the other format the file can hold.
  std::int32_t mostOtherFormat = 0;
};

// The lines of bytes, ended by CR LF, LF or a lone CR; a last line without an end counts.
std::vector<std::string_view> SplitLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(bytes.substr(start));
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 1;
    if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
  }
  return lines;
}

// True when marker occurs in line.
bool Has(std::string_view line, std::string_view marker) {
  return line.find(marker) != std::string_view::npos;
}

std::int32_t Count(std::string_view line, std::string_view marker) {
  std::int32_t count = 0;
  for (std::size_t at = 0; (at = line.find(marker, at)) != std::string_view::npos; ++at) ++count;
  return count;
}

// How the file is read, as far as can be told from its bytes without decoding them.
enum class Reading {
  kLines,     // code page 932 for certain, a line with "<LI>" before any with "<dt>": the
              // model below applies
  kNetscape,  // code page 932 for certain, a "<dt>" tag before any "<LI>" line
  kNothing,   // code page 932 for certain, neither: no bookmark at all
  kUnknown,   // a byte order mark or a charset declaration: another encoding may apply
};

bool HasAnyCase(std::string_view bytes, std::string_view lowerMarker) {
  std::string lower(bytes);
  for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return lower.find(lowerMarker) != std::string::npos;
}

Reading HowRead(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF") || bytes.starts_with("\xFF\xFE") ||
      bytes.starts_with("\xFE\xFF") || HasAnyCase(bytes, "charset")) {
    return Reading::kUnknown;
  }
  // The first marker decides.
  for (const std::string_view line : SplitLines(bytes)) {
    if (Has(line, "<LI>")) return Reading::kLines;
    if (HasAnyCase(line, "<dt>")) return Reading::kNetscape;
  }
  return Reading::kNothing;
}

// The most bookmarks of the other format a file read as reading can hold: an anchor's
// "<a" on a line without "<LI>" for a Pomerek file, an item line for an export.
std::int32_t MostOtherFormatBookmarks(std::string_view bytes, Reading reading) {
  std::int32_t most = 0;
  for (const std::string_view line : SplitLines(bytes)) {
    const bool item = Has(line, "<LI>");
    if (reading == Reading::kLines && !item) {
      std::string lower(line);
      for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
      for (std::size_t at = lower.find("<a"); at != std::string::npos;
           at = lower.find("<a", at + 1)) {
        ++most;
      }
    }
    if (reading == Reading::kNetscape && item && !Has(line, "<UL>")) most += Count(line, "</A>");
  }
  return most;
}

// The expected counts and URLs of a Pomerek file, line by line as the run examines them.
ExpectedRun Expect(std::string_view bytes, const AnsiCodePage& codePage) {
  constexpr auto npos = std::string_view::npos;
  ExpectedRun expected;
  std::int32_t number = 0;
  for (const std::string_view line : SplitLines(bytes)) {
    ++number;
    const bool list = Has(line, "<UL>");
    const bool item = Has(line, "<LI>");
    if (!item || list) continue;
    // Each anchor after the line's first is reported as unread.
    const std::int32_t further = std::max(Count(line, "</A>") - 1, 0);
    expected.entryCount += 1 + further;
    expected.bookmarkLines += further;
    if (further > 0 && expected.malformedLines == 0) expected.firstMalformedLine = number;
    expected.malformedLines += further;
    if (Has(line, "</UL>")) {
      // The line closes its folder; an anchor on it is reported as unread.
      if (Has(line, "</A>")) {
        ++expected.bookmarkLines;
        if (expected.malformedLines++ == 0) expected.firstMalformedLine = number;
      }
      continue;
    }
    ++expected.bookmarkLines;
    const std::size_t urlStart = line.find("=\"");
    const std::size_t urlEnd = line.find("\">");
    const std::size_t titleEnd = line.find("</A>");
    if (urlStart == npos || urlEnd == npos || urlEnd < urlStart + 2 || titleEnd == npos ||
        titleEnd < urlEnd + 2) {
      if (expected.malformedLines++ == 0) expected.firstMalformedLine = number;
      continue;
    }
    const std::size_t from = urlStart + 2;
    const std::string_view url = line.substr(from, line.find('"', from) - from);
    // A URL of nothing visible makes no shortcut: it is reported as unreadable.
    if (IsBlankUrl(codePage.FromAnsi(url))) {
      if (expected.malformedLines++ == 0) expected.firstMalformedLine = number;
      continue;
    }
    std::u16string encoded;
    expected.urls.insert(codePage.ToAnsi(UrlForShortcut(codePage.FromAnsi(url), encoded)));
  }
  return expected;
}

// The bookmark file lives in "in", the target is "outer/inner/target": a name that
// climbed out of the target would land in a folder the run must leave as it was. In the
// target, links lead to "bait" beside them: a folder link "L", links named "S.url" (to a
// file) and "D.url" (to nothing) and a hard link "H.url".
struct Scratch {
  testing::TempDir root;
  fs::path input = root.path() / "in";
  fs::path bookmarks = input / "bookmarks.html";
  fs::path outer = root.path() / "outer";
  fs::path target = outer / "inner" / "target";
  fs::path bait = root.path() / "bait";
};

constexpr std::string_view kBaitBytes = "bait";

// A fresh target with the links planted, and the bait they lead to.
void PrepareTarget(const Scratch& scratch) {
  fs::remove_all(scratch.outer);
  fs::remove_all(scratch.bait);
  fs::create_directories(scratch.target);
  fs::create_directories(scratch.bait / "dir");
  testing::WriteBytes(scratch.bait / "file", kBaitBytes);
  fs::create_directory_symlink(scratch.bait / "dir", scratch.target / "L");
  fs::create_symlink(scratch.bait / "file", scratch.target / "S.url");
  fs::create_symlink(scratch.bait / "none", scratch.target / "D.url");
  fs::create_hard_link(scratch.bait / "file", scratch.target / "H.url");
}

// Puts a link to the bait in the place of every folder the run made in the target, as
// someone might between two runs; returns how many shortcuts were in them.
std::int32_t SwapFoldersForLinks(const Scratch& scratch) {
  std::vector<fs::path> folders;
  for (const fs::directory_entry& entry : fs::directory_iterator(scratch.target)) {
    if (entry.is_directory() && !entry.is_symlink()) folders.push_back(entry.path());
  }
  std::int32_t shortcuts = 0;
  for (const fs::path& folder : folders) {
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
      // Icon files are no shortcuts.
      if (entry.is_regular_file() && entry.path().extension() == ".url") ++shortcuts;
    }
    fs::remove_all(folder);
    fs::create_directory_symlink(scratch.bait / "dir", folder);
  }
  return shortcuts;
}

// True when entry is one of the planted links, left as it was.
bool IsPlantedLink(const fs::directory_entry& entry, const fs::path& target) {
  const fs::path relative = entry.path().lexically_relative(target);
  if (entry.is_symlink()) return relative == "L" || relative == "S.url" || relative == "D.url";
  return relative == "H.url" && fs::hard_link_count(entry.path()) == 2;
}

// Names of the entries of directory.
std::set<std::string> Names(const fs::path& directory) {
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(directory)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// Checks every entry below target and, when the file is modelled, takes the URL of each
// shortcut from urls; returns the number of shortcut files.
std::int32_t CheckTargetTree(const fs::path& target, bool modelled,
                             std::multiset<std::string>& urls) {
  std::int32_t shortcuts = 0;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(target)) {
    if (IsPlantedLink(entry, target)) continue;
    const fs::file_status status = entry.symlink_status();
    if (fs::is_directory(status)) continue;
    Require(fs::is_regular_file(status), "only folders and files are made");
    // The record is the record fuzzer's.
    if (entry.path() == target / ".velkora" / "record") continue;
    const std::string bytes = testing::ReadBytes(entry.path());
    if (entry.path().parent_path() == target / ".velkora" / "icons" &&
        entry.path().extension() == ".ico") {
      Require(entry.path().stem().string().size() == 16 && IsWellFormedIco(bytes),
              "an icon file is a well-formed ICO named by 16 hexadecimal digits");
      continue;
    }
    Require(entry.path().filename().string().ends_with(".url"), "every file is a .url file");
    Require(bytes.starts_with(kShortcutStart) && bytes.ends_with(kLineEnd) &&
                bytes.size() >= kShortcutStart.size() + kLineEnd.size(),
            "a shortcut is \"[InternetShortcut]\", CR LF, \"URL=\", the URL, CR LF");
    std::string url =
        bytes.substr(kShortcutStart.size(), bytes.size() - kShortcutStart.size() - kLineEnd.size());
    // A shortcut with an icon names its file in two more lines.
    const std::string iconLine = "\r\nIconFile=" + (target / ".velkora" / "icons").string() + "/";
    if (const std::size_t icon = url.find(iconLine); icon != std::string::npos) {
      const std::string name = url.substr(icon + iconLine.size());
      Require(name.size() == 16 + 4 + 13 && name.ends_with(".ico\r\nIconIndex=0") &&
                  fs::is_regular_file(target / ".velkora" / "icons" / name.substr(0, 20)),
              "a shortcut's icon lines name an icon file of the target");
      url.resize(icon);
    }
    Require(std::ranges::none_of(url, [](char c) { return c >= 0 && (c < 0x20 || c == 0x7F); }),
            "a shortcut has exactly two lines, or four with its icon, and no control character");
    if (modelled) {
      const auto found = urls.find(url);
      Require(found != urls.end(), "a shortcut holds the URL of a well-formed bookmark line");
      urls.erase(found);
    }
    ++shortcuts;
  }
  return shortcuts;
}

// Checks that the run made nothing beside the target, changed nothing the links lead to
// and left the bookmark file alone.
void CheckNothingOutsideTarget(const Scratch& scratch, std::string_view bytes) {
  Require(Names(scratch.root.path()) == std::set<std::string>{"bait", "in", "outer"} &&
              Names(scratch.bait) == std::set<std::string>{"dir", "file"} &&
              fs::is_empty(scratch.bait / "dir") &&
              testing::ReadBytes(scratch.bait / "file") == kBaitBytes &&
              Names(scratch.input) == std::set<std::string>{"bookmarks.html"} &&
              Names(scratch.outer) == std::set<std::string>{"inner"} &&
              Names(scratch.outer / "inner") == std::set<std::string>{"target"},
          "nothing is made outside the target directory");
  Require(testing::ReadBytes(scratch.bookmarks) == bytes, "the bookmark file stays as it was");
}

// Checks the report, the progress and the end message; against the expected run when the
// file is modelled.
void CheckReport(const ConversionReport& report, Reading reading, const ExpectedRun& expected,
                 const testing::RecordingWindow& window) {
  Require(report.outcome == ConversionReport::Outcome::kCompleted, "a readable file is converted");
  Require(!report.changedDuringRun, "a file left alone is not taken as changed");
  Require(report.written + report.malformedLines + report.skippedQueries + report.failedShortcuts ==
              report.bookmarkLines,
          "every bookmark is written, skipped as malformed or as a query, or failed");
  if (reading == Reading::kLines) {
    Require(report.bookmarkLines == expected.bookmarkLines, "every bookmark line is examined");
    Require(report.malformedLines == expected.malformedLines &&
                report.firstMalformedLine == expected.firstMalformedLine,
            "malformed lines are those without a URL and a title in order");
    Require(report.skippedQueries == 0, "the line grammar skips no query");
    Require(window.maximum == expected.entryCount,
            "the progress maximum counts the bookmark lines");
  } else if (reading == Reading::kUnknown) {
    // Either grammar: a Pomerek line with "<LI>" and "</UL>" is counted, not converted.
    Require(window.maximum >= report.bookmarkLines,
            "the counting pass counts every bookmark the writing pass meets");
  } else {
    Require(window.maximum == report.bookmarkLines,
            "the counting pass counts what the writing pass meets");
  }
  if (reading == Reading::kNothing) {
    Require(report.bookmarkLines == 0 && report.otherFormatBookmarks == 0,
            "a file without <LI> or <DT> has no bookmark");
  }
  if (reading != Reading::kUnknown) {
    Require(report.otherFormatBookmarks <= expected.mostOtherFormat,
            "only bookmarks of the other format are counted as such");
  }
  Require(window.value == report.bookmarkLines, "the progress counts the bookmarks");
  Require(window.messages.size() == 1, "a run ends with one message");
  const std::u16string& message = window.messages.front();
  // The first line says how the run ended; a warning goes with every end but a complete one.
  const bool noBookmarks =
      report.bookmarkLines == 0 && report.otherFormatBookmarks == 0 && !report.changedDuringRun;
  const std::u16string headline(noBookmarks           ? kNoBookmarksMessage
                                : report.AllWritten() ? kCompletedMessage
                                : report.written > 0  ? kSomeNotWrittenMessage
                                                      : kNoneWrittenMessage);
  Require(window.icons.size() == 1 &&
              (window.icons.front() == MessageIcon::kNone) == (headline == kCompletedMessage),
          "the end message warns unless the run completed");
  if (noBookmarks) {
    Require(message == headline, "a file without bookmarks says so");
  } else if (report.AllWritten() && report.skippedQueries == 0 && report.shortenedNames == 0) {
    Require(message == headline, "a clean run says only that it completed");
  } else {
    Require(message.starts_with(headline + u"\n\n作成したショートカット: " +
                                DecimalText(report.written) + u" 件"),
            "anything else follows the first line and the count of shortcuts made");
  }
  if (report.failedShortcuts > 0) {
    Require(!report.firstFailedPath.empty() && !report.firstFailureReason.empty() &&
                message.find(report.firstFailedPath) != std::u16string::npos,
            "a failed shortcut is reported with its path and reason");
  }
  if (report.otherFormatBookmarks > 0) {
    Require(!report.AllWritten() && message.find(OtherFormatMessage(report.otherFormatBookmarks)) !=
                                        std::u16string::npos,
            "bookmarks of the other format are reported");
  }
}

}  // namespace
}  // namespace velkora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velkora;
  namespace fs = std::filesystem;
  static fuzz::Scratch scratch;
  static NativePlatform platform;

  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  fuzz::PrepareTarget(scratch);
  fs::create_directories(scratch.input);
  testing::WriteBytes(scratch.bookmarks, bytes);

  ConversionState state;
  testing::RecordingWindow window;
  window.path = scratch.bookmarks.u16string();
  window.target = scratch.target.u16string();
  const ConversionReport report =
      BookmarkConverter(state, window, platform.Services()).ConvertBookmarks();

  std::multiset<std::string> none;
  if (report.outcome == ConversionReport::Outcome::kNotText) {
    fuzz::Require(
        fuzz::CheckTargetTree(scratch.target, false, none) == 0 && window.messages.size() == 1,
        "a file that is not text is refused with one message, and nothing written");
    return 0;
  }
  // A file that starts as a browser's own store goes to its source, which the chromium and
  // places fuzzers try; here it is only held to one message and nothing outside the target.
  if (SourceKindOf(bytes) != SourceKind::kText) {
    fuzz::CheckNothingOutsideTarget(scratch, bytes);
    fuzz::Require(window.messages.size() == 1, "a browser's store ends with one message");
    return 0;
  }
  const fuzz::Reading reading = fuzz::HowRead(bytes);
  const bool modelled = reading == fuzz::Reading::kLines;
  fuzz::ExpectedRun expected;
  if (modelled) expected = fuzz::Expect(bytes, platform.Services().codePage);
  expected.mostOtherFormat = fuzz::MostOtherFormatBookmarks(bytes, reading);
  fuzz::CheckNothingOutsideTarget(scratch, bytes);
  fuzz::CheckReport(report, reading, expected, window);
  const std::int32_t shortcuts = fuzz::CheckTargetTree(scratch.target, modelled, expected.urls);
  fuzz::Require(shortcuts == report.written, "every written shortcut is a file of its own");
  if (modelled && report.failedShortcuts == 0) {
    fuzz::Require(expected.urls.empty(), "every well-formed bookmark line became a shortcut");
  }

  // The same file again, into the target whose folders are now links: what would go
  // through them is refused, and the rest written as before.
  if (const std::int32_t swapped = fuzz::SwapFoldersForLinks(scratch); swapped > 0) {
    ConversionState againState;
    testing::RecordingWindow againWindow;
    againWindow.path = window.path;
    againWindow.target = window.target;
    const ConversionReport again =
        BookmarkConverter(againState, againWindow, platform.Services()).ConvertBookmarks();
    fuzz::CheckNothingOutsideTarget(scratch, bytes);
    fuzz::Require(again.written + again.failedShortcuts == report.written + report.failedShortcuts,
                  "a second run over swapped folders writes or refuses every shortcut");
    fuzz::Require(again.written == report.written - swapped,
                  "every shortcut in a swapped folder is refused, the rest written again");
  }
  return 0;
}
