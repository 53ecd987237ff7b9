#include "engine/record/record_json.h"

#include <algorithm>
#include <cstddef>

#include "engine/text/surrogates.h"
#include "engine/text/utf8.h"

namespace velkora::record_json {
namespace {

bool IsWellFormed(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (StartsSurrogatePair(text, i)) {
      ++i;
    } else if (IsSurrogate(text[i])) {
      return false;
    }
  }
  return true;
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

nlohmann::json TextValue(std::u16string_view text) {
  if (IsWellFormed(text)) return ToUtf8(text);
  nlohmann::json units = nlohmann::json::array();
  for (const char16_t unit : text) units.push_back(static_cast<unsigned>(unit));
  return units;
}

bool ReadText(const nlohmann::json& value, std::u16string& text) {
  // The parser takes only valid UTF-8 into a string, which FromUtf8 turns back exactly.
  if (value.is_string()) {
    text = FromUtf8(value.get_ref<const std::string&>());
    return true;
  }
  if (!value.is_array()) return false;
  std::u16string units;
  units.reserve(value.size());
  for (const nlohmann::json& unit : value) {
    if (!unit.is_number_unsigned() || unit.get<std::uint64_t>() > 0xFFFF) return false;
    units.push_back(static_cast<char16_t>(unit.get<std::uint64_t>()));
  }
  text = std::move(units);
  return true;
}

std::string HexDigest(const std::array<std::uint8_t, 32>& digest) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(64);
  for (const std::uint8_t byte : digest) {
    hex.push_back(kDigits[byte >> 4]);
    hex.push_back(kDigits[byte & 0xF]);
  }
  return hex;
}

bool ReadHexDigest(const nlohmann::json& value, std::array<std::uint8_t, 32>& digest) {
  if (!value.is_string()) return false;
  const std::string& hex = value.get_ref<const std::string&>();
  if (hex.size() != 64) return false;
  for (std::size_t i = 0; i < digest.size(); ++i) {
    const int high = HexDigitValue(hex[2 * i]);
    const int low = HexDigitValue(hex[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    digest[i] = static_cast<std::uint8_t>(high << 4 | low);
  }
  return true;
}

bool HasOnlyKeys(const nlohmann::json& value, std::initializer_list<std::string_view> names) {
  if (!value.is_object()) return false;
  for (const auto& item : value.items()) {
    if (std::find(names.begin(), names.end(), item.key()) == names.end()) return false;
  }
  return true;
}

}  // namespace velkora::record_json
