#pragma once

#include <rapidjson/error/error.h>
#include <rapidjson/reader.h>

#include <cstdint>
#include <string_view>

namespace velkora {

// How Chromium's JSON files are read: iteratively, so that nesting takes no stack; with
// strings' UTF-8 checked, as every JSON text's must be; numbers passed as their text,
// which nothing reads.
inline constexpr unsigned kJsonReadFlags = rapidjson::kParseIterativeFlag |
                                           rapidjson::kParseValidateEncodingFlag |
                                           rapidjson::kParseNumbersAsStringsFlag;

// Chromium reads no JSON file nested more than 200 levels deep; past this many levels, far
// more, a file is refused rather than followed.
inline constexpr std::uint32_t kMostJsonNesting = 1000;

// A text that ends before its value does: the reader says only what it expected next.
inline constexpr std::u16string_view kJsonEndsEarly = u"値の途中でファイルが終わっています";

// Why RapidJSON's reader found a text no JSON, in words a user reads.
std::u16string_view JsonSyntaxReason(rapidjson::ParseErrorCode code);

}  // namespace velkora
