// velkora-bench: how close a conversion runs to the speed of the file system, for every
// format, how its cost grows with the number of bookmarks, how little a re-run into the
// same target costs, and how little memory a large bookmark file takes. Its last line is
// "floor-ratio: R peak-rss-mb: M" for scripts, R for the worst of the formats' first runs
// at 20,000 bookmarks.
//   velkora-bench [--dir DIR] [--rounds N] [--converter PATH]

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/bookmark_generator.h"
#include "bench/converter_process.h"
#include "bench/output_counter.h"
#include "bench/posix_floor.h"
#include "bench/stat_floor.h"
#include "engine/run/conversion.h"
#include "platform/native_platform.h"

#ifndef VELKORA_CONVERT
#define VELKORA_CONVERT "velkora-convert"
#endif

namespace velkora::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr TreeShape kSmallTree{2, 1, 8, 100};   // 20 folders, 2,000 bookmarks
constexpr TreeShape kLargeTree{5, 3, 12, 100};  // 200 folders, 20,000 bookmarks
constexpr std::int64_t kLargeFileBytes = 200'000'000;
constexpr int kLargeFileBookmarks = 5'000;

struct Options {
  fs::path dir = fs::temp_directory_path();
  // On a machine shared with other work, the ratio of medians of three rounds moved by up
  // to 0.09 from one run to the next; of eleven, it stays closer to what many runs give.
  int rounds = 11;
  std::string converter = VELKORA_CONVERT;
};

// The window operations of a run nobody watches, as velkora-convert's are when its
// standard error is no terminal.
class QuietWindow final : public ConversionWindow {
 public:
  QuietWindow(std::u16string path, std::u16string target)
      : path_(std::move(path)), target_(std::move(target)) {}

  std::u16string PathText() const override { return path_; }
  std::u16string TargetDirectory() const override { return target_; }
  void SetProgressMaximum(std::int32_t) override {}
  void SetProgressValue(std::int32_t value) override { value_ = value; }
  void ShowMessage(std::u16string_view, MessageIcon) override {}

 private:
  std::u16string path_;
  std::u16string target_;
  std::int32_t value_ = 0;
};

// A fresh directory for the benchmark's files, removed with everything in it.
class WorkDirectory {
 public:
  explicit WorkDirectory(const fs::path& parent) {
    std::string pattern = (parent / "velkora-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create " + pattern);
    path_ = pattern;
  }
  ~WorkDirectory() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  WorkDirectory(const WorkDirectory&) = delete;
  WorkDirectory& operator=(const WorkDirectory&) = delete;

  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// Seconds from start until now.
double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The middle value (the upper one of an even count).
double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// An empty target, with earlier writes flushed so that they do not slow the timed run.
void FreshTarget(const fs::path& target) {
  fs::remove_all(target);
  fs::create_directory(target);
  ::sync();
}

// Converts bookmarks into target as it stands with the engine on platform, as
// velkora-convert runs it, and returns the seconds it took. Every bookmark must have its
// shortcut, written or found unchanged.
double TimeRun(const PlatformServices& platform, const fs::path& bookmarks, const fs::path& target,
               int expected) {
  ConversionState state;
  QuietWindow window(bookmarks.u16string(), target.u16string());
  const Clock::time_point start = Clock::now();
  const ConversionReport report = BookmarkConverter(state, window, platform).ConvertBookmarks();
  const double seconds = Since(start);
  const bool everyOne =
      report.written == expected || report.written + report.changes.unchanged == expected;
  if (!report.AllWritten() || !everyOne) {
    throw std::runtime_error("the engine did not write every bookmark of " + bookmarks.string());
  }
  return seconds;
}

// The same into an empty target: a first run.
double TimeEngine(const PlatformServices& platform, const fs::path& bookmarks,
                  const fs::path& target, int expected) {
  FreshTarget(target);
  return TimeRun(platform, bookmarks, target, expected);
}

// Seconds the floor takes to make steps below target.
double TimeFloor(const std::vector<FloorStep>& steps, const fs::path& target) {
  FreshTarget(target);
  const Clock::time_point start = Clock::now();
  RunFloor(steps);
  return Since(start);
}

struct SpeedResult {
  double engine = 0;
  double floor = 0;

