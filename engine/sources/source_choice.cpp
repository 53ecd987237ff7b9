#include "engine/sources/source_choice.h"

#include <string>
#include <utility>

#include "engine/sources/browser_source.h"
#include "engine/sources/file_content.h"
#include "engine/sources/html/bookmark_file.h"
#include "engine/sources/html/html_bookmark_file.h"

namespace velkora {

IoResult ChooseSource(std::u16string_view path, const PlatformServices& platform,
                      std::unique_ptr<BookmarkSource>& source, std::u16string_view& nonTextReason,
                      SourceKind& kind) {
  source.reset();
  nonTextReason = {};
  // A bookmark HTML file is counted from this opening, which read its start.
  std::unique_ptr<BookmarkFile> file;
  TextEncoding encoding = TextEncoding::kAnsiCodePage;
  IoResult result = BookmarkFile::OpenDetecting(platform.streams, path, file, encoding);
  if (!result) return result;
  const std::string_view start = file->StartOfFile();
  kind = SourceKindOf(start);
  if (kind != SourceKind::kText) {
    file.reset();
    source = BrowserSource(kind, path, platform.streams, platform.snapshots);
    return result;
  }
  nonTextReason = NonTextReason(start);
  if (nonTextReason.empty()) {
    source = std::make_unique<HtmlBookmarkFile>(platform.streams, platform.codePage,
                                                std::u16string(path), std::move(file));
  }
  return result;
}

}  // namespace velkora
