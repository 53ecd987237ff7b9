#include "engine/sources/html/bookmark_file.h"

#include <utility>

#include "engine/sources/html/encoding_detection.h"

namespace velkora {
namespace {

LineUnits UnitsOf(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUtf8:
      return {1, false, "\xEF\xBB\xBF"};
    case TextEncoding::kUtf16LittleEndian:
      return {2, false, "\xFF\xFE"};
    case TextEncoding::kUtf16BigEndian:
      return {2, true, "\xFE\xFF"};
    case TextEncoding::kAnsiCodePage:
      break;
  }
  return {};
}

}  // namespace

BookmarkFile::BookmarkFile(Opening, FileStreams& streams, std::u16string_view path)
    : streams_(streams), path_(path) {}

BookmarkFile::~BookmarkFile() = default;

void BookmarkFile::Attach(std::unique_ptr<InputStream> stream, TextEncoding encoding) {
  lines_ = std::make_unique<LineReader>(std::move(stream), UnitsOf(encoding));
  encoding_ = encoding;
}

IoResult BookmarkFile::Open(FileStreams& streams, std::u16string_view path, TextEncoding encoding,
                            std::unique_ptr<BookmarkFile>& file) {
  file.reset();
  std::unique_ptr<InputStream> stream;
  IoResult result = streams.OpenInput(path, stream);
  if (!result) return result;
  file = std::make_unique<BookmarkFile>(Opening{}, streams, path);
  file->file_ = stream.get();
  file->Attach(std::move(stream), encoding);
  return result;
}

IoResult BookmarkFile::OpenDetecting(FileStreams& streams, std::u16string_view path,
                                     std::unique_ptr<BookmarkFile>& file, TextEncoding& encoding) {
  file.reset();
  encoding = TextEncoding::kAnsiCodePage;
  std::unique_ptr<InputStream> stream;
  IoResult result = streams.OpenInput(path, stream);
  if (!result) return result;
  const InputStream* bottom = stream.get();
  auto detecting = std::make_unique<DetectingInputStream>(std::move(stream), true);
  result = detecting->ReadAhead();
  if (!result) return result;
  encoding = detecting->Encoding();
  file = std::make_unique<BookmarkFile>(Opening{}, streams, path);
  file->file_ = bottom;
  file->detecting_ = detecting.get();
  file->Attach(std::move(detecting), encoding);
  return result;
}

IoResult BookmarkFile::DetectedEncoding(TextEncoding& encoding) const {
  encoding = encoding_;
  if (detecting_ == nullptr) return IoResult::Success();
  encoding = detecting_->Encoding();
  if (detecting_->Certain()) return IoResult::Success();
  // Bytes before the first "<LI>" were not checked: every byte is, in a reading of its own.
  std::unique_ptr<InputStream> stream;
  IoResult result = streams_.OpenInput(path_, stream);
  if (!result) return result;
  DetectingInputStream checking(std::move(stream));
  constexpr std::size_t kChunk = 64 * 1024;
  std::string buffer(kChunk, '\0');
  for (std::size_t received = kChunk; received != 0;) {
    result = checking.Read(buffer.data(), kChunk, received);
    if (!result) return result;
  }
  encoding = checking.Encoding();
  return result;
}

bool BookmarkFile::MayHoldItems() const {
  return detecting_ == nullptr || detecting_->MayHoldItem();
}

std::string_view BookmarkFile::StartOfFile() const {
  return detecting_ == nullptr ? std::string_view() : detecting_->Start();
}

IoResult BookmarkFile::ReadLineBytes(std::string_view& bytes, bool& gotLine, bool& tooLong) {
  gotLine = false;
  tooLong = false;
  bytes = {};
  return lines_->Next(bytes, gotLine, tooLong);
}

IoResult BookmarkFile::Stamp(FileStamp& stamp) const {
  stamp = {};
  return file_->Stamp(stamp);
}

}  // namespace velkora
