#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace velkora::testing {

// A node of a tree that a test writes as a Chromium Bookmarks file. A node of type
// "folder" gets "children" (and its date_added as date_modified); one of type "" gets no
// "type" key, and a url of "-" no "url" key.
struct JsonNode {
  JsonNode(std::string t = "", std::string n = "", std::string u = "", std::string a = "",
           std::vector<JsonNode> c = {})
      : type(std::move(t)),
        name(std::move(n)),
        url(std::move(u)),
        added(std::move(a)),
        children(std::move(c)) {}
  std::string type, name, url, added;
  std::vector<JsonNode> children;
};

// node's object on a line of its own, its children each on the lines after it. Keys are
// in Chromium's order (alphabetical: "children" first), or in the reverse one.
inline std::string NodeJson(const JsonNode& node, bool reverseKeys) {
  std::vector<std::string> keys;
  const auto add = [&](const std::string& key, const std::string& value) {
    if (!value.empty()) keys.push_back("\"" + key + "\":" + value);
  };
  if (node.type == "folder") {
    std::string children = "[";
    for (const JsonNode& child : node.children) children += NodeJson(child, reverseKeys) + ",";
    if (children.size() > 1) children.pop_back();
    add("children", children + "]");
  }
  add("date_added", node.added.empty() ? "" : "\"" + node.added + "\"");
  if (node.type == "folder")
    add("date_modified", node.added.empty() ? "" : "\"" + node.added + "\"");
  add("id", "\"1\"");
  add("name", "\"" + node.name + "\"");
  add("type", node.type.empty() ? "" : "\"" + node.type + "\"");
  if (node.url != "-") add("url", "\"" + node.url + "\"");
  if (reverseKeys) std::reverse(keys.begin(), keys.end());
  std::string text = "\n{";
  for (const std::string& key : keys) text += key + ",";
  text.back() = '}';
  return text;
}

// The Bookmarks file of roots, each a key of "roots" and its node: the first root's
// object starts on line 2, and each node after it on the next line.
inline std::string BookmarksJson(const std::vector<std::pair<std::string, JsonNode>>& roots,
                                 bool reverseKeys = false) {
  std::string text = "{\"checksum\":\"0\",\"roots\":{";
  for (const auto& [key, node] : roots)
    text += "\"" + key + "\":" + NodeJson(node, reverseKeys) + ",";
  return text + "\"meta_info\":{\"a\":{}},\"x\":{\"children\":[]}},\"version\":1}\n";
}

}  // namespace velkora::testing
