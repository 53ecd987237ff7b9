#include "engine/sources/html/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/sources/html/bookmark_file.h"
#include "engine/sources/html/line_decoder.h"
#include "engine/text/ascii.h"
#include "engine/text/text_decoding.h"
#include "engine/text/utf8.h"
#include "tests/test_support.h"

namespace velkora {
namespace {

// Hands out its bytes a few at a time, so that line ends straddle reads.
class ChunkedStream final : public InputStream {
 public:
  ChunkedStream(std::string bytes, std::size_t chunk) : bytes_(std::move(bytes)), chunk_(chunk) {}

  IoResult Read(char* buffer, std::size_t capacity, std::size_t& received) override {
    if (failAt_ != std::string::npos && offset_ >= failAt_) return IoResult::Failure(u"EIO");
    received = std::min({capacity, chunk_, bytes_.size() - offset_});
    bytes_.copy(buffer, received, offset_);
    offset_ += received;
    return IoResult::Success();
  }

  std::size_t failAt_ = std::string::npos;

 private:
  std::string bytes_;
  std::size_t chunk_;
  std::size_t offset_ = 0;
};

std::vector<std::string> Lines(const std::string& bytes, std::size_t chunk) {
  LineReader reader(std::make_unique<ChunkedStream>(bytes, chunk));
  std::vector<std::string> lines;
  std::string line;
  bool gotLine = false;
  while (reader.Next(line, gotLine) && gotLine) lines.push_back(line);
  return lines;
}

// Each line end is sought once and kept for the lines before it: lines of one kind of end
// run up to one of the other kind far behind them, in the same read or the next.
TEST(LineReader, SplitsAtCrLfLfAndLoneCrWhereverReadsEnd) {
  const struct {
    std::string bytes;
    std::vector<std::string> lines;
  } cases[] = {
      {"a\r\nb\nc\rd\r\r\n\n\re", {"a", "b", "c", "d", "", "", "", "e"}},
      {"a\rb\rc\rd\ne\nf\r\ng", {"a", "b", "c", "d", "e", "f", "g"}},
      {"a\nb\nc\nd\re\rf\r\ng\r", {"a", "b", "c", "d", "e", "f", "g"}},
  };
  for (const auto& c : cases) {
    for (std::size_t chunk : {1u, 2u, 3u, 5u, 1000u}) {
      EXPECT_EQ(Lines(c.bytes, chunk), c.lines) << "chunk " << chunk;
    }
  }
}

TEST(LineReader, LastLineEndsTheFileWithOrWithoutALineEnd) {
  EXPECT_EQ(Lines("", 4), std::vector<std::string>{});
  EXPECT_EQ(Lines("x", 4), std::vector<std::string>{"x"});
  EXPECT_EQ(Lines("x\r\n", 4), std::vector<std::string>{"x"});
  EXPECT_EQ(Lines("x\r", 1), std::vector<std::string>{"x"});
  EXPECT_EQ(Lines("\r\n", 1), std::vector<std::string>{""});
}

TEST(LineReader, LinesLongerThanTheBufferStayWhole) {
  const std::string longLine(200000, 'x');
  EXPECT_EQ(Lines(longLine + "\r\nshort", 70000), (std::vector<std::string>{longLine, "short"}));
}

TEST(LineReader, ReadFailureIsReported) {
  auto stream = std::make_unique<ChunkedStream>("one\ntwo\nthree", 4);
  stream->failAt_ = 4;
  LineReader reader(std::move(stream));
  std::string line;
  bool gotLine = false;
  ASSERT_TRUE(reader.Next(line, gotLine));
  EXPECT_EQ(line, "one");
  const IoResult failed = reader.Next(line, gotLine);
  EXPECT_FALSE(failed);
  EXPECT_EQ(failed.reason, u"EIO");
}

// Opens every path as the same bytes, handed out a few at a time.
class ChunkedStreams final : public FileStreams {
 public:
  ChunkedStreams(std::string bytes, std::size_t chunk) : bytes_(std::move(bytes)), chunk_(chunk) {}
  IoResult OpenInput(std::u16string_view, std::unique_ptr<InputStream>& stream) override {
    stream = std::make_unique<ChunkedStream>(bytes_, chunk_);
    return IoResult::Success();
  }
  IoResult OpenOutputIn(const FolderHandle&, std::u16string_view,
                        std::unique_ptr<OutputStream>&) override {
    return IoResult::Failure(u"read only");
  }

