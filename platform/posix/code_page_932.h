#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/interfaces/ansi_code_page.h"

namespace velkora {

// Code page 932 as Windows has it, built from the C library's "CP932" converter, plus the
// single bytes Windows maps on its own (0x80, 0xA0, 0xFD-0xFF). An unknown double-byte
// pair, or a lead byte without a valid trail byte, decodes to U+30FB. A character is
// encoded only to a code that decodes back to it.
class CodePage932 final : public AnsiCodePage {
 public:
  // The tables are built once per process and shared.
  static const CodePage932& Instance();

  using AnsiCodePage::ToAnsi;
  std::string ToAnsi(std::u16string_view text, Unencodable policy) const override;
  void AppendAnsi(std::u16string_view text, Unencodable policy, std::string& out) const override;
  std::u16string FromAnsi(std::string_view bytes) const override;
  void FromAnsiInto(std::string_view bytes, std::u16string& out) const override;
  bool HoldsAscii(std::string_view bytes, std::string_view ascii) const override;
  std::size_t CountAscii(std::string_view bytes, std::string_view ascii) const override;

  struct Tables;

 private:
  explicit CodePage932(std::unique_ptr<Tables> tables);
  // Whether ascii is found in the bytes as it is in the decoded text.
  bool SearchableInBytes(std::string_view ascii) const;
  std::unique_ptr<Tables> tables_;
};

}  // namespace velkora
