#pragma once

#include <array>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

// The values of a record's lines as JSON, for record_text.cpp.
namespace velkora::record_json {

// text as a JSON string, or, when it holds a lone surrogate (a name of bytes that are no
// UTF-8, or a Windows name no UTF-8 can hold), as the array of its UTF-16 units.
nlohmann::json TextValue(std::u16string_view text);
// The text TextValue made; false for any other value.
bool ReadText(const nlohmann::json& value, std::u16string& text);

std::string HexDigest(const std::array<std::uint8_t, 32>& digest);
// The digest of 64 hex digits, either case; false for anything else.
bool ReadHexDigest(const nlohmann::json& value, std::array<std::uint8_t, 32>& digest);

// True when value is an object whose keys are all among names.
bool HasOnlyKeys(const nlohmann::json& value, std::initializer_list<std::string_view> names);

}  // namespace velkora::record_json
