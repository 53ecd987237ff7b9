#pragma once

#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "engine/interfaces/io_result.h"
#include "engine/sources/bookmark_events.h"
#include "engine/sources/chromium/chromium_names.h"
#include "engine/sources/chromium/json_bytes.h"
#include "engine/sources/chromium/node_headings.h"
#include "engine/sources/page_icons.h"

namespace velkora {

// Walks a Bookmarks file as nlohmann's parser reports it (its SAX interface), holding only
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

  // The outcome once sax_parse has returned parsed.
  IoResult Outcome(bool parsed) const;
  // What kHeadings counted: every node kEvents reports as a bookmark, read or not.
  std::int32_t Counted() const { return counted_; }
  // Closes the folders a walk that stopped early left open, innermost first.
  void CloseOpenFolders();

  // The parser's calls.
  bool null() { return Scalar(); }
  bool boolean(bool) { return Scalar(); }
  bool number_integer(std::int64_t) { return Scalar(); }
  bool number_unsigned(std::uint64_t) { return Scalar(); }
  bool number_float(double, const std::string&) { return Scalar(); }
  bool binary(nlohmann::json::binary_t&) { return Scalar(); }
  bool string(std::string& value);
  bool start_object(std::size_t);
  bool key(std::string& key);
  bool end_object() { return End(); }
  bool start_array(std::size_t);
  bool end_array() { return End(); }
  bool parse_error(std::size_t, const std::string&, const nlohmann::json::exception& error);

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
