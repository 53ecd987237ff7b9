#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/test_support.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace velkora::testing {
namespace {

struct ProcessRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Quote(const std::string& argument) {
#ifdef _WIN32
  return "\"" + argument + "\"";
#else
  std::string quoted = "'";
  for (char c : argument) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
#endif
}

// Runs velkora-convert with arguments, standard output and error going to files.
ProcessRun Convert(const std::vector<std::string>& arguments) {
  TempDir scratch;
  const auto out = scratch.path() / "stdout.txt";
  const auto err = scratch.path() / "stderr.txt";
  std::string command = Quote(VELKORA_CONVERT);
  for (const std::string& argument : arguments) command += " " + Quote(argument);
  command += " >" + Quote(out.string()) + " 2>" + Quote(err.string());
#ifdef _WIN32
  command = "\"" + command + "\"";
#endif
  const int raw = std::system(command.c_str());
  ProcessRun run;
#ifdef _WIN32
  run.status = raw;
#else
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
  run.out = ReadBytes(out);
  run.err = ReadBytes(err);
  return run;
}

TEST(ConsoleConverter, ConvertsTheSampleAndSaysSo) {
  TempDir target;
  const ProcessRun run = Convert({VELKORA_SAMPLE, target.path().string()});
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
  const std::string bookmarks = fixture.BookmarkFile().string();
  const std::string out = fixture.Out().string();

  const ProcessRun skipped = Convert({bookmarks, out});
  EXPECT_EQ(skipped.status, 1);
  EXPECT_NE(skipped.out.find("2 行目"), std::string::npos) << skipped.out;

  const ProcessRun missingFile = Convert({bookmarks + ".none", out});
  EXPECT_EQ(missingFile.status, 2);
  EXPECT_NE(missingFile.out.find(bookmarks + ".none"), std::string::npos) << missingFile.out;

  const ProcessRun emptyPath = Convert({"", out});
  EXPECT_EQ(emptyPath.status, 2);
  EXPECT_EQ(emptyPath.out, "Pomerekブラウザのブックマークのパスが設定されていません\n");

  const ProcessRun missingTarget = Convert({bookmarks, out + "/none"});
  EXPECT_EQ(missingTarget.status, 2);
  EXPECT_NE(missingTarget.err.find(out + "/none"), std::string::npos) << missingTarget.err;
  EXPECT_EQ(ListTree(fixture.Out()), std::vector<std::string>{"ok.url"});
}

TEST(ConsoleConverter, ArgumentsAreChecked) {
  EXPECT_EQ(Convert({}).status, 2);
  EXPECT_EQ(Convert({"only-one"}).status, 2);
  EXPECT_EQ(Convert({"--bogus", "a", "b"}).status, 2);
  const ProcessRun help = Convert({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("BOOKMARK_FILE TARGET_DIR"), std::string::npos);
  const ProcessRun version = Convert({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("velkora-convert ", 0), 0u);
}

}  // namespace
}  // namespace velkora::testing
