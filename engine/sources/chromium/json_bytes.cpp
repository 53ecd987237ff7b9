#include "engine/sources/chromium/json_bytes.h"

#include <string_view>

namespace velkora {

bool JsonBytes::Fill() {
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
  return true;
}

bool JsonBytes::AtEnd() { return position_ >= filled_ && !Fill(); }

void JsonBytes::Advance() {
  const auto byte = static_cast<unsigned char>(chunk_[position_++]);
  if (afterNewline_) {
    ++line_;
    column_ = 0;
  }
  afterNewline_ = byte == '\n';
  // A continuation byte of UTF-8 is part of the character before it.
  if ((byte & 0xC0) != 0x80) ++column_;
  constexpr std::string_view kByteOrderMark("\xEF\xBB\xBF");
  const bool mark = handed_ < 3 && static_cast<char>(byte) == kByteOrderMark[handed_];
  const bool blank = byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n';
  if (!mark && !blank) started_ = true;
  ++handed_;
}

}  // namespace velkora
