// The target's record read back: what a planted or damaged record holds is refused with its
// line and reason, and what RecordText writes reads back the same.

#include <gtest/gtest.h>

#include <string>

#include "engine/record/record_text.h"
#include "engine/run/source_digest.h"
#include "engine/text/utf8.h"
#include "tests/test_support.h"

namespace velkora {
namespace {

const std::string kHash(64, 'a');

std::string Header(std::size_t entries, int version = 1) {
  return R"({"format":"velkora-record","version":)" + std::to_string(version) +
         R"(,"source":{"kind":"html","path":"b.html"},"entries":)" + std::to_string(entries) +
         "}\n";
}

std::string Entry(const std::string& path, const std::string& size = "1",
                  const std::string& hash = kHash) {
  return R"({"path":")" + path + R"(","kind":"file","size":)" + size + R"(,"sha256":")" + hash +
         R"(","modified":5,"identity":"g"})" + "\n";
}

TEST(ParseRecord, RefusesWhatNoRunWrites) {
  // Large enough to be read in two halves at once, with an empty path on the lines given.
  const auto large = [](std::size_t bad, std::size_t alsoBad) {
    std::string text = Header(2000);
    for (std::size_t line = 2; line <= 2001; ++line) {
      text += Entry(line == bad || line == alsoBad ? "" : std::to_string(line) + ".url");
    }
    return text;
  };
  const struct {
    std::string text;
    std::string reason;
  } rows[] = {
      {Header(1) + "{\"path\":\n", "行 2: JSON として読めません"},
      {Header(0, 2), "行 1: 記録の版が違います"},
      {std::string(kRecordByteLimit + 1, ' '), "64 MiB を超えて"},
      {Header(kRecordEntryLimit + 1), "項目が多すぎます"},
      {Header(2) + Entry("a.url"), "途中で切れて"},
      {Header(1) + Entry(""), "パスが空です"},
      {large(1500, 0), "行 1500: パスが空です"},
      {large(800, 1500), "行 800: パスが空です"},
      {Header(1) + Entry("/etc/a.url"), "「/」で始まって"},
      {Header(1) + Entry("C:/a.url"), "「:」"},
      {Header(1) + Entry(R"(\\\\server\\a.url)"), "「\\」"},
      {Header(1) + Entry("a/../../b.url"), "「.」か「..」"},
      {Header(1) + Entry("./b.url"), "「.」か「..」"},
      {Header(1) + Entry("a//b.url"), "空の名前"},
      {Header(1) + Entry("a/"), "空の名前"},
      {Header(1) + Entry(R"(a\u0000.url)"), "制御文字か NUL"},
      {Header(1) + Entry(R"(a\u001f.url)"), "制御文字か NUL"},
      {Header(2) + Entry("b.url") + Entry("b.url"), "行 3: 同じパスの項目が 2 つ"},
      {Header(2) + Entry("Ä/b.url") + Entry("ä/B.url"), "同じパスの項目が 2 つ"},
      {Header(1) + Entry("a.url", "1", kHash.substr(1)), "16 進 64 桁"},
      {Header(1) + Entry("a.url", "1", "g" + kHash.substr(1)), "16 進 64 桁"},
      {Header(1) + Entry("a.url", "-1"), "大きさが負です"},
      {Header(1) + Entry("a.url", "1,\"givenCreated\":\"x\""), "与えた日時が整数ではありません"},
      {Header(1) + Entry("a.url", "1,\"size\":1"), "行 2: 項目ではありません"},
      {Header(1) + Entry("a\xff.url"), "UTF-8 として読めない"},
      {Header(0).insert(1, R"("sourceDigest":"ab",)"), "読み込み元のハッシュが"},
      {R"({"entries":0,"format":"velkora-record","source":[1],"version":1})",
       "読み込み元が書かれて"},
      {Header(1) + "[1,{\"a\":2}]", "行 2: 項目ではありません"},
      // Values nested where none belong are passed over whole: the members after them
      // are read as themselves.
      {Header(1) + Entry("a.url", R"({"a":[1,{"b":[2]}]})"), "大きさが整数ではありません"},
      {Header(1) + R"({"path":[97,[98]],"kind":"folder","modified":5,"identity":"g"})",
       "項目のパスがありません"},
      {Header(1) + R"({"path":[70000],"kind":"folder","modified":5,"identity":"g"})",
       "項目のパスがありません"},
  };
  for (const auto& row : rows) {
    TargetRecord record;
    record.source.path = u"kept";
    const IoResult result = ParseRecord(row.text, record);
    EXPECT_FALSE(result.ok) << row.text.substr(0, 200);
    EXPECT_NE(ToUtf8(result.reason).find(row.reason), std::string::npos)
        << ToUtf8(result.reason) << " / " << row.text.substr(0, 200);
    EXPECT_EQ(record.source.path, u"kept");
  }
}

TEST(ParseRecord, ReadsBackWhatRecordTextWrote) {
  TargetRecord record{{RecordSourceKind::kFirefox, u"C:\\P\\places.sqlite"}, {}, {{7, 0, 9}}};
  // A name of bytes that are no UTF-8 (on Linux) and an HTML bookmark's identity.
  record.entries.push_back({u"z/\xDC81\xD800.url",
                            RecordEntryKind::kFile,
                            77,
                            {1, 2, 255},
                            -3,
                            std::u16string(u"F\0T\0https://e/", 14),
                            -4,
                            {}});
  record.entries.push_back({u"z", RecordEntryKind::kFolder, 0, {}, 9, u"guid-z", {}, 5});
  const std::string text = RecordText(record);
  TargetRecord read;
  ASSERT_TRUE(ParseRecord(text, read).ok) << text;
  std::swap(record.entries[0], record.entries[1]);
  EXPECT_EQ(read, record);
  EXPECT_EQ(RecordText(read), text);
}

// The digest a record keeps of its source changes with the file's bytes and with the
// target, whose path the names' lengths depend on, and is not taken of a file too large.
TEST(SourceDigest, TellsTheFileAndTheTargetApart) {
  testing::ConversionFixture fixture;
  const PlatformServices& platform = fixture.platform.Services();
  const auto digest = [&](const std::string& bytes, std::u16string_view target) {
    fixture.WriteBookmarkBytes(bytes);
    FileStamp stamp;
    return SourceDigest(platform, fixture.BookmarkFile().u16string(), target, stamp);
  };
  const auto first = digest("<LI>a", u"T");
  ASSERT_TRUE(first);
  EXPECT_EQ(digest("<LI>a", u"T"), first);
  EXPECT_NE(digest("<LI>b", u"T"), first);
  EXPECT_NE(digest("<LI>a", u"T2"), first);
  EXPECT_FALSE(digest(std::string(kSourceDigestLimit + 1, 'x'), u"T"));
}

}  // namespace
}  // namespace velkora
