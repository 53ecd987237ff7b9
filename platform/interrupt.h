#pragma once

#include <string_view>

namespace velkora {

// Makes an interrupt end the process at once, as a console tool must: SIGINT, SIGTERM and
// SIGHUP on POSIX; Ctrl+C, Ctrl+Break and closing the console on Windows. The temporary
// files the platform layer has made are removed (a shortcut being written, the copy of
// standard input), the latest text given to SetInterruptText is written to standard
// error, and the exit status is 130. Only the console tool installs it.
void ExitOnInterrupt();

// The text an interrupt writes to standard error: how far the run got.
void SetInterruptText(std::u16string_view text);

}  // namespace velkora
