#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "engine/ansi_code_page.h"
#include "engine/file_streams.h"

namespace velkora {

// Sequential text files in the ANSI code page, named by small file numbers.
class SequentialFiles {
 public:
  SequentialFiles(FileStreams& streams, const AnsiCodePage& codePage);
  ~SequentialFiles();
  SequentialFiles(const SequentialFiles&) = delete;
  SequentialFiles& operator=(const SequentialFiles&) = delete;

  // The lowest file number not in use.
  std::int32_t FreeFile() const;

  IoResult OpenForInput(std::u16string_view path, std::int32_t fileNumber);
  // Reads the next line, converted from the code page; gotLine is false once none is left.
  IoResult ReadLine(std::int32_t fileNumber, std::u16string& line, bool& gotLine);

  IoResult OpenForOutput(std::u16string_view path, std::int32_t fileNumber);
  // Writes text converted to the code page, adding no line end.
  IoResult PrintLine(std::int32_t fileNumber, std::u16string_view text);

  // Closes the file and frees its number; for an output file, reports whether its bytes
  // reached the file.
  IoResult Close(std::int32_t fileNumber);

 private:
  struct OpenFile;
  OpenFile* Find(std::int32_t fileNumber);

  FileStreams& streams_;
  const AnsiCodePage& codePage_;
  std::map<std::int32_t, std::unique_ptr<OpenFile>> files_;
  std::string lineBytes_;
};

}  // namespace velkora
