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

void JsonBytes::Start(unsigned char byte) {
  constexpr std::string_view kByteOrderMark("\xEF\xBB\xBF");
  const bool mark = handed_ < 3 && static_cast<char>(byte) == kByteOrderMark[handed_];
  const bool blank = byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n';
  started_ = !mark && !blank;
  ++handed_;
}

}  // namespace velkora
