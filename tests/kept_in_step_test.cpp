// Runs over a target that an earlier run recorded: what is unchanged stays untouched, a
// moved bookmark takes its file along, and only recorded, unedited files are removed.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/record/record_text.h"
#include "engine/run/change_messages.h"
#include "engine/run/refusal_reasons.h"
#include "engine/text/utf8.h"
#include "tests/test_support.h"

namespace velkora::testing {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

class ChangeLines final : public ConversionObserver {
 public:
  Strings lines;
  void ShortcutWritten(std::u16string_view) override {}
  void ShortcutShortened(const BookmarkRecord&, std::u16string_view) override {}
  void ShortcutFailed(const BookmarkRecord&, std::u16string_view, std::u16string_view) override {}
  void LineUnreadable(const BookmarkRecord&, std::u16string_view) override {}
  void TargetChanged(const TargetChange& change) override {
    lines.push_back(ToUtf8(TargetChangeLine(change)));
  }
};

// Each file below root with its bytes and modification time: what a write changes.
std::map<std::string, std::pair<std::string, fs::file_time_type>> Files(const fs::path& root) {
  std::map<std::string, std::pair<std::string, fs::file_time_type>> files;
  for (const std::string& name : ListTree(root)) {
    if (!name.ends_with('/'))
      files[name] = {ReadBytes(root / fs::path(U16(name))),
                     fs::last_write_time(root / fs::path(U16(name)))};
  }
  files[".velkora/record"] = {ReadBytes(root / ".velkora/record"),
                              fs::last_write_time(root / ".velkora/record")};
  return files;
}

std::string Chromium(const std::string& folder, const std::string& title,
                     const std::string& added = "0") {
  return R"({"roots":{"bookmark_bar":{"children":[{"children":[{"date_added":")" + added +
         R"(","guid":"g-1","name":")" + title + R"(","type":"url","url":"http://g/"}],"name":")" +
         folder + R"(","type":"folder"}],"name":"B","type":"folder"}},"version":1})";
}

// A record of the target that names entry, a file of bytes there.
void PlantRecord(ConversionFixture& fixture, const std::u16string& entry,
                 const std::string& bytes) {
  TargetRecord record{{RecordSourceKind::kHtml, fixture.window.path}, {}};
  RecordEntry file{entry, RecordEntryKind::kFile, bytes.size(), {}, 0, u"x", {}, {}};
  fixture.platform.Services().sha256.Hash(bytes, file.sha256);
  record.entries.push_back(file);
  fs::create_directories(fixture.Out() / ".velkora");
  WriteBytes(fixture.Out() / ".velkora/record", RecordText(record));
}

