#pragma once

#include <rapidjson/error/error.h>

#include <string_view>

namespace velkora {

// Why RapidJSON's reader found a text no JSON, in words a user reads.
std::u16string_view JsonSyntaxReason(rapidjson::ParseErrorCode code);

}  // namespace velkora
