#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "engine/interfaces/ansi_code_page.h"
#include "engine/interfaces/file_streams.h"
#include "engine/interfaces/file_system_object.h"
#include "engine/interfaces/io_result.h"
#include "engine/interfaces/sha256.h"
#include "engine/text/text_hash.h"
#include "engine/write/data_uri.h"

namespace velkora {

// The folder, in the target's kVelkoraFolderName, that holds the icons of the target's
// shortcuts.
inline constexpr std::u16string_view kIconFolderName = u"icons";
// Where earlier versions kept the icons, directly below the target: left as it is.
inline constexpr std::u16string_view kEarlierIconFolderName = u".velkora-icons";

// What a bookmark's icon came to.
struct PlacedIcon {
  enum class Kind {
    kNone,     // the bookmark has no icon that can be used: its shortcut has none, as always
    kPlaced,   // path names the icon's file
    kLeftOut,  // the icon could not be given: path (empty for an icon too large to have a
               // file) and reason say why
  };
  Kind kind = Kind::kNone;
  std::u16string_view path;
  std::u16string_view reason;
  // kLeftOut for the first time for this icon in the run: to be reported.
  bool firstFailure = false;
};

// The icon files of one run. Each distinct icon is written once into kIconFolderName in the
// target's kVelkoraFolderName, named after the first 16 hexadecimal digits of its SHA-256, so that
// the same icon comes to the same file in every run: a file already there under that name is kept.
class IconFiles {
 public:
  IconFiles(FileStreams& streams, const Sha256& sha256, const AnsiCodePage& codePage,
            char16_t separator);
  ~IconFiles();
  IconFiles(const IconFiles&) = delete;
  IconFiles& operator=(const IconFiles&) = delete;

  // Gives the icon of a bookmark's ICON value its file below target, held as targetFolder
  // at targetPath, writing it when this run has not. The texts of the result stay valid
  // until the next call.
  PlacedIcon Place(std::u16string_view icon, FileSystemObject& fileSystem,
                   const FolderHandle& targetFolder, std::u16string_view targetPath);
  // From now on icons are given their paths only: no folder is made, no file written.
  void OnlyName() { onlyName_ = true; }

 private:
  // What an ICON value came to, remembered so that a value met again is not decoded or
  // hashed again.
  struct KnownValue {
    IconDecoding decoding = IconDecoding::kNone;  // kDone: a usable icon
    std::uint64_t name = 0;  // the file's name as a number: the digest's first 8 bytes
  };
  enum class Written : unsigned char { kDone, kFailed };

  // Decodes, checks and hashes an ICON value met for the first time; the file's bytes go
  // to ico_.
  KnownValue Learn(std::u16string_view icon);
  // Opens (or makes) the icon folder at the run's first icon, and works out its path.
  IoResult OpenFolder(FileSystemObject& fileSystem, const FolderHandle& targetFolder,
                      std::u16string_view targetPath);
  // Writes the icon whose file path_ names in the folder held or, when that fails in a folder
  // held since an earlier icon (which may have been removed), in the folder opened afresh.
  IoResult WriteInFolder(FileSystemObject& fileSystem, const FolderHandle& targetFolder,
                         std::u16string_view targetPath);
  // Writes ico_ as the file path_ ends in, unless that file is there already.
  IoResult WriteIcon(FileSystemObject& fileSystem);

  FileStreams& streams_;
  const Sha256& sha256_;
  const AnsiCodePage& codePage_;
  char16_t separator_;
  std::unique_ptr<FolderHandle> velkoraFolder_;
  std::unique_ptr<FolderHandle> folder_;
  bool onlyName_ = false;
  // Whether the folder was tried, and what came of it; whether for the current icon.
  bool folderTried_ = false;
  bool folderOpenedNow_ = false;
  IoResult folderResult_;
  // The icon folder's path with a separator at its end.
  std::u16string folderPath_;
  std::unordered_map<std::u16string, KnownValue, TextHash, TextEqual> values_;
  std::size_t valueUnits_ = 0;
  std::unordered_map<std::uint64_t, Written> written_;
  std::u16string path_;
  std::u16string reason_;
  std::string ico_;
};

}  // namespace velkora
