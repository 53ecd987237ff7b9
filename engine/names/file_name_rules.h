#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/interfaces/ansi_code_page.h"

namespace velkora {

// Replaces, in place, each character Windows forbids in file names by a full-width or
// typographic counterpart, and returns the result. The length never changes.
std::u16string SafeFileName(std::u16string& text);
// The same, without the copy it returns.
void ReplaceForbiddenCharacters(std::u16string& text);

// Number of bytes text occupies in the ANSI code page.
std::int32_t LenMbcs(std::u16string text, const AnsiCodePage& codePage);

enum class NameKind { kFolder, kTitle };

// Makes a name that already passed SafeFileName usable as a Windows file or folder name:
// control characters become spaces, a folder name of dots and spaces cannot mean "." or
// "..", a reserved device name (CON, NUL, COM1...) gets "_" in front, and then a folder
// name loses the dots and spaces at its end, as Windows drops them (it may become empty).
// A title keeps them: its name goes on with ".url".
std::u16string MakeWindowsSafe(std::u16string name, NameKind kind);

// The name of the folder for a bookmark folder named name in the file: name under the
// rules above. name is used up.
std::u16string FolderFileName(std::u16string& name);
// The name of a bookmark's shortcut, without ".url", made where it stands in name, which
// holds the bookmark's title: the title under the rules above or, when that leaves
// nothing, the host url names, or else "無題".
void MakeShortcutFileName(std::u16string& name, std::u16string_view url);

}  // namespace velkora
