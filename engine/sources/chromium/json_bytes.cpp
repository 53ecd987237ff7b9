#include "engine/sources/chromium/json_bytes.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string_view>
#include <utility>

namespace velkora {
namespace {

constexpr std::string_view kByteOrderMark("\xEF\xBB\xBF");

}  // namespace

void JsonBytes::CountTaken() {
  for (; !started_ && counted_ < position_; ++counted_) {
    const auto byte = static_cast<unsigned char>(chunk_[counted_]);
    if (afterNewline_) NewLine();
    afterNewline_ = byte == '\n';
    column_ += (byte & 0xC0) != 0x80;
    Start(byte);
  }
  // Then all at once: a line end belongs to the line it ends, the byte after it starts a
  // new one, and the column counts the characters since the last line end taken.
  const char* at = chunk_.data() + counted_;
  const char* const end = chunk_.data() + position_;
  if (at == end) return;
  if (std::exchange(afterNewline_, false)) NewLine();
  const auto last =
      std::find(std::make_reverse_iterator(end - 1), std::make_reverse_iterator(at), '\n');
  if (last.base() != at) {
    for (const char* line = at; line != last.base(); ++line_) {
      line = static_cast<const char*>(
                 std::memchr(line, '\n', static_cast<std::size_t>(last.base() - line))) +
             1;
    }
    column_ = 0;
    at = last.base();
  }
  // A continuation byte of UTF-8 is part of the character before it.
  column_ += std::count_if(at, end, [](char byte) { return (byte & 0xC0) != 0x80; });
  afterNewline_ = end[-1] == '\n';
  counted_ = position_;
}

bool JsonBytes::Fill() {
  CountTaken();
  before_ += static_cast<std::int64_t>(filled_);
  counted_ = 0;
  position_ = 0;
  filled_ = 0;
  if (ended_) return false;
  std::size_t received = 0;
  result_ = stream_.Read(chunk_.data(), chunk_.size(), received);
  if (!result_ || received == 0) {
    ended_ = true;
    return false;
  }
  filled_ = received;
  // The mark is taken, and counted, before the parser sees the first byte.
  if (before_ == 0 && std::string_view(chunk_.data(), filled_).starts_with(kByteOrderMark)) {
    position_ = kByteOrderMark.size();
  }
  return true;
}

void JsonBytes::Start(unsigned char byte) {
  const bool mark = taken_ < 3 && static_cast<char>(byte) == kByteOrderMark[taken_];
  const bool blank = byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n';
  started_ = !mark && !blank;
  ++taken_;
}

}  // namespace velkora
