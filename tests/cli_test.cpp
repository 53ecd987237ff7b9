#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/text/utf8.h"
#include "tests/test_support.h"

#ifdef _WIN32
#include <stdlib.h>  // _wsystem
#else
#include <fcntl.h>
#include <signal.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#endif

namespace velkora::testing {
namespace {

namespace fs = std::filesystem;

struct ProcessRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Quote(const std::string& argument) {
#ifdef _WIN32
  std::string quoted = "\"";
  for (char c : argument) quoted += c == '"' ? std::string("\\\"") : std::string(1, c);
  return quoted + "\"";
#else
  std::string quoted = "'";
  for (char c : argument) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
#endif
}

// A path as UTF-8, whatever the ANSI code page can spell.
std::string Utf8(const std::filesystem::path& path) { return ToUtf8(path.u16string()); }

// Runs velkora-convert with arguments (UTF-8), standard output and error going to files,
// in directory when one is given, after shell text such as a pipe into it.
ProcessRun Convert(const std::vector<std::string>& arguments, const std::string& directory = {},
                   const std::string& before = {}) {
  TempDir scratch;
  const auto out = scratch.path() / "stdout.txt";
  const auto err = scratch.path() / "stderr.txt";
  std::string command = before + Quote(VELKORA_CONVERT);
#ifdef _WIN32
  if (!directory.empty()) command = "cd /d " + Quote(directory) + " && " + command;
#else
  if (!directory.empty()) command = "cd " + Quote(directory) + " && " + command;
#endif
  for (const std::string& argument : arguments) command += " " + Quote(argument);
  command += " >" + Quote(Utf8(out)) + " 2>" + Quote(Utf8(err));
  ProcessRun run;
#ifdef _WIN32
  // cmd.exe drops the outer quotes; the wide command line keeps every character.
  const std::u16string wide = FromUtf8("\"" + command + "\"");
  run.status = _wsystem(reinterpret_cast<const wchar_t*>(wide.c_str()));
#else
  const int raw = std::system(command.c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
  run.out = ReadBytes(out);
  run.err = ReadBytes(err);
  return run;
}

TEST(ConsoleConverter, ConvertsTheSampleAndSaysSo) {
  TempDir target;
  const ProcessRun run = Convert({VELKORA_SAMPLE, Utf8(target.path())});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_EQ(run.out, "   完了しました。\n");
  EXPECT_EQ(run.err, "");  // no progress bar when standard error is not a terminal
  int shortcuts = 0;
  for (const std::string& entry : ListTree(target.path())) shortcuts += entry.ends_with(".url");
  EXPECT_GE(shortcuts, 35);
}

TEST(ConsoleConverter, ExitStatusTellsWhetherEverythingWasWritten) {
  ConversionFixture fixture;
  fixture.WriteBookmarks({"<LI><A HREF=\"u\">ok</A>", "<LI><A HREF=\"u\">no end"});
  const std::string bookmarks = Utf8(fixture.BookmarkFile());
  const std::string out = Utf8(fixture.Out());

  const ProcessRun skipped = Convert({bookmarks, out});
  EXPECT_EQ(skipped.status, 1);
  EXPECT_TRUE(
      skipped.out.starts_with("   変換を終えましたが、書き出せなかったブックマークがあります。\n\n"
                              "作成したショートカット: 1 件\n"))
      << skipped.out;
  EXPECT_NE(skipped.out.find("2 行目"), std::string::npos) << skipped.out;
  EXPECT_EQ(skipped.err,
            "velkora-convert: 2 行目を読み取れませんでした: "
            "<A HREF=\"URL\">タイトル</A> の形になっていません\n");

  const ProcessRun missingFile = Convert({bookmarks + ".none", out});
  EXPECT_EQ(missingFile.status, 2);
  EXPECT_NE(missingFile.out.find(bookmarks + ".none"), std::string::npos) << missingFile.out;

  WriteBytes(fixture.BookmarkFile().string() + ".png", "\x89PNG\r\n\x1A\n");
  EXPECT_EQ(Convert({bookmarks + ".png", out}).status, 2);  // a file that is not text

  const ProcessRun emptyPath = Convert({"", out});
  EXPECT_EQ(emptyPath.status, 2);
  EXPECT_EQ(emptyPath.out, "ブックマークファイルのパスが設定されていません\n");

  const ProcessRun missingTarget = Convert({bookmarks, out + "/none"});
  EXPECT_EQ(missingTarget.status, 2);
  EXPECT_NE(missingTarget.err.find(out + "/none"), std::string::npos) << missingTarget.err;
  const ProcessRun longTarget = Convert({bookmarks, out + "/" + std::string(300, 'x')});
  EXPECT_EQ(longTarget.status, 2);
  EXPECT_EQ(longTarget.err.find("ありません"), std::string::npos) << longTarget.err;
  EXPECT_EQ(ListTree(fixture.Out()), std::vector<std::string>{"ok.url"});

  // Bookmarks of the other format: counted once, at the end.
  fixture.WriteBookmarks({"<LI><A HREF=\"u\">ok</A>", "<DT><A HREF=\"v\">export</A>"});
  const ProcessRun mixed = Convert({bookmarks, out});
  EXPECT_EQ(mixed.status, 1);
  EXPECT_EQ(mixed.out,
            "   変換を終えましたが、書き出せなかったブックマークがあります。\n\n"
            "作成したショートカット: 1 件\n別の形式のため読まなかったブックマーク: 1 件\n");
  EXPECT_EQ(mixed.err, "velkora-convert: 別の形式のため読まなかったブックマーク: 1 件\n");
}

// Standard error names each bookmark not written, or written under a shorter name, by its
// line, title and URL; standard output's first line says how the run ended.
TEST(ConsoleConverter, StandardErrorNamesEachBookmark) {
  ConversionFixture fixture;
  std::filesystem::create_directory(fixture.Out() / "taken.url");
  const std::string out = Utf8(fixture.Out());
  // The longest title that fits, and one more character.
  const std::string title(259 - fixture.Out().u16string().size() - 1 - 4 + 1, 'l');
  fixture.WriteBookmarks({Bookmark("u1", "taken") + "<A HREF=\"u2\">second</A>",
                          Bookmark(" ", "blank"), Bookmark("u3", title), Bookmark("u4", "ok")});
  const ProcessRun run = Convert({Utf8(fixture.BookmarkFile()), out});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(
      run.out.starts_with("   変換を終えましたが、書き出せなかったブックマークがあります。\n\n"
                          "作成したショートカット: 2 件\n名前を短くしたショートカット: 1 件\n"))
      << run.out;
  const std::string separator = Utf8(std::filesystem::path("/").make_preferred());
  const std::string failed =
      "velkora-convert: 1 行目「taken」（URL: u1）のショートカットを"
      "作成できませんでした: " +
      out + separator + "taken.url（理由: ";
  const std::string blank =
      "velkora-convert: 2 行目「blank」（URL:  ）を読み取れませんでした: "
      "URL が空です\n";
  const std::string shortened = "velkora-convert: 3 行目「" + title +
                                "」（URL: u3）の名前を短くしました: " + title.substr(1) + ".url\n";
  EXPECT_TRUE(run.err.starts_with(failed)) << run.err;
  EXPECT_NE(run.err.find("velkora-convert: 1 行目「second」（URL: u2）を読み取れませんでした: "
                         "同じ行の 2 つ目以降のブックマークです（1 行に 1 つだけ読みます）\n"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("）\n" + blank + shortened), std::string::npos) << run.err;
  EXPECT_TRUE(run.err.ends_with(shortened)) << run.err;
}

TEST(ConsoleConverter, NamesOutsideTheCodePageReachTheFileSystemWhole) {
  ConversionFixture fixture;
  fixture.WriteBookmarks({"<LI><A HREF=\"u\">日本</A>"});
  // "é" and the emoji have no bytes in code page 932.
  const auto target = fixture.Out() / std::filesystem::path(U16("出力 é \U0001F600"));
  std::filesystem::create_directory(target);

  const ProcessRun run = Convert({Utf8(fixture.BookmarkFile()), Utf8(target)});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_EQ(ListTree(target), std::vector<std::string>{"日本.url"});

  const ProcessRun missing = Convert({Utf8(fixture.BookmarkFile()), Utf8(target) + "é"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find(Utf8(target) + "é"), std::string::npos) << missing.err;
}

TEST(ConsoleConverter, TargetIsMadeAbsoluteAndPathsAreTakenWithoutQuotes) {
  ConversionFixture fixture;
  // Below the relative target "out" the shortcut would take 250 units; below the absolute
  // one it passes 259.
  const std::string folder(240, 'f');
  fixture.WriteBookmarks({Folder(folder), Bookmark("u", "t")});
  const ProcessRun run = Convert(
      {"\"" + Utf8(fixture.BookmarkFile()) + "\"", "./" + Utf8(fixture.Out().filename()) + "/"},
      Utf8(fixture.Out().parent_path()));
  EXPECT_EQ(run.status, 1) << run.out << run.err;
  EXPECT_NE(run.out.find(Utf8(fixture.Out() / folder)), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("259"), std::string::npos) << run.out;
}

// A target another run is writing into is refused before anything is written into it.
TEST(ConsoleConverter, ASecondRunIntoOneTargetIsRefused) {
  ConversionFixture fixture;
  fixture.WriteBookmarks({Bookmark("http://a/", "a")});
  const std::vector<std::string> arguments{Utf8(fixture.BookmarkFile()), Utf8(fixture.Out())};
  const auto fileSystem = fixture.platform.Services().createFileSystem();
  HeldTarget running;
  ASSERT_TRUE(running.Hold(*fileSystem, fixture.Out().u16string()).ok);
  const ProcessRun refused = Convert(arguments);
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.err, "velkora-convert: 出力先のフォルダーを使えません: " + arguments[1] +
                             "（理由: このフォルダーには別の変換が書き込み中です）\n");
  EXPECT_FALSE(fs::exists(fixture.Out() / "a.url"));
}

#ifndef _WIN32
TEST(ConsoleConverter, WithoutCodePage932ItSaysSoInOneLine) {
  // Conversion modules that send CP932 to one the C library lacks, as on a system
  // installed without them.
  TempDir modules;
  WriteBytes(modules.path() / "gconv-modules", "alias\tCP932//\tVELKORA-NONE//\n");
  TempDir target;
  ::setenv("GCONV_PATH", Utf8(modules.path()).c_str(), 1);
  const ProcessRun run = Convert({VELKORA_SAMPLE, Utf8(target.path())});
  ::unsetenv("GCONV_PATH");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("コードページ932"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
}
#endif

// A pipe is read through "-"; named as the bookmark file, a FIFO or a device is refused
// at once.
TEST(ConsoleConverter, InputsThatCannotBeReadTwice) {
  ConversionFixture fixture;
  fixture.WriteBookmarks({Bookmark("http://a/", "a")});
  const std::string out = Utf8(fixture.Out());
#ifdef _WIN32
  const std::string pipe = "type " + Quote(Utf8(fixture.BookmarkFile())) + "|";
#else
  const std::string pipe = "cat " + Quote(Utf8(fixture.BookmarkFile())) + "|";
#endif
  for (const char* option : {"--", "--delete"}) {  // one source: "-", not its copy
    const ProcessRun piped = Convert({option, "-", out}, {}, pipe);
    EXPECT_EQ(piped.status, 0) << piped.out << piped.err;
  }
  EXPECT_EQ(ListTree(fixture.Out()), std::vector<std::string>{"a.url"});
#ifndef _WIN32
  const std::string fifo = Utf8(fixture.Out().parent_path() / "fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const auto& [input, what] : {std::pair{fifo, "パイプ"}, {"/dev/zero", "デバイス"}}) {
    const ProcessRun run = Convert({input, out}, {}, "timeout 20 ");
    EXPECT_EQ(run.status, 2) << input;
    EXPECT_NE(run.out.find(what), std::string::npos) << run.out;
  }
#endif
}

#ifndef _WIN32
// Runs velkora-convert on bookmarks into target as a child, standard error to err, and
// returns its process id.
pid_t StartConvert(const fs::path& bookmarks, const fs::path& target, const fs::path& err) {
  const pid_t child = ::fork();
  if (child == 0) {
    const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(errFd, STDERR_FILENO);
    ::execl(VELKORA_CONVERT, VELKORA_CONVERT, bookmarks.c_str(), target.c_str(),
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  return child;
}

// Each interrupting signal in the middle of a large run: every shortcut left is whole, the
// older file is still there, no temporary file stays, and the tool says exactly how many
// shortcuts it put on disk.
TEST(ConsoleConverter, InterruptLeavesOnlyWholeShortcuts) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    SCOPED_TRACE(::strsignal(signal));
    ConversionFixture fixture;
    std::vector<std::string> lines;
    for (int i = 0; i < 20000; ++i) {
      lines.push_back(BookmarkWithIcon("http://s/", "b" + std::to_string(i), i));
    }
    lines.push_back(BookmarkWithIcon("http://new/", "old", 0));
    fixture.WriteBookmarks(lines);
    WriteBytes(fixture.Out() / "old.url", ShortcutBytes("http://old/"));
    const fs::path err = fixture.Out().parent_path() / "stderr.txt";
    const pid_t child = StartConvert(fixture.BookmarkFile(), fixture.Out(), err);
    ASSERT_GT(child, 0);
    for (int wait = 0; wait < 10000 && ListTree(fixture.Out()).size() < 3; ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::kill(child, signal);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    const std::vector<std::string> tree = ListTree(fixture.Out());
    EXPECT_LT(tree.size(), 20001u);
    int written = 0;
    for (const std::string& name : tree) {
      if (name == ".velkora/icons/" || name.ends_with(".ico")) continue;
      const std::string url = name == "old.url" ? "http://old/" : "http://s/";
      const std::string bytes = ReadBytes(fixture.Out() / name);
      EXPECT_TRUE(bytes == ShortcutBytes(url) || IsShortcutWithIcon(bytes, url)) << name;
      written += name != "old.url";
    }
    EXPECT_NE(ReadBytes(err).find("中断しました。ブックマーク 20001 件のうち " +
                                  std::to_string(written) + " 件のショートカットを"),
              std::string::npos)
        << ReadBytes(err);
  }
}

// A Chromium Bookmarks file: each bookmark (its number: root 0 or 1, title, or none once
// gone), with its guid, after a first one in each root.
std::string ChromiumBookmarks(const std::vector<std::pair<int, std::string>>& marks) {
  std::string roots[2] = {R"({"children":[{"type":"url","url":"http://e/","name":"e")", roots[0]};
  for (std::size_t id = 0; id < marks.size(); ++id) {
    if (marks[id].second.empty()) continue;
    roots[marks[id].first] += R"(},{"type":"url","guid":"00000000-0000-4000-8000-)" +
                              std::to_string(100000000000 + id) + R"(","url":"http://s/)" +
                              std::to_string(id) + R"(","name":")" + marks[id].second + "\"";
  }
  return R"({"roots":{"bookmark_bar":)" + roots[0] + R"(}]},"other":)" + roots[1] + "}]}}}";
}

// Bookmarks deleted, renamed, moved and added between runs with --delete and without, each
// interrupted at a random moment: a last --delete run leaves what a fresh conversion makes,
// a file nobody listed and a shortcut edited since. Then the options, on that target.
TEST(ConsoleConverter, InterruptedRunsLeaveTheTargetInStep) {
  ConversionFixture fixture;
  TempDir fresh;
  const fs::path file = fixture.BookmarkFile(), target = fixture.Out(), bar = "ブックマーク バー";
  std::vector<std::pair<int, std::string>> marks;
  for (int id = 0; id < 3000; ++id) marks.emplace_back(id % 2, "b" + std::to_string(id));
  const auto convert = [&](const fs::path& into, const char* option, const std::string& timer) {
    WriteBytes(file, ChromiumBookmarks(marks));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_LE(Convert({option, Utf8(file), Utf8(into)}, {}, timer).status, timer.empty() ? 1 : 130);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  convert(target, "--", "");
  if (!fs::exists(target / ".velkora/record")) GTEST_SKIP() << "the run keeps no record";
  WriteBytes(target / bar / "b0.url", "edited");
  WriteBytes(target / "mine.txt", "mine");
  marks[0].second.clear();
  const double length = convert(target, "--", "");
  std::srand(26);
  for (int round = 0; round < 20; ++round) {
    for (int change = 0; change < 80; ++change) {
      auto& [root, title] = marks[static_cast<std::size_t>(std::rand()) % marks.size()];
      if (change % 4 == 0) title.clear();
      if (change % 4 == 1 && !title.empty()) title.insert(0, "r" + std::to_string(round));
      if (change % 4 == 2) root = 1 - root;
      if (change % 4 == 3) marks.emplace_back(change % 2, "b" + std::to_string(marks.size()));
    }
    const std::string delay = std::to_string(length * (std::rand() % 1000) / 1000);
    // One interrupt, to the converter alone (without --foreground timeout signals its whole
    // process group too, and a second interrupt ends the run at once, as a kill would).
    convert(target, round % 2 ? "--" : "--delete",
            "timeout --foreground --preserve-status -s INT " + delay + " ");
  }
  marks.emplace_back(0, "last");
  convert(target, "--delete", "");
  convert(fresh.path(), "--", "");
  std::vector<std::string> expected = ListTree(fresh.path());
  for (const std::string& name : expected)
    EXPECT_TRUE(!name.ends_with(".url") ||
                ReadBytes(target / name) == ReadBytes(fresh.path() / name));
  expected.insert(expected.end(), {"mine.txt", Utf8(bar / "b0.url")});
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(ListTree(target), expected);
  marks.back().second.clear();
  WriteBytes(file, ChromiumBookmarks(marks));
  fs::copy_file(file, Utf8(file) + "2");
  const std::string copy = Utf8(file.filename()) + "2", folder = Utf8(file.parent_path());
  const std::tuple<std::vector<std::string>, int, bool, std::string, std::string> options[] = {
      {{"--dry-run", "--delete", Utf8(file)}, 0, true, "\n削除: ", ""},
      {{"--delete", copy}, 2, false, "\nvelkora-convert: --replace-source を付けると", folder},
      {{"--replace-source", "--delete", copy}, 0, false, "\nvelkora-convert: 削除: ", folder},
      {{"--delete", "..//./" + copy}, 0, false, "\n", Utf8(target)}};
  for (auto [arguments, status, out, line, directory] : options) {
    arguments.push_back(Utf8(target));
    const ProcessRun run = Convert(arguments, directory);
    EXPECT_EQ(run.status, status) << run.err;
    EXPECT_NE(("\n" + (out ? run.out : run.err)).find(line), std::string::npos) << run.err;
    EXPECT_EQ(fs::exists(target / bar / "last.url"), status != 0 || out) << line;
  }
}

// Readers of standard output and error that are gone before the run writes to them, or
// go after the first line (SIGPIPE on each later write): the run still converts every
// bookmark, removes the copy of standard input, and ends with its usual status.
TEST(ConsoleConverter, ReadersThatWentAwayDoNotStopTheRun) {
  struct Case {
    const char* reader;
    int unreadable;  // bookmark lines without </A>, one named on standard error each
    int status;
  };
  const Case cases[] = {{"true", 0, 0}, {"head -1 >/dev/null", 200, 1}};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.reader);
    ConversionFixture fixture;
    std::vector<std::string> lines;
    for (int i = 0; i < 2000; ++i) {
      lines.push_back(Bookmark("http://s/", "b" + std::to_string(i)));
      if (i % 10 == 0 && i / 10 < test.unreadable) lines.push_back("<LI><A HREF=\"u\">no end");
    }
    fixture.WriteBookmarks(lines);
    TempDir temporary;
    // The pipeline's status is the reader's: the converter's own goes to a file.
    const fs::path status = temporary.path() / "status";
    const std::string command = "cat " + Quote(Utf8(fixture.BookmarkFile())) +
                                " | (TMPDIR=" + Quote(Utf8(temporary.path())) + " " +
                                Quote(VELKORA_CONVERT) + " - " + Quote(Utf8(fixture.Out())) +
                                "; echo $? >" + Quote(Utf8(status)) + ") 2>&1 | " + test.reader;
    ASSERT_EQ(std::system(("bash -c " + Quote(command)).c_str()), 0) << command;
    EXPECT_EQ(ReadBytes(status), std::to_string(test.status) + "\n");
    EXPECT_EQ(ListTree(fixture.Out()).size(), 2000u);
    EXPECT_EQ(ListTree(temporary.path()), std::vector<std::string>{"status"});
  }
}
#endif

#ifndef _WIN32
TEST(ConsoleConverter, ProfilesAreListedOneALineWithTabsBetween) {
  TempDir home;
  const std::string h = Utf8(home.path());
  for (const auto& [file, bytes] : std::vector<std::pair<std::string, std::string>>{
           {"/xdg/microsoft-edge/Local State",
            R"({"profile":{"info_cache":{"Default":{"name":"個人\t2"}}}})"},
           {"/.mozilla/firefox/profiles.ini",
            "[Profile0]\nName=default-release\nIsRelative=1\nPath=p\n"},
           {"/xdg/microsoft-edge/Default/Bookmarks", ""},
           {"/.mozilla/firefox/p/places.sqlite", ""}}) {
    fs::create_directories(fs::path(h + file).parent_path());
    WriteBytes(h + file, bytes);
  }
  const std::string firefoxLine =
      "Firefox\tdefault-release\t" + h + "/.mozilla/firefox/p/places.sqlite\n";
  const ProcessRun xdg = Convert(
      {"--profiles"}, {}, "HOME=" + Quote(h) + " XDG_CONFIG_HOME=" + Quote(h + "/xdg") + " ");
  EXPECT_EQ(xdg.status, 0);
  EXPECT_EQ(xdg.out, "Microsoft Edge\t個人 2\t" + h + "/xdg/microsoft-edge/Default/Bookmarks\n" +
                         firefoxLine);
  const ProcessRun none =
      Convert({"--profiles"}, {}, "HOME=" + Quote(h + "/none") + " XDG_CONFIG_HOME= ");
  EXPECT_EQ(none.status, 0);
  EXPECT_EQ(none.out, "");
}
#endif

TEST(ConsoleConverter, ArgumentsAreChecked) {
  EXPECT_EQ(Convert({}).status, 2);
  EXPECT_EQ(Convert({"only-one"}).status, 2);
  EXPECT_EQ(Convert({"--bogus", "a", "b"}).status, 2);
  const std::string twice = Convert({"--dry-run", "--dry-run", "a", "b"}).err;
  EXPECT_TRUE(twice.starts_with("velkora-convert: オプションが重複しています: --dry-run\n"));
  EXPECT_EQ(Convert({"--", "--dry-run", "a", "b"}).err.find("使い方: "), 0u);  // three operands
  const ProcessRun help = Convert({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("BOOKMARK_FILE TARGET_DIR"), std::string::npos);
  EXPECT_NE(help.out.find("--profiles"), std::string::npos);
  const ProcessRun version = Convert({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("velkora-convert ", 0), 0u);
}

}  // namespace
}  // namespace velkora::testing
