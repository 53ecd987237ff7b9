#include "engine/sources/html/pomerek_grammar.h"

#include "engine/run/refusal_reasons.h"
#include "engine/text/text.h"
#include "engine/text/unit_search.h"

namespace velkora {
namespace {

constexpr auto npos = std::u16string_view::npos;

constexpr std::u16string_view kItem = u"<LI>";
constexpr std::u16string_view kList = u"<UL>";
constexpr std::u16string_view kListEnd = u"</UL>";
constexpr std::u16string_view kTitleEnd = u"</A>";

// Notes at where the first occurrence of marker in line stands, if it starts at at.
void NoteMarker(std::u16string_view line, std::size_t at, std::u16string_view marker,
                std::size_t& where) {
  if (where == npos && line.substr(at).starts_with(marker)) where = at;
}

}  // namespace

struct PomerekGrammar::Markers {
  std::size_t item = npos;
  std::size_t list = npos;
  std::size_t listEnd = npos;
  std::size_t titleEnd = npos;
  std::size_t urlStart = npos;  // the first '="'
  std::size_t urlEnd = npos;    // the first '">'
  std::size_t urlClose = npos;  // the first '"' after urlStart's

  // Finds the markers in one pass over the line's '<' and '"' characters, rather than
  // one search for each.
  explicit Markers(std::u16string_view line) {
    ForEachEitherUnit(line, u'<', u'"', [this, line](std::size_t at) { Note(line, at); });
  }

  void Note(std::u16string_view line, std::size_t at) {
    if (line[at] == u'<') {
      // The unit after '<' tells which marker may start here.
      switch (at + 1 < line.size() ? line[at + 1] : u'\0') {
        case u'L':
          NoteMarker(line, at, kItem, item);
          break;
        case u'U':
          NoteMarker(line, at, kList, list);
          break;
        case u'/':
          NoteMarker(line, at, kListEnd, listEnd);
          NoteMarker(line, at, kTitleEnd, titleEnd);
          break;
        default:
          break;
      }
      return;
    }
    if (urlStart != npos && urlClose == npos) urlClose = at;
    if (urlStart == npos && at > 0 && line[at - 1] == u'=') urlStart = at - 1;
    if (urlEnd == npos && at + 1 < line.size() && line[at + 1] == u'>') urlEnd = at;
  }
};

PomerekGrammar::PomerekGrammar(BookmarkEvents& events, const LineDecoder& decoder, GrammarMode mode)
    : events_(events), decoder_(decoder), mode_(mode) {}

void PomerekGrammar::Feed(std::string_view bytes, std::int32_t lineNumber) {
  if (mode_ == GrammarMode::kCount) {
    CountLine(bytes);
    return;
  }
  decoder_.Decode(bytes, line_);
  ReadLine(lineNumber);
}

// An item line is one with "<LI>" and no "<UL>": reading reports one event for each, and
// one more for each "</A>" after its first. Counting looks for the markers in the bytes,
// without decoding the line.
void PomerekGrammar::CountLine(std::string_view bytes) {
  if (!decoder_.Holds(bytes, "<LI>") || decoder_.Holds(bytes, "<UL>")) return;
  events_.Bookmark({});
  for (std::size_t anchors = decoder_.Count(bytes, "</A>"); anchors > 1; --anchors) {
    events_.Bookmark({});
  }
}

void PomerekGrammar::ReadLine(std::int32_t lineNumber) {
  const Markers found(line_);
  if (found.list != npos) {
    ReadFolderLine(found);
  } else if (found.listEnd != npos) {
    // The line closes its folder. A bookmark written on it too is not converted, and is
    // reported rather than lost without a word.
    if (found.item != npos && found.titleEnd != npos) {
      events_.MalformedBookmark(lineNumber, kBookmarkOnClosingLine);
    } else if (found.item != npos) {
      events_.ItemWithoutBookmark();
    }
    ReadFurtherAnchors(found, lineNumber);
    events_.CloseFolder();
  } else if (found.item != npos) {
    ReadBookmarkLine(found, lineNumber);
    ReadFurtherAnchors(found, lineNumber);
  }
}

// On an item line, each "</A>" after the first ends one more anchor, which starts where the one
// before it ended. Its URL and title are found as a bookmark line's are, and it is reported unread,
// rather than lost without a word.
void PomerekGrammar::ReadFurtherAnchors(const Markers& found, std::int32_t lineNumber) {
  if (found.item == npos || found.titleEnd == npos) return;
  const std::u16string_view line = line_;
  std::size_t from = found.titleEnd + kTitleEnd.size();
  for (std::size_t end = line.find(kTitleEnd, from); end != npos;
       from = end + kTitleEnd.size(), end = line.find(kTitleEnd, from)) {
    const std::u16string_view anchor = line.substr(from, end - from);
    BookmarkRecord bookmark;
    bookmark.lineNumber = lineNumber;
    if (const std::size_t urlStart = anchor.find(u"=\""); urlStart != npos) {
      const std::size_t urlFrom = urlStart + 2;
      bookmark.url = anchor.substr(urlFrom, anchor.find(u'"', urlFrom) - urlFrom);
    }
    const std::size_t titleStart = anchor.find(u"\">");
    bookmark.title = titleStart == npos ? anchor : anchor.substr(titleStart + 2);
    events_.UnreadBookmark(bookmark, kFurtherBookmarkOnLine);
  }
}

// A line with "<LI>" and "<UL>" opens a folder named by the text between them; "<UL>"
// alone only encloses a list.
void PomerekGrammar::ReadFolderLine(const Markers& found) {
  if (found.item == npos) return;
  const std::size_t start = found.item + kItem.size();
  name_.assign(found.list > start ? std::u16string_view(line_).substr(start, found.list - start)
                                  : std::u16string_view());
  events_.OpenFolder(name_, {});
  // A name of millions of characters leaves no memory behind.
  ReleaseIfLarge(name_);
}

// A bookmark line holds the URL between '="' and the next '"', and the title between the
// first '">' and the first "</A>" after it.
void PomerekGrammar::ReadBookmarkLine(const Markers& found, std::int32_t lineNumber) {
  if (found.urlStart == npos || found.urlEnd == npos || found.urlEnd < found.urlStart + 2 ||
      found.titleEnd == npos || found.titleEnd < found.urlEnd + 2) {
    events_.MalformedBookmark(lineNumber, kMalformedBookmarkLine);
    return;
  }
  const std::u16string_view line = line_;
  const std::size_t urlFrom = found.urlStart + 2;
  const std::size_t titleFrom = found.urlEnd + 2;
  BookmarkRecord bookmark;
  bookmark.url = found.urlClose > urlFrom ? line.substr(urlFrom, found.urlClose - urlFrom)
                                          : std::u16string_view();
  bookmark.title = line.substr(titleFrom, found.titleEnd - titleFrom);
  bookmark.lineNumber = lineNumber;
  events_.Bookmark(bookmark);
}

}  // namespace velkora
