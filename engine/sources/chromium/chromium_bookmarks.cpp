#include "engine/sources/chromium/chromium_bookmarks.h"

#include <rapidjson/reader.h>

#include <algorithm>
#include <cstdint>
#include <utility>

#include "engine/sources/chromium/bookmarks_json_walker.h"
#include "engine/sources/chromium/folder_below.h"
#include "engine/sources/chromium/json_reading.h"

namespace velkora {
namespace {

constexpr std::u16string_view kAccountFileName = u"AccountBookmarks";

// One walk over stream's bytes; a kHeadings walk adds the bookmarks it counted to counted,
// when it is given.
IoResult Walk(BookmarksJsonWalker::Walk walk, InputStream& stream, NodeHeadings& headings,
              BookmarkEvents* events, BookmarksJsonWalker::Options options,
              std::int32_t* counted = nullptr) {
  JsonBytes bytes(stream);
  BookmarksJsonWalker walker(walk, bytes, headings, events, options);
  rapidjson::Reader reader;
  const rapidjson::ParseResult result = reader.Parse<kJsonReadFlags>(bytes, walker);
  bool parsed = !result.IsError();
  if (!parsed && result.Code() != rapidjson::kParseErrorTermination) {
    walker.SyntaxError(bytes.AtEnd() ? kJsonEndsEarly : JsonSyntaxReason(result.Code()));
  } else if (parsed && !bytes.AtEnd()) {
    // The reader takes a NUL byte for the end: what follows one is no part of the value.
    walker.SyntaxError(JsonSyntaxReason(rapidjson::kParseErrorDocumentRootNotSingular));
    parsed = false;
  }
  if (!parsed && events) walker.CloseOpenFolders();
  if (counted) {
    *counted = static_cast<std::int32_t>(
        std::min<std::int64_t>(std::int64_t{*counted} + walker.Counted(), INT32_MAX));
  }
  return walker.Outcome(parsed);
}

IoResult InAccountFile(IoResult result) {
  if (result) return result;
  return IoResult::Failure(std::u16string(kAccountFileName) + u": " + result.reason);
}

}  // namespace

std::u16string SiblingPath(std::u16string_view path, std::u16string_view name) {
  const std::size_t separator = path.find_last_of(u"/\\");
  std::u16string sibling(separator == std::u16string_view::npos ? std::u16string_view()
                                                                : path.substr(0, separator + 1));
  sibling += name;
  return sibling;
}

ChromiumBookmarks::ChromiumBookmarks(FileStreams& streams, std::u16string bookmarksPath,
                                     ChromiumFamily family, PageIcons* icons)
    : streams_(streams), path_(std::move(bookmarksPath)), family_(family), icons_(icons) {}

IoResult ChromiumBookmarks::Count(SourceCount& count) {
  count = {};
  changed_ = false;
  bookmarks_ = {};
  account_ = {};
  std::unique_ptr<InputStream> stream;
  if (IoResult opened = streams_.OpenInput(path_, stream); !opened) return opened;
  if (IoResult read = CountFile(*stream, bookmarks_, count.bookmarks); !read) return read;
  IoResult opened = streams_.OpenInput(SiblingPath(path_, kAccountFileName), stream);
  if (!opened) return opened.missing ? IoResult::Success() : InAccountFile(opened);
  return InAccountFile(CountFile(*stream, account_, count.bookmarks));
}

IoResult ChromiumBookmarks::CountFile(InputStream& stream, CountedFile& counted,
                                      std::int32_t& bookmarks) {
  counted = {};
  if (IoResult stamped = stream.Stamp(counted.stamp); !stamped) return stamped;
  const BookmarksJsonWalker::Options options{family_, icons_};
  IoResult read = Walk(BookmarksJsonWalker::Walk::kHeadings, stream, counted.headings, nullptr,
                       options, &bookmarks);
  if (read) {
    counted.counted = true;
  } else {
    counted = {};
  }
  return read;
}

IoResult ChromiumBookmarks::Read(BookmarkEvents& events) {
  std::unique_ptr<InputStream> stream;
  if (IoResult opened = streams_.OpenInput(path_, stream); !opened) return opened;
  if (IoResult read = ReadFile(path_, std::move(stream), bookmarks_, events); !read) return read;
  if (events.StopRequested()) return IoResult::Success();
  const std::u16string account = SiblingPath(path_, kAccountFileName);
  IoResult opened = streams_.OpenInput(account, stream);
  if (!opened) return opened.missing ? IoResult::Success() : InAccountFile(opened);
  FolderBelow below(events, kAccountFolderName);
  IoResult read = ReadFile(account, std::move(stream), account_, below);
  below.Close();
  return InAccountFile(read);
}

IoResult ChromiumBookmarks::ReadFile(std::u16string_view path, std::unique_ptr<InputStream> first,
                                     CountedFile& counted, BookmarkEvents& events) {
  const BookmarksJsonWalker::Options options{family_, icons_};
  FileStamp before;
  if (IoResult stamped = first->Stamp(before); !stamped) return stamped;
  // Unchanged since it was counted, the file is read with the headings counting found.
  CountedFile known = std::exchange(counted, {});
  if (known.counted && known.stamp != before) changed_ = true;
  if (known.counted && known.stamp == before) {
    NodeHeadings headings = std::move(known.headings);
    return Walk(BookmarksJsonWalker::Walk::kEvents, *first, headings, &events, options);
  }
  NodeHeadings headings;
  IoResult read = Walk(BookmarksJsonWalker::Walk::kHeadings, *first, headings, nullptr, options);
  first.reset();
  if (!read) return read;
  std::unique_ptr<InputStream> second;
  if (IoResult opened = streams_.OpenInput(path, second); !opened) return opened;
  FileStamp after;
  if (IoResult stamped = second->Stamp(after); !stamped) return stamped;
  if (after != before) return IoResult::Failure(std::u16string(kBookmarksChanged));
  return Walk(BookmarksJsonWalker::Walk::kEvents, *second, headings, &events, options);
}

}  // namespace velkora
