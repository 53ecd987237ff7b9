#include "engine/write/icon_files.h"

#include "engine/names/windows_path_limit.h"
#include "engine/record/target_record.h"
#include "engine/run/refusal_reasons.h"
#include "engine/text/ascii.h"
#include "engine/write/icon_image.h"

namespace velkora {
namespace {

// Icon files are named by 16 hexadecimal digits and ".ico".
constexpr std::u16string_view kIconExtension = u".ico";
constexpr std::size_t kIconNameLength = 16 + kIconExtension.size();
// Bounds on what a run remembers, whatever the file holds: past them an icon is decoded
// and hashed again when it comes again, and its file looked for before it is written.
constexpr std::size_t kRememberedValueUnits = 1024 * 1024;
constexpr std::size_t kRememberedIcons = 64 * 1024;

constexpr std::u16string_view kIconTooLarge = u"アイコンが大きすぎます（64 KiB を超えています）";

void AppendHex(std::u16string& text, std::uint64_t value) {
  for (int shift = 60; shift >= 0; shift -= 4) text += kLowerHexDigits[(value >> shift) & 0xF];
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
  bool learned = false;
  if (const auto known = values_.find(icon); known != values_.end()) {
    value = known->second;
  } else {
    value = Learn(icon);
    learned = true;
    if (valueUnits_ + icon.size() <= kRememberedValueUnits) {
      values_.emplace(icon, value);
      valueUnits_ += icon.size();
    }
  }
  // An icon too large has no file, and is reported when it is first met.
  if (value.decoding == IconDecoding::kTooLarge) {
    return {PlacedIcon::Kind::kLeftOut, {}, kIconTooLarge, learned};
  }
  if (value.decoding != IconDecoding::kDone) return {};
  folderOpenedNow_ = !folderTried_;
  if (!folderTried_) {
    folderResult_ = OpenFolder(fileSystem, targetFolder, targetPath);
    folderTried_ = true;
  }
  path_.assign(folderPath_);
  AppendHex(path_, value.name);
  path_ += kIconExtension;
  if (const auto done = written_.find(value.name); done != written_.end()) {
    if (done->second == Written::kFailed) {
      return {PlacedIcon::Kind::kLeftOut, path_, reason_, false};
    }
    // Written before, the icon is not written again unless its folder is gone: then it is
    // made again, as a bookmark folder is, and each icon is written again at its next
    // shortcut.
    if (onlyName_ || !fileSystem.FolderRemoved(*folder_)) {
      return {PlacedIcon::Kind::kPlaced, path_, {}, false};
    }
    written_.clear();
    folderResult_ = OpenFolder(fileSystem, targetFolder, targetPath);
    folderOpenedNow_ = true;
  }
  // The icon's first shortcut: its file is written now.
  if (ico_.empty()) Learn(icon);
  IoResult result = WriteInFolder(fileSystem, targetFolder, targetPath);
  if (written_.size() < kRememberedIcons) {
    written_.emplace(value.name, result ? Written::kDone : Written::kFailed);
  }
  if (result) return {PlacedIcon::Kind::kPlaced, path_, {}, false};
  reason_ = std::move(result.reason);
  return {PlacedIcon::Kind::kLeftOut, path_, reason_, true};
}

IconFiles::KnownValue IconFiles::Learn(std::u16string_view icon) {
  if (const IconDecoding decoding = IconFileBytes(icon, ico_); decoding != IconDecoding::kDone) {
    return {decoding};
  }
  Sha256::Digest digest{};
  // Without its digest an icon has no name: it is left out, as a malformed one is.
  if (!sha256_.Hash(ico_, digest)) {
    ico_.clear();
    return {};
  }
  std::uint64_t name = 0;
  for (std::size_t i = 0; i < 8; ++i) name = name << 8 | digest[i];
  return {IconDecoding::kDone, name};
}

IoResult IconFiles::WriteInFolder(FileSystemObject& fileSystem, const FolderHandle& targetFolder,
                                  std::u16string_view targetPath) {
  if (!folderResult_) return folderResult_;
  IoResult result = WriteIcon(fileSystem);
  if (result || folderOpenedNow_) return result;
  // Held since an earlier icon, the folder may have been removed meanwhile: it is opened,
  // or made, afresh, as a bookmark folder is, and the icon written once more.
  folderResult_ = OpenFolder(fileSystem, targetFolder, targetPath);
  if (!folderResult_) return folderResult_;
  result = WriteIcon(fileSystem);
  // Written now where it could not be before, into a folder made again: the icons written
  // into the one removed are written again at their next shortcut.
  if (result) written_.clear();
  return result;
}

IoResult IconFiles::OpenFolder(FileSystemObject& fileSystem, const FolderHandle& targetFolder,
                               std::u16string_view targetPath) {
  folderPath_.assign(targetPath);
  if (folderPath_.empty() || folderPath_.back() != separator_) folderPath_ += separator_;
  folderPath_ += kVelkoraFolderName;
  folderPath_ += separator_;
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
  if (onlyName_) return IoResult::Success();
  if (IoResult result =
          fileSystem.OpenOrMakeFolder(targetFolder, kVelkoraFolderName, velkoraFolder_);
      !result) {
    return result;
  }
  // A folder left visible still serves its shortcuts: whether it could be hidden changes
  // nothing else.
  fileSystem.HideFolder(*velkoraFolder_);
  return fileSystem.OpenOrMakeFolder(*velkoraFolder_, kIconFolderName, folder_);
}

IoResult IconFiles::WriteIcon(FileSystemObject& fileSystem) {
  if (onlyName_) return IoResult::Success();
  const std::u16string_view name = std::u16string_view(path_).substr(folderPath_.size());
  // The name is the bytes': a file there that holds them is this icon, from an earlier run.
  // Anything else there (other bytes, a hard link to a file elsewhere, a file that cannot
  // be read) is replaced, as a shortcut is.
  if (fileSystem.HoldsFile(*folder_, name, ico_)) return IoResult::Success();
  std::unique_ptr<OutputStream> stream;
  IoResult result = streams_.OpenOutputIn(*folder_, name, stream);
  if (!result) return result;
  result = stream->Write(ico_);
  if (!result) return result;  // the stream removes its temporary file
  return stream->Close();
}

}  // namespace velkora
