#include "platform/win32/win32_code_page.h"

#include <windows.h>

#include "engine/surrogates.h"

namespace velkora {
namespace {

// The conversion functions count in int; longer texts go through in pieces of this size.
constexpr std::size_t kPiece = std::size_t{1} << 24;

}  // namespace

Win32CodePage::Win32CodePage() : identifier_(::GetACP()) {
  CPINFO info{};
  if (::GetCPInfo(CP_ACP, &info)) {
    for (int range = 0; range + 1 < MAX_LEADBYTES && info.LeadByte[range] != 0; range += 2) {
      for (int b = info.LeadByte[range]; b <= info.LeadByte[range + 1]; ++b) leadByte_[b] = true;
    }
  }
}

std::string Win32CodePage::ToAnsi(std::u16string_view text) const {
  std::string out;
  out.reserve(text.size());
  // Surrogates are handled here, so that a pair or a lone half is one "?" whatever the
  // system's converter would make of it.
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!IsSurrogate(text[i])) continue;
    AppendAnsi(text.substr(start, i - start), out);
    if (StartsSurrogatePair(text, i)) ++i;
    out += '?';
    start = i + 1;
  }
  AppendAnsi(text.substr(start), out);
  return out;
}

void Win32CodePage::AppendAnsi(std::u16string_view text, std::string& out) const {
  while (!text.empty()) {
    const std::u16string_view piece = text.substr(0, kPiece);
    const auto* wide = reinterpret_cast<const wchar_t*>(piece.data());
    const int units = static_cast<int>(piece.size());
    // WC_NO_BEST_FIT_CHARS: "é" must become "?", not the "e" Windows would pick.
    const int size = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, units, nullptr, 0,
                                           nullptr, nullptr);
    if (size > 0) {
      const std::size_t at = out.size();
      out.resize(at + static_cast<std::size_t>(size));
      ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, units, out.data() + at, size,
                            nullptr, nullptr);
    } else {
      out.append(piece.size(), '?');  // the converter refused the text outright
    }
    text.remove_prefix(piece.size());
  }
}

std::u16string Win32CodePage::FromAnsi(std::string_view bytes) const {
  std::u16string out;
  out.reserve(bytes.size());
  while (!bytes.empty()) {
    const std::size_t length = WholeCharacters(bytes, kPiece);
    AppendText(bytes.substr(0, length), out);
    bytes.remove_prefix(length);
  }
  return out;
}

void Win32CodePage::AppendText(std::string_view bytes, std::u16string& out) const {
  const int count = static_cast<int>(bytes.size());
  const int size = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), count, nullptr, 0);
  if (size <= 0) {
    out.append(bytes.size(), u'\uFFFD');  // the converter refused the bytes outright
    return;
  }
  const std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(size));
  ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), count, reinterpret_cast<wchar_t*>(out.data() + at),
                        size);
}

std::size_t Win32CodePage::WholeCharacters(std::string_view bytes, std::size_t limit) const {
  if (bytes.size() <= limit) return bytes.size();
  std::size_t end = 0;
  while (end < limit) {
    const std::size_t step = leadByte_[static_cast<unsigned char>(bytes[end])] ? 2 : 1;
    if (end + step > limit) break;
    end += step;
  }
  return end > 0 ? end : limit;
}

}  // namespace velkora
