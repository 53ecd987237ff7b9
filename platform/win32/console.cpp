#include "platform/console.h"

// shellapi.h needs what windows.h defines, so their order stays.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <algorithm>

#include "engine/text/surrogates.h"
#include "engine/text/utf8.h"
#include "platform/win32/wide_text.h"

namespace velkora {
namespace {

// Characters per WriteConsoleW call; older consoles refuse very large writes.
constexpr std::size_t kConsolePiece = 8192;
// WriteFile counts in DWORD; larger texts go through in pieces.
constexpr std::size_t kLargestFileWrite = std::size_t{1} << 30;

// Frees the argument array CommandLineToArgvW allocated, when it goes.
struct ArgumentArray {
  wchar_t** items = nullptr;
  ~ArgumentArray() {
    if (items != nullptr) ::LocalFree(items);
  }
};

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode);
}

bool WriteToConsole(HANDLE console, std::u16string_view text) {
  while (!text.empty()) {
    std::size_t piece = std::min(text.size(), kConsolePiece);
    // A pair of surrogates is never split between two writes.
    if (piece < text.size() && IsHighSurrogate(text[piece - 1])) --piece;
    DWORD written = 0;
    if (!::WriteConsoleW(console, text.data(), static_cast<DWORD>(piece), &written, nullptr) ||
        written == 0) {
      return false;
    }
    text.remove_prefix(std::min<std::size_t>(written, text.size()));
  }
  return true;
}

bool WriteToFile(HANDLE file, std::u16string_view text) {
  const std::string bytes = ToUtf8(text);
  std::string_view rest = bytes;
  while (!rest.empty()) {
    DWORD written = 0;
    const auto wanted = static_cast<DWORD>(std::min(rest.size(), kLargestFileWrite));
    if (!::WriteFile(file, rest.data(), wanted, &written, nullptr) || written == 0) {
      return false;
    }
    rest.remove_prefix(written);
  }
  return true;
}

// Unicode to a console, UTF-8 to anything else (a file, a pipe).
bool WriteTo(DWORD which, std::u16string_view text) {
  const HANDLE handle = ::GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
  return IsConsole(handle) ? WriteToConsole(handle, text) : WriteToFile(handle, text);
}

}  // namespace

// The arguments come from the wide command line: argv holds them in the ANSI code page,
// which cannot spell every file name.
std::vector<std::u16string> CommandLineArguments(int /*argc*/, char** /*argv*/) {
  std::vector<std::u16string> arguments;
  int count = 0;
  ArgumentArray array{::CommandLineToArgvW(::GetCommandLineW(), &count)};
  if (array.items == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(FromWide(array.items[i]));
  return arguments;
}

bool StandardErrorIsTerminal() { return IsConsole(::GetStdHandle(STD_ERROR_HANDLE)); }

bool WriteStandardOutput(std::u16string_view text) { return WriteTo(STD_OUTPUT_HANDLE, text); }

bool WriteStandardError(std::u16string_view text) { return WriteTo(STD_ERROR_HANDLE, text); }

}  // namespace velkora