 private:
  std::string bytes_;
  std::size_t chunk_;
};

// The encoding decided as the file is read through for counting, in reads of chunk bytes.
TextEncoding Detect(const std::string& bytes, std::size_t chunk) {
  ChunkedStreams streams(bytes, chunk);
  std::unique_ptr<BookmarkFile> file;
  TextEncoding start = TextEncoding::kUtf16BigEndian;
  EXPECT_TRUE(BookmarkFile::OpenDetecting(streams, u"f", file, start));
  std::string_view line;
  bool gotLine = true;
  bool tooLong = false;
  while (gotLine) EXPECT_TRUE(file->ReadLineBytes(line, gotLine, tooLong));
  TextEncoding encoding = TextEncoding::kUtf16BigEndian;
  EXPECT_TRUE(file->DetectedEncoding(encoding));
  return encoding;
}

TEST(TextEncoding, ByteOrderMarkThenUtf8DeclarationDecide) {
  using enum TextEncoding;
  const std::string pad(70000, ' ');  // moves what follows past the first read
  const struct {
    std::string bytes;
    TextEncoding expected;
  } cases[] = {
      {"", kAnsiCodePage},
      {"\xEF\xBB", kAnsiCodePage},
      {"\xEF\xBB\xBF<LI>\xFF", kUtf8},
      {"\xFF\xFE<\0L\0", kUtf16LittleEndian},
      {"\xFE\xFF\0<", kUtf16BigEndian},
      {"<META charset=utf-8>\x82\xA0", kUtf8},  // broken bytes, but no "<LI>"
      {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">", kUtf8},
      {"<Meta\ncharset='utf8'/>\xE3\x81\x82<LI>", kUtf8},
      {"<META/CHARSET=UTF-8", kUtf8},
      {"<meta charset=utf-8>" + pad + "<LI>\xE3\x81", kAnsiCodePage},
      {"<meta charset=utf-8>" + pad + "<DT>\xE3\x81", kUtf8},
      {"<LI>\x82\xA0" + pad + "<meta charset=utf-8>", kAnsiCodePage},
      {"<meta charset=utf-8>\xC0\xAF<li>", kUtf8},
      {"<meta charset=utf-8>\x82\xA0<LI>", kAnsiCodePage},  // broken before the "<LI>"
      {"<metadata charset=utf-8>", kAnsiCodePage},
      {"<meta> charset=utf-8", kAnsiCodePage},
      {"<meta charset=utf-16>", kAnsiCodePage},
      {"<meta charset=utf-8.x>", kAnsiCodePage},
      {"<meta charset=utf8_>", kAnsiCodePage},
      {"<meta charset= utf-8>", kAnsiCodePage},
      {"<meta name=\"x>charset=utf-8\">", kAnsiCodePage},
      {"<meta content=\"charset=utf-8\"" + pad + "<LI>", kUtf8},
      // Only the first <META> that declares a charset counts.
      {"<META CONTENT=\"text/html; charset=Shift_JIS\">\n<META charset=utf-8>", kAnsiCodePage},
      {"<meta charset=x-sjis>" + pad + "<meta charset=utf-8>", kAnsiCodePage},
      {"<meta charset=utf-8><meta charset=shift_jis>\x82\xA0", kUtf8},
      {"<meta name=x><meta charset=\"\"><meta charset=utf-8>", kUtf8},
      {"<meta charset=utf-8 charset=sjis>", kUtf8},
  };
  for (const auto& c : cases) {
    for (std::size_t chunk : {1u, 5u, 64u * 1024}) {
      EXPECT_EQ(Detect(c.bytes, chunk), c.expected) << c.bytes.substr(0, 40) << " chunk " << chunk;
    }
  }
}

TEST(TextEncoding, LinesAreDecodedInTheFilesEncoding) {
  using enum TextEncoding;
  const struct {
    TextEncoding encoding;
    std::string bytes;
    std::vector<std::u16string> lines;
  } cases[] = {
      {kUtf8, "\xEF\xBB\xBF\xC3\xA9\r\n\xF0\x9F\x98\x80\r\r\n", {u"é", u"\U0001F600", u""}},
      {kUtf8, "a\xE2\x82\nb\xEF\xBB\xBF", {u"a\uFFFD", u"b\uFEFF"}},  // a mark inside is text
      {kUtf16LittleEndian,
       std::string("\xFF\xFE"
                   "a\0\r\0\n\0\r\0b\0\n\0",
                   14),
       {u"a", u"", u"b"}},
      {kUtf16BigEndian, std::string("\xFE\xFF\0a\x0D\x0A\0\x0D", 8), {u"a\u0D0A"}},
      {kUtf16LittleEndian,
       std::string("\xFF\xFE=\xD8\0\xDE\0\xD8\n\0\0\xDCz", 13),
       {u"\U0001F600\uFFFD", u"\uFFFD\uFFFD"}},
      {kUtf16BigEndian, std::string("\0a\0\n\xD8", 5), {u"a", u"\uFFFD"}},  // no mark: all text
  };
  for (const auto& c : cases) {
    for (std::size_t chunk : {1u, 3u, 64u * 1024}) {
      ChunkedStreams streams(c.bytes, chunk);
      std::unique_ptr<BookmarkFile> file;
      ASSERT_TRUE(BookmarkFile::Open(streams, u"f", c.encoding, file));
      const LineDecoder decoder(c.encoding, testing::NativeCodePage());
      std::vector<std::u16string> lines;
      std::string_view bytes;
      bool gotLine = false;
      bool tooLong = false;
      while (file->ReadLineBytes(bytes, gotLine, tooLong) && gotLine) {
        decoder.Decode(bytes, lines.emplace_back());
      }
      EXPECT_EQ(lines, c.lines) << c.bytes.size() << " chunk " << chunk;
    }
  }
}

TEST(TextEncoding, EachMaximalSubpartOfBadUtf8IsOneReplacement) {
  const struct {
    std::string bytes;
    std::u16string text;
  } cases[] = {
      {"\x80\xBF", u"\uFFFD\uFFFD"},
      {"\xC0\xAF\xC1\xBF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // overlong leads
      {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},            // overlong three bytes
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // a surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
      {"\xF0\x9F\x98x\xE3\x81y\xC3", u"\uFFFDx\uFFFDy\uFFFD"},
      {"\xF5\xFF\xEF\xBF\xBF", u"\uFFFD\uFFFD\uFFFF"},
      {"\xF4\x8F\xBF\xBF\xE0\xA0\x80", u"\U0010FFFF\u0800"},
  };
  for (const auto& c : cases) {
    std::u16string text = u"stale";
    DecodeUtf8(c.bytes, text);
    EXPECT_EQ(text, c.text) << c.bytes;
  }
}

// Runs of ASCII, read eight bytes at a time, and kana and kanji, read without the
// general checks: each piece decodes the same wherever it stands against an eight-byte
// boundary, between runs of every length, both as text (escaped: as FromUtf8 gives a
// name, each byte of an ill-formed sequence a lone surrogate).
TEST(TextEncoding, FastPathsDecodeAsTheGeneralRule) {
  const struct {
    std::string bytes;
    std::u16string text;
    std::u16string escaped;
  } pieces[] = {
      {"", u"", u""},
      {"\xE3\x81\x8B\xE3\x81\xAA", u"かな", u"かな"},
      {"\xEF\xBF\xBD\xE1\x80\x80", u"\uFFFD\u1000", u"\uFFFD\u1000"},
      {"\xE1\x80", u"\uFFFD", u"\xDCE1\xDC80"},  // cut off
      {"\xE1\x80"
       "A",
       u"\uFFFDA",
       u"\xDCE1\xDC80"
       u"A"},  // cut off by ASCII
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", u"\xDCED\xDCA0\xDC80"},
      {"\xE0\xA0\x80\xC3\xA9", u"\u0800é", u"\u0800é"},
      {"\xF0\x9F\x98\x80", u"\U0001F600", u"\U0001F600"},
  };
  for (const auto& piece : pieces) {
    for (std::size_t before = 0; before <= 17; ++before) {
      const std::size_t after = 17 - before;
      const std::string bytes = std::string(before, 'a') + piece.bytes + std::string(after, 'b');
      std::u16string text;
      DecodeUtf8(bytes, text);
      EXPECT_EQ(text, std::u16string(before, u'a') + piece.text + std::u16string(after, u'b'))
          << piece.bytes << " after " << before;
      EXPECT_EQ(FromUtf8(bytes),
                std::u16string(before, u'a') + piece.escaped + std::u16string(after, u'b'))
          << piece.bytes << " after " << before;
    }
  }
}

// Hex digits are looked up in a table of the ASCII characters: every byte and the UTF-16
// units around it give the value of a digit of either case, -1 for all else.
TEST(TextEncoding, HexDigitsOfEitherCaseOnly) {
  const auto expected = [](char32_t c) {
    const std::string_view digits = "0123456789abcdef";
    const char32_t lower = c >= U'A' && c <= U'F' ? c + 32 : c;
    const std::size_t at = lower < 128 ? digits.find(static_cast<char>(lower)) : digits.npos;
    return at == digits.npos ? -1 : static_cast<int>(at);
  };
  for (int byte = -128; byte < 128; ++byte) {
    EXPECT_EQ(AsciiHexValue(static_cast<char>(byte)), expected(static_cast<unsigned char>(byte)));
  }
  for (const char16_t unit : {u'\x80', u'\xFF', u'\u0130', u'\uFF10', u'\uFF41'}) {
    EXPECT_EQ(AsciiHexValue(unit), -1);
  }
}

// An endless line of zeros, as /dev/zero gives, up to size bytes.
class ZeroStream final : public InputStream {
 public:
  explicit ZeroStream(std::size_t size) : left_(size) {}
  IoResult Read(char* buffer, std::size_t capacity, std::size_t& received) override {
    received = std::min(capacity, left_);
    std::fill_n(buffer, received, '\0');
    left_ -= received;
    return IoResult::Success();
  }

 private:
  std::size_t left_;
};

TEST(LineReader, LinesOverTheCapAreSkippedUnkept) {
  const std::string atCap(kMaxLineBytes, 'x');
  const struct {
    std::string bytes;
    LineUnits units;
    std::vector<bool> tooLong;
  } cases[] = {
      {atCap + "\n" + atCap + "y\r\nz", {}, {false, true, false}},
      {"\xFF\xFE" + atCap + std::string("\r\0", 2) + atCap + "x",
       {2, false, "\xFF\xFE"},
       {false, true}},
  };
  for (const auto& c : cases) {
    LineReader reader(std::make_unique<ChunkedStream>(c.bytes, 1 << 20), c.units);
    std::vector<bool> tooLong;
    std::string_view line;
    bool gotLine = false;
    bool lineTooLong = false;
    while (reader.Next(line, gotLine, lineTooLong) && gotLine) {
      tooLong.push_back(lineTooLong);
      EXPECT_TRUE(!lineTooLong || line.empty());
    }
    EXPECT_EQ(tooLong, c.tooLong);
  }
  LineReader endless(std::make_unique<ZeroStream>(3 * kMaxLineBytes));
  std::string_view line;
  bool gotLine = false;
  bool tooLong = false;
  ASSERT_TRUE(endless.Next(line, gotLine, tooLong));
  EXPECT_TRUE(gotLine && tooLong && line.empty());
}

}  // namespace
}  // namespace velkora
