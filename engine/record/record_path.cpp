#include "engine/record/record_path.h"

#include <algorithm>

#include "engine/names/case_table.h"

namespace velkora {

std::u16string_view RecordPathFault(std::u16string_view path) {
  if (path.empty()) return u"パスが空です";
  if (path.front() == u'/') return u"パスが「/」で始まっています（絶対パスは使えません）";
  if (path.find(u'\\') != std::u16string_view::npos) return u"パスに「\\」があります";
  // A drive ("C:") or a stream of a file ("a.url:x"); no name the run makes holds ':'.
  if (path.find(u':') != std::u16string_view::npos) {
    return u"パスに「:」があります（ドライブ名は使えません）";
  }
  if (std::any_of(path.begin(), path.end(), [](char16_t c) { return c < 0x20 || c == 0x7F; })) {
    return u"パスに制御文字か NUL があります";
  }
  std::size_t start = 0;
  while (true) {
    const std::size_t end = std::min(path.find(u'/', start), path.size());
    const std::u16string_view name = path.substr(start, end - start);
    if (name.empty()) return u"パスに空の名前があります";
    if (name == u"." || name == u"..") return u"パスに「.」か「..」があります";
    if (end == path.size()) return {};
    start = end + 1;
  }
}

void FoldRecordPath(std::u16string_view path, std::u16string& key) {
  key.resize(path.size());
  for (std::size_t i = 0; i < path.size(); ++i) key[i] = UpperCase(path[i]);
}

}  // namespace velkora
