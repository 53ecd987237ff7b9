#include "engine/icon_files.h"

#include "engine/icon_image.h"
#include "engine/refusal_reasons.h"
#include "engine/windows_path_limit.h"

namespace velkora {
namespace {

// Icon files are named by 16 hexadecimal digits and ".ico".
constexpr std::u16string_view kIconExtension = u".ico";
constexpr std::size_t kIconNameLength = 16 + kIconExtension.size();
// Bounds on what a run remembers, whatever the file holds: past them an icon is decoded
// and hashed again when it comes again, and its file looked for before it is written.
constexpr std::size_t kRememberedValueUnits = 1024 * 1024;
constexpr std::size_t kRememberedIcons = 64 * 1024;

void AppendHex(std::u16string& text, std::uint64_t value) {
  constexpr std::u16string_view kDigits = u"0123456789abcdef";
  for (int shift = 60; shift >= 0; shift -= 4) text += kDigits[(value >> shift) & 0xF];
}

}  // namespace

IconFiles::IconFiles(FileStreams& streams, const Sha256& sha256, const AnsiCodePage& codePage,
                     char16_t separator)
    : streams_(streams), sha256_(sha256), codePage_(codePage), separator_(separator) {}

IconFiles::~IconFiles() = default;

PlacedIcon IconFiles::Place(std::u16string_view icon, FileSystemObject& fileSystem,
                            const FolderHandle& targetFolder, std::u16string_view targetPath) {
  if (icon.empty()) return {};
  ico_.clear();
  KnownValue value;
  if (const auto known = values_.find(icon); known != values_.end()) {
    value = known->second;
  } else {
    value = Learn(icon);
    if (valueUnits_ + icon.size() <= kRememberedValueUnits) {
      values_.emplace(icon, value);
      valueUnits_ += icon.size();
    }
  }
  if (!value.usable) return {};
  if (!folderTried_) {
    folderResult_ = OpenFolder(fileSystem, targetFolder, targetPath);
    folderTried_ = true;
  }
  path_.assign(folderPath_);
  AppendHex(path_, value.name);
  path_ += kIconExtension;
  if (const auto done = written_.find(value.name); done != written_.end()) {
    if (done->second == Written::kDone) return {PlacedIcon::Kind::kPlaced, path_, {}, false};
    return {PlacedIcon::Kind::kLeftOut, path_, reason_, false};
  }
  // The icon's first shortcut: its file is written now.
  if (ico_.empty()) Learn(icon);
  IoResult result = folderResult_;
  if (result) result = WriteIcon(fileSystem);
  if (written_.size() < kRememberedIcons) {
    written_.emplace(value.name, result ? Written::kDone : Written::kFailed);
  }
  if (result) return {PlacedIcon::Kind::kPlaced, path_, {}, false};
  reason_ = std::move(result.reason);
  return {PlacedIcon::Kind::kLeftOut, path_, reason_, true};
}

IconFiles::KnownValue IconFiles::Learn(std::u16string_view icon) {
  if (!IconFileBytes(icon, ico_)) return {};
  Sha256::Digest digest{};
  // Without its digest an icon has no name: it is left out, as a malformed one is.
  if (!sha256_.Hash(ico_, digest)) {
    ico_.clear();
    return {};
  }
  std::uint64_t name = 0;
  for (std::size_t i = 0; i < 8; ++i) name = name << 8 | digest[i];
  return {true, name};
}

IoResult IconFiles::OpenFolder(FileSystemObject& fileSystem, const FolderHandle& targetFolder,
                               std::u16string_view targetPath) {
  folderPath_.assign(targetPath);
  if (folderPath_.empty() || folderPath_.back() != separator_) folderPath_ += separator_;
  folderPath_ += kIconFolderName;
  folderPath_ += separator_;
  // The shortcut names the file by this path, which Windows must open and the code page
  // must spell; else no file is written for nothing.
  if (WindowsPathLength(folderPath_, separator_) + kIconNameLength > kWindowsPathLimit) {
    return IoResult::Failure(std::u16string(kPathTooLongForWindows));
  }
  if (codePage_.FromAnsi(codePage_.ToAnsi(folderPath_)) != folderPath_) {
    return IoResult::Failure(std::u16string(kIconPathNotInCodePage));
  }
  if (IoResult result = fileSystem.OpenOrMakeFolder(targetFolder, kIconFolderName, folder_);
      !result) {
    return result;
  }
  // A folder left visible still serves its shortcuts: whether it could be hidden changes
  // nothing else.
  fileSystem.HideFolder(*folder_);
  return IoResult::Success();
}

IoResult IconFiles::WriteIcon(FileSystemObject& fileSystem) {
  const std::u16string_view name = std::u16string_view(path_).substr(folderPath_.size());
  // The name is the bytes': a file there of their size is this icon, from an earlier run.
  if (fileSystem.HoldsFile(*folder_, name, ico_.size())) return IoResult::Success();
  std::unique_ptr<OutputStream> stream;
  IoResult result = streams_.OpenOutputIn(*folder_, name, stream);
  if (!result) return result;
  result = stream->Write(ico_);
  if (!result) return result;  // the stream removes its temporary file
  return stream->Close();
}

}  // namespace velkora
