#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/interfaces/file_streams.h"
#include "engine/interfaces/io_result.h"

namespace velkora {

// The bytes of a stream as RapidJSON's reader takes them (its input stream: Peek, Take,
// Tell), read in chunks, with the line and column of the next byte: the parser's
// messages are placed by them. A column counts characters of UTF-8, not bytes. Lines and
// columns are counted when they are asked for, over the bytes taken since, so that taking
// a byte costs no more than a step. A byte order mark at the start is passed over, as
// JSON's readers do. A failure to read ends the bytes early and is kept for the caller.
class JsonBytes {
 public:
  using Ch = char;

  explicit JsonBytes(InputStream& stream) : stream_(stream), chunk_(kChunkBytes) {}

  // The next byte, '\0' at the end (and for a NUL byte: AtEnd tells them apart).
  char Peek() { return position_ < filled_ || Fill() ? chunk_[position_] : '\0'; }
  char Take() {
    const char byte = Peek();
    if (position_ < filled_) ++position_;
    return byte;
  }
  std::size_t Tell() const { return static_cast<std::size_t>(before_) + position_; }
  // True at the end, or once a read failed.
  bool AtEnd() { return position_ >= filled_ && !Fill(); }

  // The line and column of the next byte, from 1.
  std::int64_t Line() {
    CountTaken();
    return afterNewline_ ? line_ + 1 : line_;
  }
  std::int64_t Column() {
    CountTaken();
    return afterNewline_ ? 1 : column_ + 1;
  }
  // True when a byte other than white space or a byte order mark has been taken.
  bool Started() {
    CountTaken();
    return started_;
  }
  const IoResult& ReadResult() const { return result_; }

  // Unused, but part of the stream RapidJSON's reader is written for.
  char* PutBegin() { return nullptr; }
  void Put(char) {}
  void Flush() {}
  std::size_t PutEnd(char*) { return 0; }

 private:
  static constexpr std::size_t kChunkBytes = 64 * 1024;
  bool Fill();
  void NewLine() {
    ++line_;
    column_ = 0;
  }
  void Start(unsigned char byte);
  // Takes the bytes taken since the last count into the line, the column and the start.
  void CountTaken();

  InputStream& stream_;
  std::vector<char> chunk_;
  std::size_t position_ = 0;
  std::size_t filled_ = 0;
  std::size_t counted_ = 0;  // the bytes of the chunk counted
  std::int64_t before_ = 0;  // the bytes of the chunks before this one
  bool ended_ = false;
  IoResult result_;
  std::int64_t line_ = 1;
  std::int64_t column_ = 0;
  std::int64_t taken_ = 0;  // until started
  bool afterNewline_ = false;
  bool started_ = false;
};

}  // namespace velkora
