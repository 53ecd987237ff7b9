#include "platform/absolute_path.h"

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_paths.h"

namespace velkora {

std::u16string AbsolutePath(std::u16string_view path) {
  const std::wstring wide = Wide(path);
  if (wide.empty() || wide.find(L'\0') != std::wstring::npos) return {};
  std::wstring full = FullPathName(wide);
  // Only a drive's root ("C:\") keeps its separator.
  while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
  return FromWide(full);
}

// GetFullPathNameW works on the names alone: it follows no link.
std::u16string PlainAbsolutePath(std::u16string_view path) { return AbsolutePath(path); }

}  // namespace velkora