TEST(KeptInStep, ARunFollowsTheRecordOfTheRunBefore) {
  const Strings ab{"<UL>",  Folder("F"), Bookmark("u1", "a"), Bookmark("u2", "b"),
                   "</UL>", Folder("G"), Bookmark("u3", "c"), "</UL>",
                   "</UL>"};
  const Strings none{"<UL>", "</UL>"};
  const Strings abTree{"F/", "F/a.url", "F/b.url", "G/", "G/c.url"};
  const Strings abFiles{"F/a.url", "F/b.url", "G/c.url", ".velkora/record"};
  const std::string c = ShortcutBytes("u3");
  const std::string linkKept = "残す: L/c.url（" + ToUtf8(kLinkInTheWay) + "）";
  using Outcome = ConversionReport::Outcome;
  const struct Row {
    const char* name;
    Strings first;  // HTML lines, or one line of Chromium JSON
    std::function<void(ConversionFixture&)> between;
    Strings second;
    RunOptions options;
    Strings tree;  // empty: not compared (a name cut to the system's limits)
    Strings lines;
    Strings untouched;  // files whose bytes and times stay
    Outcome outcome = Outcome::kCompleted;
    bool recordRefused = false;
    Strings restored{};  // files that hold again what the first run wrote
    std::int32_t shortened = 0;
  } rows[] = {
      {"unchanged re-run", ab, {}, ab, {true}, abTree, {}, abFiles},
      {"gone without removal",
       ab,
       {},
       {"<UL>", Folder("F"), Bookmark("u1", "a"), "</UL>", "</UL>"},
       {},
       abTree,
       {"残す: F/b.url（削除は指定されていません）", "残す: G/c.url（削除は指定されていません）"},
       {"F/a.url", "F/b.url"}},
      {"removal of what is ours only",
       ab,
       [](ConversionFixture& f) {
         WriteBytes(f.Out() / "F/b.url", "edited");
         WriteBytes(f.Out() / "G/mine.txt", "");
         WriteBytes(f.Out() / "mine.url", "");
       },
       {"<UL>", Folder("H"), Bookmark("u4", "d"), "</UL>", "</UL>"},
       {true},
       {"F/", "F/b.url", "G/", "G/mine.txt", "H/", "H/d.url", "mine.url"},
       {"削除: F/a.url", "残す: F/b.url（記録のあとで書き換えられています）",
        "削除: G/c.url", "残す: F（フォルダーにほかのものがあります）",
        "残す: G（フォルダーにほかのものがあります）"},
       {"F/b.url", "mine.url"}},
      {"renumbered name follows its file",
       {"<UL>", Folder("F"), Bookmark("u1", "t"), Bookmark("u2", "t"), "</UL>", "</UL>"},
       [](ConversionFixture& f) { fs::remove(f.Out() / "F/t.url"); },
       {"<UL>", Folder("F"), Bookmark("u2", "t"), "</UL>", "</UL>"},
       {true},
       {"F/", "F/t.url"},
       {"移動: F/t (2).url → F/t.url"},
       {}},
      {"guid moved and renamed",
       {Chromium("F", "old")},
       {},
       {Chromium("G", "new")},
       {true},
       {"ブックマーク バー/", "ブックマーク バー/G/", "ブックマーク バー/G/new.url"},
       {"移動: ブックマーク バー/F/old.url → ブックマーク バー/G/new.url",
        "削除: ブックマーク バー/F"},
       {}},
      {"planted record naming ..",
       ab,
       [&c](ConversionFixture& f) { PlantRecord(f, u"../x.url", c); },
       none,
       {true},
       abTree,
       {},
       {"G/c.url"},
       Outcome::kCompleted,
       true},
      {"planted record naming an absolute path",
       ab,
       [&c](ConversionFixture& f) { PlantRecord(f, (f.Out() / "G/c.url").generic_u16string(), c); },
       none,
       {true},
       abTree,
       {},
       {"G/c.url"},
       Outcome::kCompleted,
       true},
      {"planted record naming a link",
       ab,
       [&c](ConversionFixture& f) {
         fs::create_directory_symlink(f.Out() / "G", f.Out() / "L");
         PlantRecord(f, u"L/c.url", c);
       },
       none,
       {true},
       {"F/", "F/a.url", "F/b.url", "G/", "G/c.url", "L/"},
       {linkKept},
       {"G/c.url"}},
      {"dry run",
       ab,
       {},
       {"<UL>", Folder("F"), Bookmark("u9", "a"), "</UL>", Bookmark("u5", "e"), "</UL>"},
       {true, true},
       abTree,
       {"更新: F/a.url", "追加: e.url", "削除: F/b.url", "削除: G/c.url", "削除: G"},
       abFiles},
      {"preview cancelled",
       ab,
       [](ConversionFixture& f) { f.window.confirm = false; },
       none,
       {true, false, true},
       abTree,
       {"削除: F/a.url", "削除: F/b.url", "削除: G/c.url", "削除: F", "削除: G"},
       abFiles,
       Outcome::kCancelled},
      // Run between with the bookmark's new date, which changes its file's times only: the
      // record must keep them, or the run after would set them again.
      {"new date recorded",
       {Chromium("F", "t", "13300000000000000")},
       [](ConversionFixture& f) {
         WriteBytes(fs::path(f.window.path), Chromium("F", "t", "13300000001000000"));
         ASSERT_TRUE(f.Convert().AllWritten());
       },
       {},
       {true, true},
       {"ブックマーク バー/", "ブックマーク バー/F/", "ブックマーク バー/F/t.url"},
       {},
       {"ブックマーク バー/F/t.url"}},
      // An unchanged file over a target that no longer stands as recorded: the run mends it.
      {"deleted shortcut comes back",
       ab,
       [](ConversionFixture& f) { fs::remove(f.Out() / "F/a.url"); },
       ab,
       {},
       abTree,
       {},
       {"F/b.url", "G/c.url"},
       Outcome::kCompleted,
       false,
       {"F/a.url"}},
      {"edited shortcut written again",
       ab,
       [](ConversionFixture& f) { WriteBytes(f.Out() / "G/c.url", "edited"); },
       ab,
       {},
       abTree,
       {},
       {"F/a.url", "F/b.url"},
       Outcome::kCompleted,
       false,
       {"G/c.url"}},
      // A run with something to tell tells it again, though nothing changed.
      {"shortened name told again",
       {"<UL>", Bookmark("u1", std::string(300, 't')), "</UL>"},
       {},
       {"<UL>", Bookmark("u1", std::string(300, 't')), "</UL>"},
       {},
       {},
       {},
       {},
       Outcome::kCompleted,
       false,
       {},
       1},
      {"another source refused",
       ab,
       [](ConversionFixture& f) { f.window.path += u"2"; },
       none,
       {true},
       abTree,
       {},
       abFiles,
       Outcome::kOtherSource},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
#ifdef _WIN32
    if (std::string_view(row.name).ends_with("a link")) continue;  // links need privileges
#endif
    ConversionFixture fixture;
    const auto write = [&fixture](const Strings& lines) {
      if (lines.size() == 1) {
        WriteBytes(fs::path(fixture.window.path), lines[0]);
      } else {
        fixture.WriteBookmarks(lines);
        WriteBytes(fs::path(fixture.window.path), ReadBytes(fixture.BookmarkFile()));
      }
    };
    write(row.first);
    ASSERT_TRUE(fixture.Convert().AllWritten());
    const auto first = Files(fixture.Out());
    if (row.between) row.between(fixture);
    const auto before = Files(fixture.Out());
    // No second bookmarks: those the target has now, converted again.
    if (!row.second.empty()) write(row.second);
    fixture.window.options = row.options;
    ChangeLines changes;
    const ConversionReport report = fixture.Convert(&changes);
    EXPECT_EQ(report.outcome, row.outcome);
    EXPECT_EQ(!report.recordProblem.empty(), row.recordRefused) << ToUtf8(report.recordProblem);
    if (!row.tree.empty()) {
      EXPECT_EQ(ListTree(fixture.Out()), row.tree);
    }
    // The preview's lines come after those the run told.
    for (const TargetChange& change : fixture.window.preview.firstChanges) {
      changes.lines.push_back(ToUtf8(TargetChangeLine(change)));
    }
    EXPECT_EQ(changes.lines, row.lines);
    const auto after = Files(fixture.Out());
    for (const std::string& name : row.untouched) {
      EXPECT_TRUE(before.at(name) == after.at(name)) << name;
    }
    for (const std::string& name : row.restored) {
      EXPECT_EQ(after.at(name).first, first.at(name).first) << name;
    }
    EXPECT_EQ(report.shortenedNames, row.shortened);
  }
}

