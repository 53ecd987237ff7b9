#pragma once

#include <rapidjson/reader.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One line of a target's record read as JSON, for record_text.cpp.
namespace velkora {

// The value of one member of a line, as the line held it.
struct LineValue {
  enum class Type : unsigned char {
    kAbsent,    // the line has no such member
    kNegative,  // an integer below zero, in negative
    kUnsigned,  // an integer of zero or more, in number
    kString,    // in text, as UTF-8 (not yet checked)
    kUnits,     // an array of integers up to 0xFFFF, in units
    kObject,    // the one member whose value is an object of its own members
    kOther,     // anything else: a fraction, true, null, another array or object
  };
  Type type = Type::kAbsent;
  std::int64_t negative = 0;
  std::uint64_t number = 0;
  std::string text;
  std::u16string units;
};

// Reads lines that are each one JSON object whose members are named by keys; the member
// named by keys[objectKey] may be an object of members named by objectKeys. One reader
// reads many lines: what it keeps of one line lasts until the next.
class RecordLineReader {
 public:
  enum class Outcome {
    kRead,
    kNotJson,
    // JSON, but no object, or an object with a member not among keys or one twice.
    kNotObject,
  };
  static constexpr std::size_t kNoObject = static_cast<std::size_t>(-1);

  explicit RecordLineReader(std::span<const std::string_view> keys,
                            std::size_t objectKey = kNoObject,
                            std::span<const std::string_view> objectKeys = {});

  Outcome Read(std::string_view line);
  // The member keys[key] of the line read last.
  const LineValue& Value(std::size_t key) const { return values_[key]; }
  // The member objectKeys[key] of the object member, if the line had one.
  const LineValue& ObjectValue(std::size_t key) const { return objectValues_[key]; }
  // Whether the object member held a member not among objectKeys, or one twice.
  bool ObjectMalformed() const { return objectMalformed_; }

  // The parser's events (RapidJSON's SAX handler).
  bool Null() { return Other(); }
  bool Bool(bool) { return Other(); }
  bool Int(int value) { return Integer(value); }
  bool Uint(unsigned value) { return Number(value); }
  bool Int64(std::int64_t value) { return Integer(value); }
  bool Uint64(std::uint64_t value) { return Number(value); }
  bool Double(double) { return Other(); }
  bool RawNumber(const char*, unsigned, bool) { return Other(); }
  bool String(const char* text, unsigned length, bool copy);
  bool StartObject();
  bool Key(const char* text, unsigned length, bool copy);
  bool EndObject(unsigned);
  bool StartArray();
  bool EndArray(unsigned);

 private:
  bool Integer(std::int64_t value);
  bool Number(std::uint64_t value);
  bool Other();
  // The value of the member now being read: a scratch one for a member not taken.
  LineValue& Current() { return *current_; }

  rapidjson::Reader reader_;
  std::span<const std::string_view> keys_;
  std::size_t objectKey_;
  std::span<const std::string_view> objectKeys_;
  std::vector<LineValue> values_;
  std::vector<LineValue> objectValues_;
  LineValue ignored_;
  LineValue* current_ = &ignored_;
  // 0 outside the line's object, 1 in it, 2 in its object member.
  int depth_ = 0;
  bool inUnits_ = false;
  // Levels of an array or object being passed over, below a value taken as kOther.
  int skipped_ = 0;
  bool malformed_ = false;
  bool objectMalformed_ = false;
};

}  // namespace velkora
