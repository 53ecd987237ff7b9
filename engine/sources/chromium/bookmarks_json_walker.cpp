#include "engine/sources/chromium/bookmarks_json_walker.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "engine/run/messages.h"
#include "engine/sources/chromium/json_reading.h"
#include "engine/sources/icon_data_uri.h"
#include "engine/text/utf8.h"
#include "engine/write/icon_image.h"

namespace velkora {
namespace {

std::int32_t LineNumber(std::int64_t line) {
  return static_cast<std::int32_t>(std::min<std::int64_t>(line, INT32_MAX));
}

// into + more, kept within the counts of bookmarks.
void AddCount(std::int32_t& into, std::int32_t more) {
  into = static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{into} + more, INT32_MAX));
}

NodeType TypeOf(std::string_view type) {
  if (type == "url") return NodeType::kUrl;
  if (type == "folder") return NodeType::kFolder;
  return NodeType::kOther;
}

}  // namespace

BookmarksJsonWalker::BookmarksJsonWalker(Walk walk, JsonBytes& bytes, NodeHeadings& headings,
                                         BookmarkEvents* events, Options options)
    : walk_(walk), bytes_(bytes), headings_(headings), events_(events), options_(options) {}

IoResult BookmarksJsonWalker::Outcome(bool parsed) const {
  if (!bytes_.ReadResult()) return bytes_.ReadResult();
  if (!failure_.empty()) return IoResult::Failure(failure_);
  if (stopped_) return IoResult::Success();
  if (!parsed || notBookmarks_ || !sawRoots_)
    return IoResult::Failure(std::u16string(kNotBookmarksJson));
  return IoResult::Success();
}

void BookmarksJsonWalker::CloseOpenFolders() {
  for (auto level = levels_.rbegin(); level != levels_.rend(); ++level) {
    if (level->opened) events_->CloseFolder();
  }
  levels_.clear();
}

bool BookmarksJsonWalker::Fail(std::u16string reason) {
  failure_ = std::move(reason);
  return false;
}

void BookmarksJsonWalker::SyntaxError(std::u16string_view reason) {
  // A read that failed ends the bytes early: its own reason is the one given.
  if (!bytes_.ReadResult()) return;
  if (!bytes_.Started()) {
    failure_ = kEmptyBookmarksFile;
    return;
  }
  failure_ = u"ブックマークファイルを読めません（JSON として正しくありません）: 行 " +
             DecimalText(bytes_.Line()) + u"、列 " + DecimalText(bytes_.Column()) + u": ";
  failure_ += reason;
}

bool BookmarksJsonWalker::Nest() {
  if (++depth_ <= kMostJsonNesting) return true;
  SyntaxError(u"入れ子が深すぎます（" + DecimalText(kMostJsonNesting) + u" 段を超えています）");
  return false;
}

bool BookmarksJsonWalker::Scalar() {
  if (skipDepth_ > 0) return true;
  pending_ = Pending::kNone;
  // A file that is one number, string or literal holds no bookmarks.
  if (levels_.empty()) notBookmarks_ = true;
  return !notBookmarks_;
}

bool BookmarksJsonWalker::String(const char* text, unsigned length, bool) {
  if (skipDepth_ > 0) return true;
  const std::string_view value(text, length);
  switch (std::exchange(pending_, Pending::kNone)) {
    case Pending::kName:
      fields_.name = value;
      fields_.hasName = true;
      break;
    case Pending::kUrl:
      fields_.url = value;
      fields_.hasUrl = true;
      break;
    case Pending::kType:
      fields_.type = TypeOf(value);
      break;
    case Pending::kAdded:
      fields_.dates.added = ChromiumDate(value);
      break;
    case Pending::kModified:
      fields_.dates.modified = ChromiumDate(value);
      break;
    case Pending::kGuid:
      fields_.guid = value;
      break;
    default:
      if (levels_.empty()) notBookmarks_ = true;
      break;
  }
  return !notBookmarks_;
}