// A bookmark file rewritten while a run reads it (after its few bytes were read): the run
// made its shortcuts of the bytes before, so its record keeps no digest, and the next run
// reads the new bookmarks.
TEST(KeptInStep, ASourceRewrittenDuringTheRunIsReadAgain) {
  ConversionFixture fixture;
  fixture.WriteBookmarks({"<UL>", Bookmark("u1", "a"), "</UL>"});
  const fs::path source = fixture.BookmarkFile();
  class Rewriter final : public ConversionObserver {
   public:
    explicit Rewriter(fs::path file) : file_(std::move(file)) {}
    void ShortcutWritten(std::u16string_view) override {
      WriteBytes(file_, "<UL>\r\n" + Bookmark("u22", "b") + "\r\n</UL>\r\n");
    }
    void ShortcutShortened(const BookmarkRecord&, std::u16string_view) override {}
    void ShortcutFailed(const BookmarkRecord&, std::u16string_view, std::u16string_view) override {}
    void LineUnreadable(const BookmarkRecord&, std::u16string_view) override {}

   private:
    fs::path file_;
  } rewriter(source);
  // Changed before its last shortcut was written: the run says so.
  EXPECT_TRUE(fixture.Convert(&rewriter).changedDuringRun);
  EXPECT_EQ(fixture.Read(".velkora/record").find("sourceDigest"), std::string::npos);
  ASSERT_TRUE(fixture.Convert().AllWritten());
  EXPECT_EQ(fixture.Tree(), (Strings{"a.url", "b.url"}));
}

// Enough shortcuts for a re-run to look them up in two halves at once: an edit in either is
// seen, and the shortcut written again.
TEST(KeptInStep, EveryShortcutOfALargeTargetIsLookedUp) {
  Strings lines{"<UL>"};
  for (int i = 1000; i < 2100; ++i) {
    lines.push_back(Bookmark("u" + std::to_string(i), "b" + std::to_string(i)));
  }
  lines.push_back("</UL>");
  ConversionFixture fixture;
  fixture.WriteBookmarks(lines);
  ASSERT_TRUE(fixture.Convert().AllWritten());
  for (const char* edited : {"b1000.url", "b2099.url"}) {
    SCOPED_TRACE(edited);
    const std::string bytes = ReadBytes(fixture.Out() / edited);
    WriteBytes(fixture.Out() / edited, "edited");
    ASSERT_TRUE(fixture.Convert().AllWritten());
    EXPECT_EQ(ReadBytes(fixture.Out() / edited), bytes);
  }
}

}  // namespace
}  // namespace velkora::testing
