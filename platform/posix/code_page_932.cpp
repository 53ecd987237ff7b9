#include "platform/posix/code_page_932.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <vector>

#include "engine/text/ansi_encoding.h"
#include "engine/text/surrogates.h"

namespace velkora {
namespace {

constexpr char16_t kUnknownPair = u'\u30FB';

bool IsLeadByte(std::uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsTrailByte(std::uint8_t b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// One iconv conversion descriptor, closed when it goes.
class Iconv {
 public:
  Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
  }
  ~Iconv() { iconv_close(handle_); }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  // Converts input whole; false when any of it cannot be converted.
  bool Convert(const char* input, std::size_t size, std::string& output) {
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    char buffer[16];
    char* in = const_cast<char*>(input);
    char* out = buffer;
    std::size_t inLeft = size;
    std::size_t outLeft = sizeof buffer;
    if (iconv(handle_, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) return false;
    if (iconv(handle_, nullptr, nullptr, &out, &outLeft) == static_cast<std::size_t>(-1))
      return false;
    output.assign(buffer, out);
    return inLeft == 0;
  }

 private:
  iconv_t handle_;
};

}  // namespace

struct CodePage932::Tables {
  std::array<char16_t, 256> single{};
  std::vector<char16_t> pairs = std::vector<char16_t>(256 * 256, kUnknownPair);
  // Bytes of each UTF-16 code unit: one byte in the low half, or lead << 8 | trail.
  std::vector<std::uint16_t> encode = std::vector<std::uint16_t>(0x10000, kNoAnsiCode);
};

namespace {

// The C library maps some characters to the code of a look-alike (U+301C to the code of
// U+FF5E); such a character has no code of its own, as Windows converts with
// WC_NO_BEST_FIT_CHARS. A character that some code decodes to keeps one such code.
void KeepCodesThatDecodeBack(CodePage932::Tables& tables) {
  auto decode = [&tables](std::uint16_t code) {
    return code > 0xFF ? tables.pairs[code] : tables.single[code];
  };
  std::vector<std::uint16_t> decodedFrom(0x10000, kNoAnsiCode);
  for (std::uint32_t code = 0xFFFF; code-- > 0;) {
    if (code <= 0xFF || IsLeadByte(static_cast<std::uint8_t>(code >> 8))) {
      const char16_t c = decode(static_cast<std::uint16_t>(code));
      if (c != kUnknownPair) decodedFrom[c] = static_cast<std::uint16_t>(code);
    }
  }
  for (std::uint32_t c = 0x80; c < 0x10000; ++c) {
    std::uint16_t& code = tables.encode[c];
    if (code != kNoAnsiCode && decode(code) != c) code = decodedFrom[c];
  }
  for (const char16_t c : kLookAlikesOf932) tables.encode[c] = kNoAnsiCode;
}

}  // namespace

CodePage932::CodePage932(std::unique_ptr<Tables> tables) : tables_(std::move(tables)) {}

const CodePage932& CodePage932::Instance() {
  static const CodePage932 instance([] {
    auto tables = std::make_unique<Tables>();
    Iconv decoder("UTF-16LE", "CP932");
    std::string utf16;
    auto decode = [&](const char* bytes, std::size_t size, char16_t& result) {
      if (!decoder.Convert(bytes, size, utf16) || utf16.size() != 2) return false;
      result = static_cast<char16_t>(static_cast<std::uint8_t>(utf16[0]) |
                                     static_cast<std::uint8_t>(utf16[1]) << 8);
      return true;
    };
    for (int b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      if (!decode(&byte, 1, tables->single[b])) tables->single[b] = kUnknownPair;
      if (!IsLeadByte(static_cast<std::uint8_t>(b))) continue;
      for (int t = 0x40; t <= 0xFC; ++t) {
        if (!IsTrailByte(static_cast<std::uint8_t>(t))) continue;
        const char pair[2] = {byte, static_cast<char>(t)};
        char16_t c = 0;
        if (decode(pair, 2, c)) tables->pairs[b << 8 | t] = c;
      }
    }
    // Windows maps these single bytes, which the C library's table leaves out.
    const std::array<std::pair<std::uint8_t, char16_t>, 5> windowsOnly{{{0x80, u'\u0080'},
                                                                        {0xA0, u'\uF8F0'},
                                                                        {0xFD, u'\uF8F1'},
                                                                        {0xFE, u'\uF8F2'},
                                                                        {0xFF, u'\uF8F3'}}};
    for (const auto& [byte, c] : windowsOnly) tables->single[byte] = c;

    Iconv encoder("CP932", "UTF-16LE");
    std::string bytes;
    for (std::uint32_t c = 0; c < 0x10000; ++c) {
      if (IsSurrogate(c)) continue;
      const char unit[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
      if (!encoder.Convert(unit, 2, bytes) || bytes.empty() || bytes.size() > 2) continue;
      tables->encode[c] =
          bytes.size() == 1 ? static_cast<std::uint8_t>(bytes[0])
                            : static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[0]) << 8 |
                                                         static_cast<std::uint8_t>(bytes[1]));
    }
    for (const auto& [byte, c] : windowsOnly) tables->encode[c] = byte;
    KeepCodesThatDecodeBack(*tables);
    return CodePage932(std::move(tables));
  }());
  return instance;
}

std::string CodePage932::ToAnsi(std::u16string_view text, Unencodable policy) const {
  return EncodeWithTable(text, tables_->encode.data(), policy);
}

void CodePage932::AppendAnsi(std::u16string_view text, Unencodable policy, std::string& out) const {
  AppendEncodedWithTable(text, tables_->encode.data(), policy, out);
}

bool CodePage932::SearchableInBytes(std::string_view ascii) const {
  // No pair decodes to an ASCII character, and a byte that is no trail byte (below 0x40:
  // "<", digits, punctuation) is never taken into the character before it. Text that starts
  // with one is found in the bytes as it is in the decoded text.
  const bool itself = std::all_of(ascii.begin(), ascii.end(), [this](char c) {
    const auto b = static_cast<std::uint8_t>(c);
    return b < 0x80 && tables_->single[b] == b;
  });
  return !ascii.empty() && itself && !IsTrailByte(static_cast<std::uint8_t>(ascii.front()));
}

bool CodePage932::HoldsAscii(std::string_view bytes, std::string_view ascii) const {
  if (!SearchableInBytes(ascii)) return AnsiCodePage::HoldsAscii(bytes, ascii);
  return bytes.find(ascii) != std::string_view::npos;
}

std::size_t CodePage932::CountAscii(std::string_view bytes, std::string_view ascii) const {
  if (!SearchableInBytes(ascii)) return AnsiCodePage::CountAscii(bytes, ascii);
  return CountOccurrences(bytes, ascii);
}

std::u16string CodePage932::FromAnsi(std::string_view bytes) const {
  std::u16string out;
  FromAnsiInto(bytes, out);
  return out;
}

void CodePage932::FromAnsiInto(std::string_view bytes, std::u16string& out) const {
  // At most one unit per byte; written through a pointer, trimmed at the end.
  out.resize(bytes.size());
  char16_t* next = out.data();
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<std::uint8_t>(bytes[i]);
    if (b < 0x80) {
      *next++ = static_cast<char16_t>(b);
    } else if (!IsLeadByte(b)) {
      *next++ = tables_->single[b];
    } else if (i + 1 < bytes.size() && IsTrailByte(static_cast<std::uint8_t>(bytes[i + 1]))) {
      *next++ = tables_->pairs[b << 8 | static_cast<std::uint8_t>(bytes[i + 1])];
      ++i;
    } else {
      *next++ = kUnknownPair;
    }
  }
  out.resize(static_cast<std::size_t>(next - out.data()));
}

}  // namespace velkora