bool BookmarksJsonWalker::Key(const char* text, unsigned length, bool) {
  if (skipDepth_ > 0) return true;
  const std::string_view key(text, length);
  Level& level = levels_.back();
  pending_ = Pending::kNone;
  if (level.frame == Frame::kTop) {
    if (key == "roots") pending_ = Pending::kRoots;
  } else if (level.frame == Frame::kRoots) {
    pendingRoot_ = RootOfKey(key);
    if (pendingRoot_ != ChromiumRoot::kNone) pending_ = Pending::kRoot;
    if (pendingRoot_ == ChromiumRoot::kUnknown) rootKey_ = key;
  } else if (key == "children") {
    if (!level.childrenSeen) pending_ = Pending::kChildren;
  } else if (key == "name") {
    pending_ = Pending::kName;
  } else if (key == "url") {
    pending_ = Pending::kUrl;
  } else if (key == "type") {
    pending_ = Pending::kType;
  } else if (key == "date_added") {
    pending_ = Pending::kAdded;
  } else if (key == "date_modified") {
    pending_ = Pending::kModified;
  } else if (key == "guid") {
    pending_ = Pending::kGuid;
  }
  return true;
}

bool BookmarksJsonWalker::StartObject() {
  if (!Nest()) return false;
  if (skipDepth_ > 0) {
    ++skipDepth_;
    return true;
  }
  const Pending pending = std::exchange(pending_, Pending::kNone);
  if (levels_.empty()) {
    levels_.push_back({Frame::kTop});
    return true;
  }
  const Frame frame = levels_.back().frame;
  if (frame == Frame::kTop && pending == Pending::kRoots) {
    sawRoots_ = true;
    levels_.push_back({Frame::kRoots});
    return true;
  }
  if (frame == Frame::kRoots && pending == Pending::kRoot) return StartNode(pendingRoot_);
  if (frame == Frame::kChildren) return StartNode(ChromiumRoot::kNone);
  skipDepth_ = 1;
  return true;
}

bool BookmarksJsonWalker::StartArray() {
  if (!Nest()) return false;
  if (skipDepth_ > 0) {
    ++skipDepth_;
    return true;
  }
  if (levels_.empty()) {
    notBookmarks_ = true;
    return false;
  }
  if (std::exchange(pending_, Pending::kNone) == Pending::kChildren) return StartChildren();
  skipDepth_ = 1;
  return true;
}

bool BookmarksJsonWalker::End() {
  --depth_;
  if (skipDepth_ > 0) {
    --skipDepth_;
    return true;
  }
  pending_ = Pending::kNone;
  const Level level = levels_.back();
  levels_.pop_back();
  if (walk_ == Walk::kHeadings) CountEnded(level);
  if (level.frame == Frame::kNode) EndNode(level);
  // The values after a node's children are its own.
  if (level.frame == Frame::kChildren) fields_.Clear();
  return true;
}

bool BookmarksJsonWalker::StartNode(ChromiumRoot root) {
  if (walk_ == Walk::kEvents && events_->StopRequested()) {
    stopped_ = true;
    return false;
  }
  if (walk_ == Walk::kHeadings && levels_.back().frame == Frame::kChildren) {
    headings_.list[levels_[levels_.size() - 2].heading].hasChild = true;
  }
  levels_.push_back({Frame::kNode, root});
  levels_.back().line = LineNumber(bytes_.Line());
  fields_.Clear();
  return true;
}

NodeType BookmarksJsonWalker::TypeOfNode(const Level& node, NodeType stored) {
  // A root is a folder when its "type" does not say otherwise.
  if (node.root != ChromiumRoot::kNone && stored == NodeType::kNone) return NodeType::kFolder;
  return stored;
}

