#include "engine/line_reader.h"

#include <algorithm>
#include <utility>

namespace velkora {

LineReader::LineReader(std::unique_ptr<InputStream> stream)
    : stream_(std::move(stream)), buffer_(std::make_unique<std::array<char, kBufferSize>>()) {}

IoResult LineReader::Refill() {
  std::size_t received = 0;
  IoResult result = stream_->Read(buffer_->data(), buffer_->size(), received);
  if (!result) return result;
  position_ = 0;
  filled_ = received;
  ended_ = received == 0;
  return result;
}

IoResult LineReader::Next(std::string& line, bool& gotLine) {
  line.clear();
  gotLine = false;
  bool partial = false;
  for (;;) {
    if (position_ == filled_) {
      if (ended_) break;
      IoResult result = Refill();
      if (!result) return result;
      continue;
    }
    const char* begin = buffer_->data() + position_;
    const char* end = buffer_->data() + filled_;
    if (skipLineFeed_) {
      skipLineFeed_ = false;
      if (*begin == '\n') {
        ++position_;
        continue;
      }
    }
    const char* stop = std::find_if(begin, end, [](char c) { return c == '\r' || c == '\n'; });
    line.append(begin, stop);
    if (stop == end) {
      position_ = filled_;
      partial = true;
      continue;
    }
    skipLineFeed_ = *stop == '\r';
    position_ = static_cast<std::size_t>(stop - buffer_->data()) + 1;
    gotLine = true;
    return IoResult::Success();
  }
  gotLine = partial;
  return IoResult::Success();
}

}  // namespace velkora
