#include "engine/shortcut_writer.h"

#include <algorithm>

#include "engine/messages.h"
#include "engine/utf8.h"

namespace velkora {
namespace {

constexpr std::u16string_view kExtension = u".url";

std::u16string SuffixText(int suffix) {
  return suffix == 1 ? std::u16string() : u" (" + DecimalText(suffix) + u")";
}

// Appends name to path, cut to limit bytes of UTF-8 when limited. Most names fit, and are
// appended without a copy of their own.
void AppendFitting(std::u16string& path, std::u16string_view name, std::size_t limit,
                   bool limited) {
  if (!limited || Utf8Length(name) <= limit) {
    path += name;
  } else {
    path += CutToUtf8Bytes(name, limit);
  }
}

}  // namespace

ShortcutWriter::ShortcutWriter(ConversionState& state, const ConversionWindow& window,
                               const PlatformServices& platform, SequentialFiles& files)
    : state_(state),
      window_(window),
      platform_(platform),
      files_(files),
      written_(platform.paths.separator) {}

ShortcutOutcome ShortcutWriter::WriteShortcut() {
  const char16_t separator = platform_.paths.separator;
  const auto limit = static_cast<std::size_t>(platform_.paths.componentUtf8Limit);
  state_.targetPath = window_.TargetDirectory();
  // The length rule measures the folder names whole, before any cut for the file system.
  std::u16string measuredPath = state_.targetPath;
  const std::int32_t levels = std::min(state_.depth, FolderNames::kLevels);
  bool trustedKnownFolders = false;
  for (std::int32_t level = 1; level <= levels; ++level) {
    const std::u16string& name = state_.folderNames[level];
    measuredPath += separator;
    measuredPath += name;
    state_.targetPath += separator;
    AppendFitting(state_.targetPath, name, limit, limit > 0);
    // Bookmarks come folder by folder, so most levels were found or made for the bookmark
    // before; asking the file system again would cost a call per level and bookmark.
    if (IsKnownFolder(state_.targetPath)) {
      trustedKnownFolders = true;
      continue;
    }
    if (IoResult result = EnsureFolder(state_.targetPath); !result) {
      return {result, state_.targetPath};
    }
  }
  measuredPath += separator;
  const std::u16string title =
      FitTitleToPathLimit(measuredPath, state_.entryTitle, platform_.codePage);
  const std::u16string folderPath = state_.targetPath + separator;

  // Keys are worked out once: they serve both to pick the name and to record it.
  const ShortcutKey base = written_.Key(folderPath + title);
  int suffix = written_.FirstSuffixToTry(base);
  std::u16string path;
  ShortcutKey key;
  for (;; ++suffix) {
    const std::u16string suffixText = SuffixText(suffix);
    const std::size_t reserved = Utf8Length(suffixText) + kExtension.size();
    path.assign(folderPath);
    AppendFitting(path, title, limit > reserved ? limit - reserved : 0, limit > 0);
    path += suffixText;
    path += kExtension;
    key = written_.Key(path);
    if (!written_.Contains(key)) break;
  }
  state_.targetPath = path;
  if (IoResult result = WriteFile(path); !result) {
    if (trustedKnownFolders) {
      // A folder found earlier may have gone since: test and make the chain afresh, as
      // for a folder met for the first time, and try once more.
      knownFolders_.clear();
      return WriteShortcut();
    }
    return {result, path};
  }
  written_.Add(std::move(key), base, suffix);
  return {};
}

IoResult ShortcutWriter::EnsureFolder(const std::u16string& path) {
  if (!state_.fileSystem) state_.fileSystem = platform_.createFileSystem();
  IoResult result = state_.fileSystem->FolderExists(path) ? IoResult::Success()
                                                          : state_.fileSystem->CreateFolder(path);
  if (result) knownFolders_ = path;
  return result;
}

bool ShortcutWriter::IsKnownFolder(const std::u16string& path) const {
  return knownFolders_.starts_with(path) &&
         (knownFolders_.size() == path.size() ||
          knownFolders_[path.size()] == platform_.paths.separator);
}

IoResult ShortcutWriter::WriteFile(const std::u16string& path) {
  state_.outputFile = files_.FreeFile();
  IoResult result = files_.OpenForOutput(path, state_.outputFile);
  if (!result) return result;
  std::u16string text = u"[InternetShortcut]\r\nURL=";
  text.reserve(text.size() + state_.entryUrl.size() + 2);
  text += state_.entryUrl;
  text += u"\r\n";
  result = files_.PrintLine(state_.outputFile, text, Unencodable::kPercentUtf8);
  IoResult closed = files_.Close(state_.outputFile);
  if (result && !closed) result = closed;
  if (!result) {
    // A shortcut that did not reach the disk whole must not stay behind half written.
    if (IoResult removed = platform_.streams.Remove(path); !removed) {
      result.reason += u"（書きかけのファイルも削除できませんでした: " + removed.reason + u"）";
    }
  }
  return result;
}

}  // namespace velkora
