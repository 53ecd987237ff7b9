#pragma once

#include <memory>
#include <string>

#include "engine/interfaces/ansi_code_page.h"
#include "engine/interfaces/file_streams.h"
#include "engine/sources/bookmark_source.h"
#include "engine/sources/html/bookmark_file.h"
#include "engine/sources/html/html_format_count.h"
#include "engine/text/text_encoding.h"

namespace velkora {

// A bookmark HTML file as a source: the Pomerek browser's list-item file or a browser's
// export in the Netscape bookmark file format. Counting it decides its encoding and its
// format; reading it reads it again through the grammar of that format.
class HtmlBookmarkFile final : public BookmarkSource {
 public:
  // The file at path; opened, when given, is that file opened by BookmarkFile::OpenDetecting
  // and not read from yet, which counting reads first.
  HtmlBookmarkFile(FileStreams& streams, const AnsiCodePage& codePage, std::u16string path,
                   std::unique_ptr<BookmarkFile> opened = nullptr);

  // Counts the bookmarks of the file's format, with its lines too long to be read, and
  // those of the other format.
  IoResult Count(SourceCount& count) override;
  IoResult Read(BookmarkEvents& events) override;
  // A stamp of the file, taken at each of its openings and at the end of its reading,
  // differed from the first, or could not be taken.
  bool ChangedSinceCounted() const override { return stampChanged_; }

 private:
  // Reads the file's lines through the grammar of format_ into events, a batch at a time.
  IoResult ReadLines(BookmarkFile& file, BookmarkEvents& events);
  // Takes the stamp of file: the first is kept, each later one compared with it.
  void CheckStamp(const BookmarkFile& file, bool first = false);

  FileStreams& streams_;
  const AnsiCodePage& codePage_;
  std::u16string path_;
  std::unique_ptr<BookmarkFile> opened_;
  TextEncoding encoding_ = TextEncoding::kAnsiCodePage;
  HtmlFormat format_ = HtmlFormat::kNone;
  FileStamp countedStamp_;
  bool stampChanged_ = false;
};

}  // namespace velkora
