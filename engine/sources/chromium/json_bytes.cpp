#include "engine/sources/chromium/json_bytes.h"

#include <string_view>

namespace velkora {

void JsonBytes::CountHanded() {
  for (; counted_ < position_; ++counted_) {
    const auto byte = static_cast<unsigned char>(chunk_[counted_]);
    if (afterNewline_) NewLine();
    afterNewline_ = byte == '\n';
    // A continuation byte of UTF-8 is part of the character before it.
    column_ += (byte & 0xC0) != 0x80;
    if (!started_) Start(byte);
  }
}

bool JsonBytes::Fill() {
  CountHanded();
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
  return true;
}

void JsonBytes::Start(unsigned char byte) {
  constexpr std::string_view kByteOrderMark("\xEF\xBB\xBF");
  const bool mark = handed_ < 3 && static_cast<char>(byte) == kByteOrderMark[handed_];
  const bool blank = byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n';
  started_ = !mark && !blank;
  ++handed_;
}

}  // namespace velkora
