#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/interfaces/ansi_code_page.h"

namespace velkora {

// The system's ANSI code page (CP_ACP), through MultiByteToWideChar and WideCharToMultiByte.
// A character is encodable only when its bytes decode back to it (no best-fit look-alikes),
// and a character beyond the Basic Multilingual Plane (a surrogate pair) never is, so
// LenMbcs counts as on every other platform. Code pages of one- and two-byte characters
// (932 among them) encode through a table of every code unit, made once from the system's
// conversions. Invalid byte sequences decode as Windows decodes them.
class Win32CodePage final : public AnsiCodePage {
 public:
  Win32CodePage();

  // The number of the code page in use (932 on a Japanese-language system).
  std::uint32_t Identifier() const { return identifier_; }

  using AnsiCodePage::ToAnsi;
  std::string ToAnsi(std::u16string_view text, Unencodable policy) const override;
  std::u16string FromAnsi(std::string_view bytes) const override;

 private:
  // Appends the bytes of text, which holds no surrogates, through the system's converter.
  void AppendAnsi(std::u16string_view text, std::string& out) const;
  // The table of codes of every unit, or empty for a code page with longer characters.
  std::vector<std::uint16_t> MakeCodeTable() const;
  // Appends the text of bytes, which end on a character boundary.
  void AppendText(std::string_view bytes, std::u16string& out) const;
  // The longest prefix of bytes, up to limit, that ends on a character boundary.
  std::size_t WholeCharacters(std::string_view bytes, std::size_t limit) const;

  std::uint32_t identifier_;
  std::array<bool, 256> leadByte_{};
  std::uint32_t maxCharSize_ = 0;
  std::vector<std::uint16_t> codes_;
};

}  // namespace velkora
