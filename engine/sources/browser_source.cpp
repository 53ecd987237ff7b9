#include "engine/sources/browser_source.h"

#include <algorithm>
#include <string>

#include "engine/sources/chromium/chromium_bookmarks.h"
#include "engine/sources/chromium/chromium_icons.h"
#include "engine/sources/firefox/firefox_icons.h"
#include "engine/sources/firefox/firefox_places.h"

namespace velkora {
namespace {

constexpr std::string_view kSqliteSignature("SQLite format 3\0", 16);
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// The folder names an Edge profile lies below, on Windows and on Linux.
constexpr std::u16string_view kEdgeFolders[] = {u"microsoft\\edge", u"microsoft/edge",
                                                u"microsoft-edge"};

ChromiumFamily FamilyOf(std::u16string_view path) {
  std::u16string folded(path);
  std::ranges::transform(folded, folded.begin(), [](char16_t unit) {
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
  });
  const bool edge = std::ranges::any_of(kEdgeFolders, [&](std::u16string_view folder) {
    return folded.find(folder) != std::u16string::npos;
  });
  return edge ? ChromiumFamily::kEdge : ChromiumFamily::kChrome;
}

// A browser's bookmarks with the icons read for them, which they outlive.
class WithIcons final : public BookmarkSource {
 public:
  template <typename Icons>
  WithIcons(std::unique_ptr<Icons> icons, DatabaseSnapshots& snapshots,
            std::u16string_view iconsPath)
      : icons_(std::move(icons)) {
    // Bookmarks without icons are still bookmarks: icons that cannot be read leave the
    // shortcuts without them, as an export without ICON attributes does.
    if (!static_cast<Icons&>(*icons_).Open(snapshots, iconsPath)) icons_.reset();
  }

  PageIcons* Icons() const { return icons_.get(); }
  void Take(std::unique_ptr<BookmarkSource> bookmarks) { bookmarks_ = std::move(bookmarks); }
  IoResult Count(SourceCount& count) override { return bookmarks_->Count(count); }
  IoResult Read(BookmarkEvents& events) override { return bookmarks_->Read(events); }
  bool ChangedSinceCounted() const override { return bookmarks_->ChangedSinceCounted(); }

 private:
  std::unique_ptr<PageIcons> icons_;
  std::unique_ptr<BookmarkSource> bookmarks_;
};

}  // namespace

SourceKind SourceKindOf(std::string_view start) {
  if (start.starts_with(kSqliteSignature)) return SourceKind::kFirefoxPlaces;
  if (start.starts_with(kUtf8ByteOrderMark)) start.remove_prefix(kUtf8ByteOrderMark.size());
  const auto first = std::ranges::find_if_not(
      start, [](char byte) { return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n'; });
  return first != start.end() && *first == '{' ? SourceKind::kChromiumBookmarks : SourceKind::kText;
}

std::unique_ptr<BookmarkSource> BrowserSource(SourceKind kind, std::u16string_view path,
                                              FileStreams& streams, DatabaseSnapshots& snapshots) {
  std::u16string file(path);
  if (kind == SourceKind::kFirefoxPlaces) {
    auto source = std::make_unique<WithIcons>(std::make_unique<FirefoxIcons>(), snapshots,
                                              SiblingPath(path, u"favicons.sqlite"));
    source->Take(std::make_unique<FirefoxPlaces>(snapshots, std::move(file), source->Icons()));
    return source;
  }
  auto source = std::make_unique<WithIcons>(std::make_unique<ChromiumIcons>(), snapshots,
                                            SiblingPath(path, u"Favicons"));
  source->Take(std::make_unique<ChromiumBookmarks>(streams, std::move(file), FamilyOf(path),
                                                   source->Icons()));
  return source;
}

}  // namespace velkora