bool BookmarksJsonWalker::StartChildren() {
  Level& node = levels_.back();
  node.childrenSeen = true;
  if (walk_ == Walk::kHeadings) {
    // The node's "type" may come after its children: whether they count is told at its end.
    node.typeBeforeChildren = fields_.type;
    if (headings_.list.size() >= kNoHeading) return Fail(std::u16string(kNotBookmarksJson));
    node.heading = static_cast<std::uint32_t>(headings_.list.size());
    headings_.Merge(headings_.list.emplace_back(), fields_);
    levels_.push_back({Frame::kChildren});
    return true;
  }
  // The file is not the one the first walk read.
  if (nextHeading_ >= headings_.list.size()) return Fail(std::u16string(kBookmarksChanged));
  node.heading = static_cast<std::uint32_t>(nextHeading_++);
  const NodeHeading& heading = headings_.list[node.heading];
  if (TypeOfNode(node, heading.type) != NodeType::kFolder) {
    // Only a folder's children are its contents: Chromium reads no others.
    skipDepth_ = 1;
    nextHeading_ = heading.next;
    return true;
  }
  if (node.root == ChromiumRoot::kNone || heading.hasChild) {
    OpenFolder(node, &heading);
    node.opened = true;
  }
  levels_.push_back({Frame::kChildren});
  return true;
}

void BookmarksJsonWalker::EndNode(const Level& node) {
  if (walk_ == Walk::kEvents) {
    ReportNode(node);
    return;
  }
  if (node.heading == kNoHeading) return;
  NodeHeading& heading = headings_.list[node.heading];
  headings_.Merge(heading, fields_);
  heading.next = static_cast<std::uint32_t>(headings_.list.size());
}

void BookmarksJsonWalker::CountEnded(const Level& level) {
  if (level.frame == Frame::kChildren) {
    AddCount(levels_.back().counted, level.counted);
    return;
  }
  if (level.frame != Frame::kNode) return;
  // As ReportNode tells them: a folder's bookmarks are those inside it, any other node is
  // one bookmark, and the children of a node that is no folder are never read.
  const NodeType stored = fields_.type != NodeType::kNone ? fields_.type : level.typeBeforeChildren;
  const std::int32_t counted = TypeOfNode(level, stored) == NodeType::kFolder ? level.counted : 1;
  AddCount(levels_.back().frame == Frame::kChildren ? levels_.back().counted : counted_, counted);
}

void BookmarksJsonWalker::ReportNode(const Level& node) {
  const NodeHeading* heading = node.heading == kNoHeading ? nullptr : &headings_.list[node.heading];
  const NodeType type = TypeOfNode(node, heading ? heading->type : fields_.type);
  if (type == NodeType::kFolder) {
    if (heading) {
      if (node.opened) events_->CloseFolder();
    } else if (node.root == ChromiumRoot::kNone) {
      // A folder without children; a root without them makes none.
      OpenFolder(node, nullptr);
      events_->CloseFolder();
    }
  } else if (type == NodeType::kUrl) {
    ReportBookmark(node);
  } else {
    events_->MalformedBookmark(node.line, kNodeTypeUnknown);
  }
}

void BookmarksJsonWalker::OpenFolder(const Level& node, const NodeHeading* heading) {
  const std::string_view stored = heading ? headings_.NameOf(*heading) : fields_.name;
  if (node.root == ChromiumRoot::kNone || node.root == ChromiumRoot::kUnknown) {
    name_ = FromUtf8(stored.empty() && node.root == ChromiumRoot::kUnknown ? rootKey_ : stored);
  } else {
    name_ = RootName(options_.family, node.root);
  }
  events_->OpenFolder(name_, heading ? NodeHeadings::DatesOf(*heading) : fields_.dates);
}

void BookmarksJsonWalker::ReportBookmark(const Level& node) {
  if (!fields_.hasUrl) {
    events_->MalformedBookmark(node.line, kNodeWithoutUrl);
    return;
  }
  url_ = FromUtf8(fields_.url);
  title_ = FromUtf8(fields_.name);
  BookmarkRecord bookmark;
  bookmark.url = url_;
  bookmark.title = title_;
  bookmark.lineNumber = node.line;
  bookmark.dates = fields_.dates;
  guid_ = FromUtf8(fields_.guid);
  bookmark.guid = guid_;
  if (options_.icons && options_.icons->IconOf(fields_.url, image_)) {
    if (image_.size() > kMaxIconBytes) {
      bookmark.iconTooLong = true;
    } else {
      icon_ = IconDataUri(image_);
      bookmark.icon = icon_;
    }
  }
  events_->Bookmark(bookmark);
}

}  // namespace velkora
