#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/ansi_code_page.h"

namespace velkora {

// Replaces, in place, each character Windows forbids in file names by a full-width or
// typographic counterpart, and returns the result. The length never changes.
std::u16string SafeFileName(std::u16string& text);

// Number of bytes text occupies in the ANSI code page.
std::int32_t LenMbcs(std::u16string text, const AnsiCodePage& codePage);

enum class NameKind { kFolder, kTitle };

// Makes a name that already passed SafeFileName usable as a Windows file or folder name:
// control characters become spaces, a folder name of dots and spaces cannot mean "." or
// "..", a folder name does not end with a dot or a space (their full-width forms take
// their place), and a reserved device name (CON, NUL, COM1...) gets "_" in front.
std::u16string MakeWindowsSafe(std::u16string name, NameKind kind);

}  // namespace velkora
