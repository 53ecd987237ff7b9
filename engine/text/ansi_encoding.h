#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/interfaces/ansi_code_page.h"

namespace velkora {

// Bytes of each UTF-16 code unit in a code page of one- and two-byte characters: the byte
// in the low half, or lead << 8 | trail; kNoAnsiCode when the unit has no code of its own,
// as for every surrogate.
inline constexpr std::uint16_t kNoAnsiCode = 0xFFFF;

// Characters that code page 932 has no code of their own for, though conversion libraries
// map them to the code of a look-alike (WAVE DASH, MINUS SIGN, DOUBLE VERTICAL LINE, CENT
// SIGN, NOT SIGN).
inline constexpr char16_t kLookAlikesOf932[] = {u'\u301C', u'\u2212', u'\u2016', u'\u00A2',
                                                u'\u00AC'};

// Encodes text through codes, a table of 0x10000 entries as above.
std::string EncodeWithTable(std::u16string_view text, const std::uint16_t* codes,
                            Unencodable policy);
// As EncodeWithTable, appended to out.
void AppendEncodedWithTable(std::u16string_view text, const std::uint16_t* codes,
                            Unencodable policy, std::string& out);

// Appends what stands for character (one unit, or a surrogate pair) that the code page
// cannot encode.
void AppendUnencodable(std::u16string_view character, Unencodable policy, std::string& out);

}  // namespace velkora
