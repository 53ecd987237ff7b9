#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

#include "engine/interfaces/file_streams.h"
#include "engine/interfaces/io_result.h"

namespace velkora {

// The bytes of a stream handed to the JSON parser one at a time, read in chunks, with the
// line and column of the last byte handed: the parser's messages are placed by them. A
// column counts characters of UTF-8, not bytes. Lines and columns are counted when they
// are asked for, over the bytes handed since, so that handing a byte costs no more than
// a step. A failure to read ends the bytes early and is kept for the caller.
class JsonBytes {
 public:
  explicit JsonBytes(InputStream& stream) : stream_(stream), chunk_(kChunkBytes) {}

  // True at the end, or once a read failed. Reads the next chunk when it needs one.
  bool AtEnd() { return position_ >= filled_ && !Fill(); }
  char Peek() const { return chunk_[position_]; }
  void Advance() { ++position_; }

  std::int64_t Line() {
    CountHanded();
    return line_;
  }
  std::int64_t Column() {
    CountHanded();
    return column_;
  }
  // True when a byte other than white space or a byte order mark has been handed.
  bool Started() {
    CountHanded();
    return started_;
  }
  const IoResult& ReadResult() const { return result_; }

  // An input iterator over the bytes, for nlohmann::json::sax_parse(first, last, ...).
  class Iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = char;

    Iterator() = default;
    explicit Iterator(JsonBytes* bytes) : bytes_(bytes) {}
    char operator*() const { return bytes_->Peek(); }
    Iterator& operator++() {
      bytes_->Advance();
      return *this;
    }
    Iterator operator++(int) {
      Iterator before = *this;
      bytes_->Advance();
      return before;
    }
    // Equal when both are at the end: only an iterator and the end are ever compared.
    bool operator==(const Iterator& other) const { return Ended() == other.Ended(); }
    bool operator!=(const Iterator& other) const { return !(*this == other); }

   private:
    bool Ended() const { return bytes_ == nullptr || bytes_->AtEnd(); }
    JsonBytes* bytes_ = nullptr;
  };
  Iterator begin() { return Iterator(this); }
  static Iterator end() { return Iterator(); }

 private:
  static constexpr std::size_t kChunkBytes = 64 * 1024;
  bool Fill();
  void NewLine() {
    ++line_;
    column_ = 0;
  }
  void Start(unsigned char byte);
  // Takes the bytes handed since the last count into the line, the column and the start.
  void CountHanded();

  InputStream& stream_;
  std::vector<char> chunk_;
  std::size_t position_ = 0;
  std::size_t filled_ = 0;
  std::size_t counted_ = 0;  // the bytes of the chunk counted
  bool ended_ = false;
  IoResult result_;
  std::int64_t line_ = 1;
  std::int64_t column_ = 0;
  std::int64_t handed_ = 0;  // until started
  bool afterNewline_ = false;
  bool started_ = false;
};

}  // namespace velkora
