#include "engine/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST(LineReader, SplitsAtCrLfLfAndLoneCrWhereverReadsEnd) {
  const std::string bytes = "a\r\nb\nc\rd\r\r\n\n\re";
  for (std::size_t chunk : {1u, 2u, 3u, 1000u}) {
    EXPECT_EQ(Lines(bytes, chunk), (std::vector<std::string>{"a", "b", "c", "d", "", "", "", "e"}))
        << "chunk " << chunk;
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

}  // namespace
}  // namespace velkora
