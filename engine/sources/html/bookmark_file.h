#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "engine/interfaces/file_streams.h"
#include "engine/sources/html/line_reader.h"
#include "engine/text/text_encoding.h"

namespace velkora {

class DetectingInputStream;

// The bookmark file open for reading its lines, in the file's encoding. It is closed when
// the object goes.
class BookmarkFile {
  // Only Open and OpenDetecting make one.
  struct Opening {};

 public:
  // Opens path for reading its lines in encoding.
  static IoResult Open(FileStreams& streams, std::u16string_view path, TextEncoding encoding,
                       std::unique_ptr<BookmarkFile>& file);
  // Opens path for reading in the encoding that the start of the file says, given in
  // encoding, and decides the encoding of the whole file as it is read: once it has been
  // read to its end, DetectedEncoding tells it. The file's bytes decide: a byte order mark;
  // else UTF-8 when a <META> tag declares charset=utf-8 and either every byte is valid
  // UTF-8 or no "<LI>" appears; else the ANSI code page.
  static IoResult OpenDetecting(FileStreams& streams, std::u16string_view path,
                                std::unique_ptr<BookmarkFile>& file, TextEncoding& encoding);
  BookmarkFile(Opening, FileStreams& streams, std::u16string_view path);
  ~BookmarkFile();
  BookmarkFile(const BookmarkFile&) = delete;
  BookmarkFile& operator=(const BookmarkFile&) = delete;

  // The encoding its lines are read in: for a file opened by OpenDetecting, the one its
  // start says.
  TextEncoding Encoding() const { return encoding_; }
  // The encoding of the file opened by OpenDetecting, read to its end; of any other, the
  // one it was opened in. Its reading checks that bytes are UTF-8 only from the first
  // "<LI>" on; a file that declares UTF-8 and holds "<LI>" after bytes beyond ASCII is read
  // once more here to check those too.
  IoResult DetectedEncoding(TextEncoding& encoding) const;
  // False when the file opened by OpenDetecting holds no "<LI>" in the bytes read from it
  // so far (right after opening, its first 64 KiB); true when it may.
  bool MayHoldItems() const;
  // The first bytes of the file opened by OpenDetecting (its first 64 KiB, or all of a
  // smaller file); empty for any other.
  std::string_view StartOfFile() const;
  // Reads the next line's bytes as they stand in the file, undecoded (a LineDecoder in the
  // file's encoding decodes them); gotLine is false once none is left. tooLong: the line
  // was longer than kMaxLineBytes and was skipped unread; bytes is then empty and gotLine
  // true. bytes stay valid until the next read.
  IoResult ReadLineBytes(std::string_view& bytes, bool& gotLine, bool& tooLong);
  // The stamp of the open file, as it is now.
  IoResult Stamp(FileStamp& stamp) const;

 private:
  // Makes the file read stream's lines in encoding.
  void Attach(std::unique_ptr<InputStream> stream, TextEncoding encoding);

  FileStreams& streams_;
  std::u16string path_;
  std::unique_ptr<LineReader> lines_;
  // The stream below lines_ that decides the encoding as it reads, if any.
  const DetectingInputStream* detecting_ = nullptr;
  // The stream of the file itself, at the bottom of lines_, for its stamp.
  const InputStream* file_ = nullptr;
  TextEncoding encoding_ = TextEncoding::kAnsiCodePage;
};

// Reads every line of file as bytes, handing each to examine with its 1-based number and
// whether it was too long to be read (it is then empty), for as long as examine returns
// true.
template <typename Examine>
IoResult ForEachLine(BookmarkFile& file, Examine examine) {
  std::int32_t lineNumber = 0;
  for (;;) {
    std::string_view bytes;
    bool gotLine = false;
    bool tooLong = false;
    IoResult result = file.ReadLineBytes(bytes, gotLine, tooLong);
    if (!result || !gotLine) return result;
    if (lineNumber < std::numeric_limits<std::int32_t>::max()) ++lineNumber;
    if (!examine(bytes, lineNumber, tooLong)) return result;
  }
}

}  // namespace velkora
