#pragma once

#include <string_view>

namespace velkora {

// Makes an interrupt end the process at once, as a console tool must (but see
// StopOnFirstInterrupt): SIGINT, SIGTERM, SIGHUP and SIGQUIT on POSIX; Ctrl+C, Ctrl+Break
// and closing the console on Windows. The
// temporary files the platform layer has made are removed (a shortcut being written, the
// copy of standard input), the latest text given to SetInterruptText is written to
// standard error, and the exit status is 130. On POSIX it also ignores SIGPIPE: a reader
// of standard output or error that went away makes those writes fail, which the tool
// survives, instead of ending the run with the temporary files left. Only the console
// tool installs it.
void ExitOnInterrupt();

// While it lives, the first interrupt does not end the process: it only asks for a stop,
// which InterruptStopRequested then tells, so that the conversion ends between two
// bookmarks and leaves its target and record consistent. A second interrupt ends the
// process at once, as above. On Windows a console closed meanwhile gives the run most of
// the few seconds the system waits before it ends the process. For the span of the
// conversion, after ExitOnInterrupt; one at a time.
class StopOnFirstInterrupt {
 public:
  StopOnFirstInterrupt();
  ~StopOnFirstInterrupt();
  StopOnFirstInterrupt(const StopOnFirstInterrupt&) = delete;
  StopOnFirstInterrupt& operator=(const StopOnFirstInterrupt&) = delete;
};

// Whether an interrupt asked for a stop while a StopOnFirstInterrupt lived.
bool InterruptStopRequested();

// For a run that stopped on an interrupt: writes to standard error what the handler would
// (the latest text, with the number of shortcuts placed). An interrupt after it ends the
// process at once without writing it again.
void WriteInterruptText();

// The text an interrupt writes to standard error: how far the run got.
void SetInterruptText(std::u16string_view text);
// As above, with the number of shortcuts put in place so far (renamed over their names;
// icon files are not counted) between before and after. The number is counted where the
// rename is done, in the same step that an interrupt cannot split, so it is exactly the
// shortcuts on disk.
void SetInterruptText(std::u16string_view before, std::u16string_view after);

// The number of shortcuts put in place so far, the number an interrupt writes. A program that
// stops a run itself, between two shortcuts, takes how many the run wrote from it.
long long PlacedFileCount();

}  // namespace velkora
