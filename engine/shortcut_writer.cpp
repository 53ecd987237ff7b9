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
  for (std::int32_t level = 1; level <= levels; ++level) {
    const std::u16string& name = state_.folderNames[level];
    measuredPath += separator;
    measuredPath += name;
    state_.targetPath += separator;
    state_.targetPath += limit > 0 ? CutToUtf8Bytes(name, limit) : name;
    if (IoResult result = EnsureFolder(state_.targetPath); !result) {
      return {result, state_.targetPath};
    }
  }
  measuredPath += separator;
  const std::u16string title =
      FitTitleToPathLimit(measuredPath, state_.entryTitle, platform_.codePage);
  const std::u16string folderPath = state_.targetPath + separator;

  int suffix = written_.FirstSuffixToTry(folderPath + title);
  std::u16string path;
  for (;; ++suffix) {
    const std::u16string suffixText = SuffixText(suffix);
    const std::size_t reserved = Utf8Length(suffixText) + kExtension.size();
    const std::u16string name =
        limit > 0 ? CutToUtf8Bytes(title, limit > reserved ? limit - reserved : 0) : title;
    path = folderPath + name + suffixText + std::u16string(kExtension);
    if (!written_.Contains(path)) break;
  }
  state_.targetPath = path;
  if (IoResult result = WriteFile(path); !result) return {result, path};
  written_.Add(path, folderPath + title, suffix);
  return {};
}

IoResult ShortcutWriter::EnsureFolder(const std::u16string& path) {
  if (!state_.fileSystem) state_.fileSystem = platform_.createFileSystem();
  if (state_.fileSystem->FolderExists(path)) return IoResult::Success();
  return state_.fileSystem->CreateFolder(path);
}

IoResult ShortcutWriter::WriteFile(const std::u16string& path) {
  state_.outputFile = files_.FreeFile();
  IoResult result = files_.OpenForOutput(path, state_.outputFile);
  if (!result) return result;
  result = files_.PrintLine(state_.outputFile,
                            u"[InternetShortcut]\r\nURL=" + state_.entryUrl + u"\r\n");
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
