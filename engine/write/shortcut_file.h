#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/interfaces/ansi_code_page.h"
#include "engine/interfaces/file_streams.h"
#include "engine/interfaces/file_times.h"
#include "engine/interfaces/folder_handle.h"
#include "engine/interfaces/io_result.h"

namespace velkora {

// The .url file of a shortcut: an [InternetShortcut] section with its URL and, when it has
// one, its icon, in the ANSI code page. It is written as a replacement file in its folder:
// the name takes the file only once it is written whole, and the old file stays when it
// cannot be.
class ShortcutFile {
 public:
  ShortcutFile(FileStreams& streams, const AnsiCodePage& codePage);

  // Makes the bytes of the shortcut of url, with the icon file iconPath when not empty;
  // they stay valid until the next call.
  std::string_view Make(std::u16string_view url, std::u16string_view iconPath);
  // Writes the bytes Make made last as name in folder, then gives the file times unless
  // they are empty; timesSet says whether they were set (the file stands at its name either
  // way), stamp the file's stamp there when its stream knows it.
  IoResult Write(const FolderHandle& folder, std::u16string_view name, const FileTimes& times,
                 IoResult& timesSet, std::optional<FileStamp>& stamp);

 private:
  FileStreams& streams_;
  const AnsiCodePage& codePage_;
  // Kept, so that their memory serves every shortcut.
  std::u16string text_;
  std::string bytes_;
};

}  // namespace velkora
