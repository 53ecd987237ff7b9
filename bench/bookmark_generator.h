#pragma once

#include <cstdint>
#include <filesystem>

namespace velkora::bench {

// A bookmark tree three levels deep: top folders, each with second-level folders, each
// with third-level folders; every folder holds the same number of bookmarks.
struct TreeShape {
  int top;
  int second;
  int third;
  int bookmarksPerFolder;

  int Folders() const { return top + top * second + top * second * third; }
  int Bookmarks() const { return Folders() * bookmarksPerFolder; }
};

// The Pomerek browser's list-item file in code page 932 with CR LF, a browser's export in
// the Netscape bookmark file format in UTF-8 with LF, as Chrome writes it, or a browser's
// own store: Chromium's Bookmarks (JSON), Firefox's places.sqlite.
enum class FileFormat { kPomerek, kNetscapeUtf8, kChromiumJson, kFirefoxPlaces };

// Writes a bookmark file of shape, with Japanese folder names and titles, every one of
// which the run writes under its own name. With changeEvery (Pomerek files only), the
// bookmarks numbered k * changeEvery + changeEvery / 2 differ from those of the same file
// without it: for even k the URL, for odd k the title; with changeEvery no larger than a
// folder's bookmarks, every folder holds some of them.
void WriteTreeFile(const std::filesystem::path& file, const TreeShape& shape,
                   FileFormat format = FileFormat::kPomerek, int changeEvery = 0);

// Writes a bookmark file of about bytes bytes made mostly of lines the run reads and
// ignores (descriptions, headings), with bookmarks bookmarks spread evenly among them in a
// few folders. Returns the number of lines.
std::int64_t WriteLargeFile(const std::filesystem::path& file, std::int64_t bytes, int bookmarks);

// Writes a Pomerek file of count bookmarks with long Japanese titles, all different. When
// colliding, they differ only after their first 85 characters, beyond the cut that keeps a
// name within 255 bytes of UTF-8, so that every one after the first is numbered; otherwise
// they differ from their start.
void WriteLongTitlesFile(const std::filesystem::path& file, int count, bool colliding);

}  // namespace velkora::bench
