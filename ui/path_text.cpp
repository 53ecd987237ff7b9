#include "ui/path_text.h"

#include <memory>

#include "engine/text/text.h"
#include "platform/win32/wide_text.h"

namespace velkora {
namespace {

// Spaces a person may leave around a path: ASCII and ideographic spaces, tabs, line ends.
constexpr std::wstring_view kSpaces = L" \t\r\n\u3000";

std::wstring_view Trimmed(std::wstring_view text) {
  const std::size_t first = text.find_first_not_of(kSpaces);
  if (first == std::wstring_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kSpaces) - first + 1);
}

struct LocalFreeDeleter {
  void operator()(wchar_t** arguments) const { LocalFree(arguments); }
};

}  // namespace

std::wstring TrimmedPath(std::wstring_view text) {
  // The quotes are taken off as the console converter takes them off its arguments.
  return std::wstring(Trimmed(Wide(WithoutEnclosingQuotes(FromWide(Trimmed(text))))));
}

std::wstring PathFromCommandLine(const wchar_t* commandLine) {
  if (commandLine == nullptr || *commandLine == L'\0') return {};
  int count = 0;
  const std::unique_ptr<wchar_t*, LocalFreeDeleter> arguments(
      CommandLineToArgvW(commandLine, &count));
  if (arguments == nullptr || count < 2) return {};
  return TrimmedPath(arguments.get()[1]);
}

std::wstring FirstDroppedFile(HDROP drop) {
  if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 0) return {};
  const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
  std::wstring path(static_cast<std::size_t>(length) + 1, L'\0');
  const UINT copied = DragQueryFileW(drop, 0, path.data(), length + 1);
  path.resize(copied);
  return path;
}

}  // namespace velkora
