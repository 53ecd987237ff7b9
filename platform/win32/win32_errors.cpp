#include "platform/win32/win32_errors.h"

#include <windows.h>

#include "engine/run/messages.h"
#include "platform/win32/wide_text.h"

namespace velkora {
namespace {

// Frees a buffer FormatMessageW allocated, when it goes.
struct LocalBuffer {
  wchar_t* text = nullptr;
  ~LocalBuffer() {
    if (text != nullptr) ::LocalFree(text);
  }
};

}  // namespace

std::u16string SystemErrorText(std::uint32_t error) {
  LocalBuffer buffer;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer.text), 0, nullptr);
  std::u16string text = length > 0 ? FromWide(std::wstring_view(buffer.text, length)) : u"";
  // The system's texts end with a line end (and often a full stop) meant for a dialog.
  while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u' ')) {
    text.pop_back();
  }
  if (text.empty()) text = u"Windows のエラー " + DecimalText(error);
  return text;
}

IoResult LastErrorFailure() { return IoResult::Failure(SystemErrorText(::GetLastError())); }

}  // namespace velkora
