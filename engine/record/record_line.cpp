#include "engine/record/record_line.h"

#include <rapidjson/memorystream.h>

#include <algorithm>

namespace velkora {

RecordLineReader::RecordLineReader(std::span<const std::string_view> keys, std::size_t objectKey,
                                   std::span<const std::string_view> objectKeys)
    : keys_(keys),
      objectKey_(objectKey),
      objectKeys_(objectKeys),
      values_(keys.size()),
      objectValues_(objectKeys.size()) {}

RecordLineReader::Outcome RecordLineReader::Read(std::string_view line) {
  for (LineValue& value : values_) value.type = LineValue::Type::kAbsent;
  for (LineValue& value : objectValues_) value.type = LineValue::Type::kAbsent;
  current_ = &ignored_;
  depth_ = 0;
  inUnits_ = false;
  skipped_ = 0;
  malformed_ = false;
  objectMalformed_ = false;
  // A NUL, which no JSON text holds, would end the parser's reading early.
  if (line.find('\0') != std::string_view::npos) return Outcome::kNotJson;
  rapidjson::MemoryStream stream(line.data(), line.size());
  // Iterative: a line of nested arrays as deep as it is long takes no stack. The strings'
  // UTF-8 is checked where they are turned into text (all others are compared with ASCII).
  if (reader_.Parse<rapidjson::kParseIterativeFlag>(stream, *this).IsError()) {
    return Outcome::kNotJson;
  }
  return malformed_ ? Outcome::kNotObject : Outcome::kRead;
}

bool RecordLineReader::Integer(std::int64_t value) {
  if (value >= 0) return Number(static_cast<std::uint64_t>(value));
  if (skipped_ > 0 || inUnits_ || depth_ == 0) return Other();
  Current().type = LineValue::Type::kNegative;
  Current().negative = value;
  return true;
}

bool RecordLineReader::Number(std::uint64_t value) {
  if (inUnits_ && skipped_ == 0) {
    if (value <= 0xFFFF) {
      Current().units.push_back(static_cast<char16_t>(value));
      return true;
    }
    return Other();
  }
  if (skipped_ > 0 || depth_ == 0) return Other();
  Current().type = LineValue::Type::kUnsigned;
  Current().number = value;
  return true;
}

bool RecordLineReader::String(const char* text, unsigned length, bool) {
  if (skipped_ > 0 || inUnits_ || depth_ == 0) return Other();
  Current().type = LineValue::Type::kString;
  Current().text.assign(text, length);
  return true;
}

// Any value that is none of the member's kinds; inside an array of units it spoils the
// whole array, whose rest is passed over.
bool RecordLineReader::Other() {
  if (skipped_ > 0) return true;
  if (depth_ == 0) {
    malformed_ = true;
  } else if (inUnits_) {
    Current().type = LineValue::Type::kOther;
    inUnits_ = false;
    skipped_ = 1;
  } else {
    Current().type = LineValue::Type::kOther;
  }
  return true;
}

bool RecordLineReader::StartObject() {
  if (skipped_ > 0 || inUnits_) {
    Other();
    ++skipped_;
  } else if (depth_ == 0) {
    depth_ = 1;
  } else if (depth_ == 1 && objectKey_ < values_.size() && current_ == &values_[objectKey_]) {
    Current().type = LineValue::Type::kObject;
    depth_ = 2;
    current_ = &ignored_;
  } else {
    Current().type = LineValue::Type::kOther;
    skipped_ = 1;
  }
  return true;
}

bool RecordLineReader::Key(const char* text, unsigned length, bool) {
  if (skipped_ > 0) return true;
  const std::span<const std::string_view> keys = depth_ == 1 ? keys_ : objectKeys_;
  std::vector<LineValue>& values = depth_ == 1 ? values_ : objectValues_;
  const std::string_view key(text, length);
  const auto found = std::find(keys.begin(), keys.end(), key);
  LineValue* value = found == keys.end() ? nullptr : &values[found - keys.begin()];
  if (value == nullptr || value->type != LineValue::Type::kAbsent) {
    (depth_ == 1 ? malformed_ : objectMalformed_) = true;
    current_ = &ignored_;
    return true;
  }
  // Taken: a second member of the same name is one too many.
  value->type = LineValue::Type::kOther;
  current_ = value;
  return true;
}

bool RecordLineReader::EndObject(unsigned) {
  if (skipped_ > 0) {
    --skipped_;
  } else if (--depth_ == 1) {
    current_ = &ignored_;
  }
  return true;
}

bool RecordLineReader::StartArray() {
  if (skipped_ > 0 || inUnits_ || depth_ == 0) {
    Other();
    ++skipped_;
    return true;
  }
  Current().type = LineValue::Type::kUnits;
  Current().units.clear();
  inUnits_ = true;
  return true;
}

bool RecordLineReader::EndArray(unsigned) {
  if (skipped_ > 0) {
    --skipped_;
  } else {
    inUnits_ = false;
  }
  return true;
}

}  // namespace velkora