  double Ratio() const { return engine / floor; }
};

// Medians of rounds of the engine and the floor converting bookmarks, taking turns at
// going first.
SpeedResult MeasureSpeed(const fs::path& work, const fs::path& bookmarks, int expected,
                         int rounds) {
  const fs::path engineTarget = work / "engine";
  const fs::path floorTarget = work / "floor";
  // A first run notes what the engine makes, in its order, for the floor to make the same.
  FloorRecorder recorder;
  TimeEngine(recorder.Services(), bookmarks, engineTarget, expected);
  const std::vector<FloorStep> steps = recorder.Steps(engineTarget.string(), floorTarget.string());
  const NativePlatform platform;
  std::vector<double> engine;
  std::vector<double> floor;
  const auto timeEngine = [&] {
    engine.push_back(TimeEngine(platform.Services(), bookmarks, engineTarget, expected));
  };
  for (int round = 0; round < rounds; ++round) {
    if (round % 2 == 0) timeEngine();
    floor.push_back(TimeFloor(steps, floorTarget));
    if (round % 2 == 1) timeEngine();
  }
  fs::remove_all(engineTarget);
  fs::remove_all(floorTarget);
  return {Median(engine), Median(floor)};
}

// Seconds per item in microseconds.
double MicrosecondsEach(double seconds, int count) { return seconds * 1e6 / count; }

// Runs velkora-convert on bookmarks into an empty target, removed afterwards; throws
// unless it wrote every bookmark.
ConverterRun RunConverterInto(const Options& options, const fs::path& bookmarks,
                              const fs::path& target) {
  FreshTarget(target);
  const ConverterRun run = RunConverter(options.converter, bookmarks, target);
  fs::remove_all(target);
  if (run.exitStatus != 0) {
    throw std::runtime_error(options.converter + " failed on " + bookmarks.string() +
                             " (exit status " + std::to_string(run.exitStatus) + ")");
  }
  return run;
}

// Peak memory of velkora-convert on a large file of ordinary lines, in MB. Runs first,
// while this process is still small: a forked child starts out with its pages.
double MeasureMemory(const Options& options, const fs::path& work) {
  const fs::path tiny = work / "tiny.html";
  WriteTreeFile(tiny, TreeShape{1, 0, 0, 1});
  const ConverterRun baseline = RunConverterInto(options, tiny, work / "out");
  const fs::path large = work / "large.html";
  const std::int64_t lines = WriteLargeFile(large, kLargeFileBytes, kLargeFileBookmarks);
  const double megabytes = static_cast<double>(fs::file_size(large)) / 1e6;
  const ConverterRun big = RunConverterInto(options, large, work / "out");
  fs::remove(large);
  std::printf(
      "velkora-convert on a %.0f MB file (%lld lines, %d bookmarks): %.2f s, peak RSS %.1f MB"
      " (goal: below 16); on a file of one bookmark: %.1f MB\n",
      megabytes, static_cast<long long>(lines), kLargeFileBookmarks, big.seconds, big.peakRssMb,
      baseline.peakRssMb);
  std::fflush(stdout);
  return big.peakRssMb;
}

const char* FormatName(FileFormat format) {
  switch (format) {
    case FileFormat::kPomerek:
      return "Pomerek file";
    case FileFormat::kNetscapeUtf8:
      return "browser export (UTF-8)";
    case FileFormat::kChromiumJson:
      return "Chromium Bookmarks (JSON)";
    case FileFormat::kFirefoxPlaces:
      return "Firefox places.sqlite";
  }
  return "";
}

// Generates a bookmark file of shape in format, measures the engine and the floor on it
// and prints the figures.
SpeedResult MeasureTree(const Options& options, const fs::path& work, const TreeShape& shape,
                        FileFormat format = FileFormat::kPomerek) {
  const fs::path bookmarks = work / "tree.html";
  WriteTreeFile(bookmarks, shape, format);
  const SpeedResult speed = MeasureSpeed(work, bookmarks, shape.Bookmarks(), options.rounds);
  std::printf(
      "%6d bookmarks in %3d folders, %s: engine %.3f s (%.1f us/bookmark),"
      " floor %.3f s (%.1f us/bookmark), ratio %.2f (goal: at most 1.25)\n",
      shape.Bookmarks(), shape.Folders(), FormatName(format), speed.engine,
      MicrosecondsEach(speed.engine, shape.Bookmarks()), speed.floor,
      MicrosecondsEach(speed.floor, shape.Bookmarks()), speed.Ratio());
  return speed;
}

// Times the engine converting the bookmarks of kLargeTree again, unchanged, into the
// target of its first run, against a floor that only calls fstatat on each file made
// (StatFloor), in rounds that take turns at going first, and prints the figures with
// the files each run opened for writing.
void MeasureUnchangedRerun(const Options& options, const fs::path& work) {
  const fs::path bookmarks = work / "tree.html";
  const fs::path target = work / "engine";
  const int expected = kLargeTree.Bookmarks();
  WriteTreeFile(bookmarks, kLargeTree);
  const NativePlatform platform;
  OutputCounter counter(platform.Services());
  TimeEngine(platform.Services(), bookmarks, target, expected);  // not timed
  const StatFloor floor = ListFiles(target);
  if (floor.Files() != expected)
    throw std::runtime_error("the first run did not leave a shortcut a bookmark");
  std::vector<double> engine;
  std::vector<double> stat;
  int mostWritten = 0;
  const auto timeEngine = [&] {
    ::sync();
    counter.Reset();
    engine.push_back(TimeRun(counter.Services(), bookmarks, target, expected));
    mostWritten = std::max(mostWritten, counter.Opened());
  };
  for (int round = 0; round < options.rounds; ++round) {
    if (round % 2 == 0) timeEngine();
    ::sync();
    const Clock::time_point start = Clock::now();
    RunStatFloor(floor);
    stat.push_back(Since(start));
    if (round % 2 == 1) timeEngine();
  }
  fs::remove_all(target);
  const SpeedResult speed{Median(engine), Median(stat)};
  std::printf(
      "%6d bookmarks converted again, unchanged: engine %.3f s (%.1f us/bookmark), floor of"
      " fstatat %.3f s (%.1f us/file), ratio %.2f (goal: at most 2.0); files written: %d"
      " (goal: 0)\n",
      expected, speed.engine, MicrosecondsEach(speed.engine, expected), speed.floor,
      MicrosecondsEach(speed.floor, expected), speed.Ratio(), mostWritten);
  std::fflush(stdout);
}

// Times the engine converting the bookmarks of kLargeTree into an empty target, then
// again with 1% of them changed (one in each folder: half their URLs, half their
// titles) into what the first run left, in each round, and prints the ratio of the two.
// Beside them it times the least any such re-run must do, StatFloor on every shortcut of
// the target (each file's size and time must be looked at before it is left as it is),
// and prints that against the first run too.
void MeasureChangedRerun(const Options& options, const fs::path& work) {
  constexpr int kChangeEvery = 100;
  const fs::path bookmarks = work / "tree.html";
  const fs::path changed = work / "changed.html";
  const fs::path target = work / "engine";
  const int expected = kLargeTree.Bookmarks();
  WriteTreeFile(bookmarks, kLargeTree);
  WriteTreeFile(changed, kLargeTree, FileFormat::kPomerek, kChangeEvery);
  const NativePlatform platform;
  OutputCounter counter(platform.Services());
  std::vector<double> first;
  std::vector<double> again;
  std::vector<double> stat;
  int mostWritten = 0;
  for (int round = 0; round < options.rounds; ++round) {
    first.push_back(TimeEngine(platform.Services(), bookmarks, target, expected));
    const StatFloor floor = ListFiles(target);
    ::sync();
    const Clock::time_point start = Clock::now();
    RunStatFloor(floor);
    stat.push_back(Since(start));
    ::sync();
    counter.Reset();
    again.push_back(TimeRun(counter.Services(), changed, target, expected));
    mostWritten = std::max(mostWritten, counter.Opened());
  }
  fs::remove_all(target);
  fs::remove(changed);
  const double againSeconds = Median(again);
  const double firstSeconds = Median(first);
  const double statSeconds = Median(stat);
  std::printf(
      "%6d bookmarks converted again, %d changed (URL or title): engine %.3f s, its first run"
      " %.3f s, ratio %.3f (goal: at most 0.1); files written: %d; fstatat of every shortcut"
      " alone %.3f s, ratio %.3f\n",
      expected, expected / kChangeEvery, againSeconds, firstSeconds, againSeconds / firstSeconds,
      mostWritten, statSeconds, statSeconds / firstSeconds);
  std::fflush(stdout);
}

// Times the engine on count long titles that all come to one name after the cut on Linux,
// and on as many that stay apart, side by side in rounds that take turns at going first,
// and prints the time per bookmark of each and their ratio.
void MeasureNumbering(const Options& options, const fs::path& work, int count) {
  const fs::path colliding = work / "colliding.html";
  const fs::path distinct = work / "distinct.html";
  WriteLongTitlesFile(colliding, count, true);
  WriteLongTitlesFile(distinct, count, false);
  const NativePlatform platform;
  std::vector<double> numbered;
  std::vector<double> apart;
  const int rounds = std::min(options.rounds, 5);
  for (int round = 0; round < rounds; ++round) {
    const auto timeNumbered = [&] {
      numbered.push_back(TimeEngine(platform.Services(), colliding, work / "out", count));
    };
    if (round % 2 == 0) timeNumbered();
    apart.push_back(TimeEngine(platform.Services(), distinct, work / "out", count));
    if (round % 2 == 1) timeNumbered();
  }
  fs::remove_all(work / "out");
  fs::remove(colliding);
  fs::remove(distinct);
  const double numberedEach = MicrosecondsEach(Median(numbered), count);
  const double apartEach = MicrosecondsEach(Median(apart), count);
  std::printf(
      "%6d long titles, one name after the cut: %.1f us/bookmark; all apart: %.1f us/bookmark;"
      " ratio %.2f (goal: at most 2)\n",
      count, numberedEach, apartEach, numberedEach / apartEach);
  std::fflush(stdout);
}

// Options from the command line; throws on a wrong one.
Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (i + 1 >= argc) {
      throw std::invalid_argument(
          "usage: velkora-bench [--dir DIR] [--rounds N] [--converter PATH]");
    }
    if (argument == "--dir") {
      options.dir = argv[++i];
    } else if (argument == "--rounds") {
      options.rounds = std::max(1, std::stoi(argv[++i]));
    } else if (argument == "--converter") {
      options.converter = argv[++i];
    } else {
      throw std::invalid_argument("unknown option " + argument);
    }
  }
  return options;
}

