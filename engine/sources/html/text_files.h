#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/interfaces/ansi_code_page.h"
#include "engine/interfaces/file_streams.h"
#include "engine/interfaces/folder_handle.h"

namespace velkora {

// Sequential text files for output, named by small file numbers, written in the ANSI code
// page. (The bookmark file is read as a BookmarkFile.)
class SequentialFiles {
 public:
  SequentialFiles(FileStreams& streams, const AnsiCodePage& codePage);
  ~SequentialFiles();
  SequentialFiles(const SequentialFiles&) = delete;
  SequentialFiles& operator=(const SequentialFiles&) = delete;

  // The lowest file number not in use.
  std::int32_t FreeFile() const;

  // Opens the file name in folder for output, as FileStreams::OpenOutputIn does.
  IoResult OpenForOutputIn(const FolderHandle& folder, std::u16string_view name,
                           std::int32_t fileNumber);
  // Writes text converted to the code page, adding no line end; characters the code page
  // cannot encode become what unencodable says.
  IoResult PrintLine(std::int32_t fileNumber, std::u16string_view text,
                     Unencodable unencodable = Unencodable::kQuestionMark);

  // Closes the file and frees its number. The file takes its name only now, and only
  // when every print succeeded; the result says whether its bytes reached it. A file
  // that took its name is then given times, unless empty; timesSet, when
  // given, says whether they were set.
  IoResult Close(std::int32_t fileNumber, const FileTimes& times = {},
                 IoResult* timesSet = nullptr);

 private:
  struct OpenFile;
  OpenFile* Find(std::int32_t fileNumber);
  // The place of a file number not in use, or null for a number out of range or in use.
  OpenFile* Unused(std::int32_t fileNumber);

  FileStreams& streams_;
  const AnsiCodePage& codePage_;
  // Open files by number - 1; a number's place serves every file opened under it.
  std::vector<OpenFile> files_;
  std::string printed_;
};

}  // namespace velkora
