#include "engine/run/change_messages.h"

#include "engine/run/messages.h"

namespace velkora {
namespace {

std::u16string_view KindText(TargetChange::Kind kind) {
  switch (kind) {
    case TargetChange::Kind::kAdd:
      return u"追加";
    case TargetChange::Kind::kUpdate:
      return u"更新";
    case TargetChange::Kind::kMove:
      return u"移動";
    case TargetChange::Kind::kRemove:
      return u"削除";
    case TargetChange::Kind::kKeep:
      break;
  }
  return u"残す";
}

void AppendCount(std::u16string& text, std::u16string_view name, std::int32_t count) {
  if (!text.empty()) text += u"、";
  text += name;
  text += u' ';
  text += DecimalText(count);
  text += u" 件";
}

}  // namespace

std::u16string TargetChangeLine(const TargetChange& change) {
  std::u16string line(KindText(change.kind));
  line += u": ";
  if (change.kind == TargetChange::Kind::kMove) {
    line += change.from;
    line += u" → ";
  }
  line += change.path;
  if (!change.reason.empty()) {
    line += u"（";
    line += change.reason;
    line += u"）";
  }
  return line;
}

std::u16string TargetChangeCountsText(const TargetChangeCounts& counts) {
  std::u16string text;
  AppendCount(text, u"追加", counts.added);
  AppendCount(text, u"更新", counts.updated);
  AppendCount(text, u"移動", counts.moved);
  AppendCount(text, u"削除", counts.removed);
  AppendCount(text, u"残す", counts.kept);
  AppendCount(text, u"変更なし", counts.unchanged);
  return text;
}

std::u16string GoneShortcutsMessage(std::int32_t count) {
  return u"消えたブックマークのショートカット: " + DecimalText(count) + u" 件";
}

std::u16string OtherSourceMessage(std::u16string_view recordSource) {
  return u"この出力先は別のブックマークファイルから作られています: " + std::u16string(recordSource);
}

}  // namespace velkora
