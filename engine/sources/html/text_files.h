#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/interfaces/ansi_code_page.h"
#include "engine/interfaces/file_streams.h"
#include "engine/sources/html/line_reader.h"
#include "engine/text/text_encoding.h"

namespace velkora {

// Sequential text files, named by small file numbers. Input is read in the file's encoding;
// output is written in the ANSI code page.
class SequentialFiles {
 public:
  SequentialFiles(FileStreams& streams, const AnsiCodePage& codePage);
  ~SequentialFiles();
  SequentialFiles(const SequentialFiles&) = delete;
  SequentialFiles& operator=(const SequentialFiles&) = delete;

  // The lowest file number not in use.
  std::int32_t FreeFile() const;

  IoResult OpenForInput(std::u16string_view path, std::int32_t fileNumber,
                        TextEncoding encoding = TextEncoding::kAnsiCodePage);
  // Opens path for input in the encoding that the start of the file says, given in
  // encoding, and decides the encoding of the whole file as it is read: once it has been
  // read to its end, DetectedEncoding tells it. The file's bytes decide: a byte order mark;
  // else UTF-8 when a <META> tag declares charset=utf-8 and either every byte is valid
  // UTF-8 or no "<LI>" appears; else the ANSI code page.
  IoResult OpenForInputDetecting(std::u16string_view path, std::int32_t fileNumber,
                                 TextEncoding& encoding);
  // The encoding of the file open as fileNumber, read to its end by OpenForInputDetecting.
  // Its reading checks that bytes are UTF-8 only from the first "<LI>" on; a file that
  // declares UTF-8 and holds "<LI>" after bytes beyond ASCII is read once more here to
  // check those too.
  IoResult DetectedEncoding(std::int32_t fileNumber, TextEncoding& encoding);
  // False when the file open as fileNumber by OpenForInputDetecting holds no "<LI>" in the
  // bytes read from it so far (right after opening, its first 64 KiB); true when it may.
  bool MayHoldItems(std::int32_t fileNumber);
  // The first bytes of the file open as fileNumber by OpenForInputDetecting (its first
  // 64 KiB, or all of a smaller file); empty for any other file.
  std::string_view StartOfFile(std::int32_t fileNumber);
  // Reads the next line's bytes as they stand in the file, undecoded (a LineDecoder in the
  // file's encoding decodes them); gotLine is false once none is left. tooLong: the line
  // was longer than kMaxLineBytes and was skipped unread; bytes is then empty and gotLine
  // true. bytes stay valid until the next read.
  IoResult ReadLineBytes(std::int32_t fileNumber, std::string_view& bytes, bool& gotLine,
                         bool& tooLong);
  // The stamp of the file open for input as fileNumber, as it is now.
  IoResult Stamp(std::int32_t fileNumber, FileStamp& stamp);

  IoResult OpenForOutput(std::u16string_view path, std::int32_t fileNumber);
  // Opens the file name in folder for output, as FileStreams::OpenOutputIn does.
  IoResult OpenForOutputIn(const FolderHandle& folder, std::u16string_view name,
                           std::int32_t fileNumber);
  // Writes text converted to the code page, adding no line end; characters the code page
  // cannot encode become what unencodable says.
  IoResult PrintLine(std::int32_t fileNumber, std::u16string_view text,
                     Unencodable unencodable = Unencodable::kQuestionMark);

  // Closes the file and frees its number. An output file takes its name only now, and
  // only when every print succeeded; the result says whether its bytes reached it. An
  // output file that took its name is then given times, unless empty; timesSet, when
  // given, says whether they were set.
  IoResult Close(std::int32_t fileNumber, const FileTimes& times = {},
                 IoResult* timesSet = nullptr);

 private:
  struct OpenFile;
  OpenFile* Find(std::int32_t fileNumber);
  // The place of a file number not in use, or null for a number out of range or in use.
  OpenFile* Unused(std::int32_t fileNumber);
  // Opens path for reading into the place of fileNumber.
  IoResult OpenInputStream(std::u16string_view path, std::int32_t fileNumber, OpenFile*& file,
                           std::unique_ptr<InputStream>& stream);
  // Makes file an open input file that reads stream in encoding.
  void AttachInput(OpenFile& file, std::unique_ptr<InputStream> stream, TextEncoding encoding);

  FileStreams& streams_;
  const AnsiCodePage& codePage_;
  // Open files by number - 1; a number's place serves every file opened under it.
  std::vector<OpenFile> files_;
  std::string printed_;
};

}  // namespace velkora
