#pragma once

// <shellapi.h> needs the types of <windows.h> before it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <string>
#include <string_view>

namespace velkora {

// A path as a person typed or pasted it, without the spaces around it and without the
// double quotes around it that Explorer's "copy as path" adds. Windows drops spaces at the
// end of a name, and no name holds '"', so nothing that names a file is lost.
std::wstring TrimmedPath(std::wstring_view text);

// The file named first after the program on a command line (a file dropped onto the
// program's icon, or sent to it from Explorer's 送る menu), or empty when none is named.
std::wstring PathFromCommandLine(const wchar_t* commandLine);

// The first file of a drop onto a window; empty when the drop holds none.
std::wstring FirstDroppedFile(HDROP drop);

}  // namespace velkora
