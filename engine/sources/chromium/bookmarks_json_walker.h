#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/interfaces/io_result.h"
#include "engine/sources/bookmark_events.h"
#include "engine/sources/chromium/chromium_names.h"
#include "engine/sources/chromium/json_bytes.h"
#include "engine/sources/chromium/node_headings.h"
#include "engine/sources/page_icons.h"

namespace velkora {

// Walks a Bookmarks file as RapidJSON's reader reports it (its SAX handler), holding only
// the path from the top to the value being read: the values of one node at a time, and a
// few bytes for each level of nesting. A value the file's format does not use is passed
// over, whatever it holds.
//
// It reads the file twice. The first walk (kHeadings) reports nothing, keeps the heading
// of every node with children and counts the bookmarks the second will report; the second
// (kEvents) reports the folders, opening each from its heading when its children start,
// and the bookmarks, each when its object ends, and stops between two nodes once events
// asks it to.
class BookmarksJsonWalker {
 public:
  enum class Walk { kHeadings, kEvents };
  struct Options {
    ChromiumFamily family = ChromiumFamily::kChrome;
    PageIcons* icons = nullptr;
  };

  BookmarksJsonWalker(Walk walk, JsonBytes& bytes, NodeHeadings& headings, BookmarkEvents* events,
                      Options options);

  // The outcome once the reader has returned, having parsed the whole file or not.
  IoResult Outcome(bool parsed) const;
  // Notes that the bytes are no JSON text: reason tells why, at the next byte.
  void SyntaxError(std::u16string_view reason);
  // What kHeadings counted: every node kEvents reports as a bookmark, read or not.
  std::int32_t Counted() const { return counted_; }
  // Closes the folders a walk that stopped early left open, innermost first.
  void CloseOpenFolders();

  // The reader's calls. Numbers come as their text: the walk reads none.
  bool Null() { return Scalar(); }
  bool Bool(bool) { return Scalar(); }
  bool Int(int) { return Scalar(); }
  bool Uint(unsigned) { return Scalar(); }
  bool Int64(std::int64_t) { return Scalar(); }
  bool Uint64(std::uint64_t) { return Scalar(); }
  bool Double(double) { return Scalar(); }
  bool RawNumber(const char*, unsigned, bool) { return Scalar(); }
  bool String(const char* text, unsigned length, bool);
  bool StartObject();
  bool Key(const char* text, unsigned length, bool);
  bool EndObject(unsigned) { return End(); }
  bool StartArray();
  bool EndArray(unsigned) { return End(); }

 private:
  enum class Frame : std::uint8_t { kTop, kRoots, kNode, kChildren };
  // What the value after the last key is to the walk.
  enum class Pending : std::uint8_t {
    kNone,
    kRoots,
    kRoot,
    kChildren,
    kName,
    kUrl,
    kType,
    kAdded,
    kModified,
    kGuid
  };
  static constexpr std::uint32_t kNoHeading = 0xFFFFFFFF;
  struct Level {
    Frame frame;
    ChromiumRoot root = ChromiumRoot::kNone;  // kNone below the roots
    bool childrenSeen = false;
    bool opened = false;
    std::uint32_t heading = kNoHeading;
    std::int32_t line = 0;
    // kHeadings: the "type" before the node's children, and the bookmarks counted inside it.
    NodeType typeBeforeChildren = NodeType::kNone;
    std::int32_t counted = 0;
  };

  bool Scalar();
  bool End();
  // Counts a level more of nesting, refusing more than a browser reads.
  bool Nest();
  bool StartNode(ChromiumRoot root);
  static NodeType TypeOfNode(const Level& node, NodeType stored);
  bool StartChildren();
  void EndNode(const Level& node);
  void CountEnded(const Level& level);
  void ReportNode(const Level& node);
  void OpenFolder(const Level& node, const NodeHeading* heading);
  void ReportBookmark(const Level& node);
  bool Fail(std::u16string reason);

  const Walk walk_;
  JsonBytes& bytes_;
  NodeHeadings& headings_;
  BookmarkEvents* const events_;
  const Options options_;

  std::vector<Level> levels_;
  // The depth inside a value passed over; 0 outside one.
  std::uint64_t skipDepth_ = 0;
  // The depth of nesting of the value being read.
  std::uint32_t depth_ = 0;
  Pending pending_ = Pending::kNone;
  ChromiumRoot pendingRoot_ = ChromiumRoot::kNone;
  std::string rootKey_;
  NodeFields fields_;
  std::size_t nextHeading_ = 0;
  bool sawRoots_ = false;
  bool notBookmarks_ = false;
  bool stopped_ = false;
  std::int32_t counted_ = 0;
  std::u16string failure_;

  // The texts of the event being reported.
  std::u16string name_, url_, title_, icon_, guid_;
  std::string image_;
};

}  // namespace velkora
