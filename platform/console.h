#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velkora {

// The program's arguments after its name, as text.
std::vector<std::u16string> CommandLineArguments(int argc, char** argv);

// True when standard error is a terminal that a person watches.
bool StandardErrorIsTerminal();

// Writes text to standard output or standard error: as Unicode to a console, as UTF-8
// to a file or pipe. False when it could not be written.
bool WriteStandardOutput(std::u16string_view text);
bool WriteStandardError(std::u16string_view text);

}  // namespace velkora