// Measures and prints everything, the line for scripts last.
int Run(const Options& options) {
  WorkDirectory work(options.dir);
  std::printf("velkora-bench in %s, median of %d rounds\n", work.path().c_str(), options.rounds);
  std::fflush(stdout);
  const double peakRssMb = MeasureMemory(options, work.path());
  MeasureNumbering(options, work.path(), 1'000);
  MeasureNumbering(options, work.path(), 8'000);
  std::printf(
      "first runs into an empty target; the engine's time includes writing its record"
      " (.velkora/record), the floor writes the shortcuts, folders and icons only:\n");
  MeasureTree(options, work.path(), kSmallTree);
  const SpeedResult large = MeasureTree(options, work.path(), kLargeTree);
  const ConverterRun whole =
      RunConverterInto(options, work.path() / "tree.html", work.path() / "out");
  std::printf("velkora-convert process on %d bookmarks: %.3f s, start-up included\n",
              kLargeTree.Bookmarks(), whole.seconds);
  const SpeedResult exportRun =
      MeasureTree(options, work.path(), kLargeTree, FileFormat::kNetscapeUtf8);
  const SpeedResult json = MeasureTree(options, work.path(), kLargeTree, FileFormat::kChromiumJson);
  const SpeedResult places =
      MeasureTree(options, work.path(), kLargeTree, FileFormat::kFirefoxPlaces);
  MeasureUnchangedRerun(options, work.path());
  MeasureChangedRerun(options, work.path());
  // The line for scripts gives the worst of the formats.
  std::printf("floor-ratio: %.2f peak-rss-mb: %.1f\n",
              std::max({large.Ratio(), exportRun.Ratio(), json.Ratio(), places.Ratio()}),
              peakRssMb);
  return 0;
}

}  // namespace
}  // namespace velkora::bench

int main(int argc, char** argv) {
  try {
    return velkora::bench::Run(velkora::bench::ParseOptions(argc, argv));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "velkora-bench: %s\n", error.what());
    return 2;
  }
}
