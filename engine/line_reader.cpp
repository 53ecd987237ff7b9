#include "engine/line_reader.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace velkora {

LineReader::LineReader(std::unique_ptr<InputStream> stream, LineUnits units)
    : stream_(std::move(stream)),
      units_(units),
      buffer_(std::make_unique<std::array<char, kBufferSize>>()) {
  markChecked_ = units_.mark.empty();
}

IoResult LineReader::Refill() {
  searchedTo_ = nullptr;  // the bytes move
  const std::size_t kept = filled_ - position_;
  std::memmove(buffer_->data(), buffer_->data() + position_, kept);
  std::size_t received = 0;
  IoResult result = stream_->Read(buffer_->data() + kept, buffer_->size() - kept, received);
  if (!result) return result;
  position_ = 0;
  filled_ = kept + received;
  ended_ = received == 0;
  return result;
}

IoResult LineReader::SkipMark() {
  while (filled_ - position_ < units_.mark.size() && !ended_) {
    if (IoResult result = Refill(); !result) return result;
  }
  const std::string_view start(buffer_->data() + position_, filled_ - position_);
  if (start.starts_with(units_.mark)) position_ += units_.mark.size();
  markChecked_ = true;
  return IoResult::Success();
}

bool LineReader::IsUnit(const char* at, char c) const {
  if (units_.size == 1) return *at == c;
  return units_.bigEndian ? at[0] == '\0' && at[1] == c : at[0] == c && at[1] == '\0';
}

// The first CR or LF in [begin, end), or end. Each is sought by memchr, which looks at
// many bytes at a time, and kept for the lines that end before it: a file of LF line ends
// is searched for CR once per buffer, and a file of lone CRs for LF.
const char* LineReader::FindByteLineEnd(const char* begin, const char* end) {
  if (searchedTo_ != end) {
    searchedTo_ = end;
    lineFeed_ = nullptr;
    carriageReturn_ = nullptr;
  }
  const auto next = [begin, end](const char*& kept, char c) {
    if (kept != nullptr && kept >= begin) return;
    const void* found = std::memchr(begin, c, static_cast<std::size_t>(end - begin));
    kept = found != nullptr ? static_cast<const char*>(found) : end;
  };
  next(lineFeed_, '\n');
  next(carriageReturn_, '\r');
  return std::min(lineFeed_, carriageReturn_);
}

const char* LineReader::FindLineEnd(const char* begin, const char* end) {
  if (units_.size == 1) return FindByteLineEnd(begin, end);
  for (; begin != end; begin += 2) {
    if (IsUnit(begin, '\r') || IsUnit(begin, '\n')) return begin;
  }
  return end;
}

void LineReader::Append(std::string& line, const char* begin, const char* end,
                        bool& tooLong) const {
  if (tooLong) return;
  const auto size = static_cast<std::size_t>(end - begin);
  if (line.size() + size > kMaxLineBytes) {
    tooLong = true;
    line.clear();
    return;
  }
  if (line.size() + size > line.capacity()) {
    // Grown here into a fresh string: append, and reserve on a string that holds memory
    // already, may double the capacity to twice the cap.
    std::string grown;
    grown.reserve(std::min(std::max(line.size() + size, 2 * line.capacity()), kMaxLineBytes));
    grown.append(line);
    line.swap(grown);
  }
  line.append(begin, end);
}

IoResult LineReader::Next(std::string& line, bool& gotLine) {
  bool tooLong = false;
  return Next(line, gotLine, tooLong);
}

IoResult LineReader::Next(std::string& line, bool& gotLine, bool& tooLong) {
  std::string_view view;
  IoResult result = Next(view, gotLine, tooLong);
  line.assign(view);
  return result;
}

IoResult LineReader::Next(std::string_view& view, bool& gotLine, bool& tooLong) {
  view = {};
  gotLine = false;
  tooLong = false;
  if (!markChecked_) {
    if (IoResult result = SkipMark(); !result) return result;
  }
  // Most lines end within the bytes read already: they are handed out where they stand.
  if (filled_ - position_ >= units_.size) {
    const char* begin = buffer_->data() + position_;
    const char* end = begin + (filled_ - position_) / units_.size * units_.size;
    if (skipLineFeed_) {
      skipLineFeed_ = false;
      if (IsUnit(begin, '\n')) {
        position_ += units_.size;
        begin += units_.size;
      }
    }
    const char* stop = begin == end ? end : FindLineEnd(begin, end);
    if (stop != end) {
      view = std::string_view(begin, static_cast<std::size_t>(stop - begin));
      skipLineFeed_ = IsUnit(stop, '\r');
      position_ = static_cast<std::size_t>(stop - buffer_->data()) + units_.size;
      gotLine = true;
      return IoResult::Success();
    }
  }
  // A line that goes on past them is gathered as more is read.
  std::string& line = spill_;
  line.clear();
  bool partial = false;
  for (;;) {
    const std::size_t available = filled_ - position_;
    if (available < units_.size) {
      if (!ended_) {
        if (IoResult result = Refill(); !result) return result;
        continue;
      }
      if (available > 0) {  // an odd byte at the end of 2-byte units
        const char* at = buffer_->data() + position_;
        Append(line, at, at + available, tooLong);
        position_ = filled_;
        partial = true;
      }
      skipLineFeed_ = false;
      break;
    }
    const char* begin = buffer_->data() + position_;
    const char* end = begin + available / units_.size * units_.size;
    if (skipLineFeed_) {
      skipLineFeed_ = false;
      if (IsUnit(begin, '\n')) {
        position_ += units_.size;
        continue;
      }
    }
    const char* stop = FindLineEnd(begin, end);
    Append(line, begin, stop, tooLong);
    position_ = static_cast<std::size_t>(stop - buffer_->data());
    if (stop == end) {
      partial = true;
      continue;
    }
    skipLineFeed_ = IsUnit(stop, '\r');
    position_ += units_.size;
    gotLine = true;
    view = line;
    return IoResult::Success();
  }
  gotLine = partial;
  view = line;
  return IoResult::Success();
}

}  // namespace velkora
