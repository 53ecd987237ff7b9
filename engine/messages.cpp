#include "engine/messages.h"

namespace velkora {

std::u16string DecimalText(long long number) {
  const bool negative = number < 0;
  unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(number)
                                          : static_cast<unsigned long long>(number);
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  if (negative) digits.insert(digits.begin(), u'-');
  return digits;
}

std::u16string CannotReadMessage(std::u16string_view path, std::u16string_view reason) {
  std::u16string text = u"ブックマークファイルを読み込めませんでした。\n";
  text += path;
  text += u"\n理由: ";
  text += reason;
  return text;
}

std::u16string OtherFormatMessage(std::int32_t count) {
  return u"別の形式のため読まなかったブックマーク: " + DecimalText(count) + u" 件";
}

std::u16string CompletionMessage(const ConversionReport& report) {
  std::u16string text(kCompletedMessage);
  const bool noBookmarks =
      report.bookmarkLines == 0 && report.otherFormatBookmarks == 0 && !report.changedDuringRun;
  if (!report.changedDuringRun && !noBookmarks && report.malformedLines == 0 &&
      report.otherFormatBookmarks == 0 && report.skippedQueries == 0 &&
      report.failedShortcuts == 0 && report.iconlessShortcuts == 0) {
    return text;
  }
  text += u"\n";
  if (report.changedDuringRun) {
    text += u"\n変換中にブックマークファイルが変更されました。もう一度コンバートしてください。";
  }
  if (noBookmarks) {
    text += u"\n";
    text += kNoBookmarksMessage;
  }
  if (report.malformedLines > 0) {
    text += u"\n読み取れなかったブックマーク行: " + DecimalText(report.malformedLines) +
            u" 件（最初は " + DecimalText(report.firstMalformedLine) + u" 行目）";
  }
  if (report.otherFormatBookmarks > 0) {
    text += u"\n" + OtherFormatMessage(report.otherFormatBookmarks);
  }
  if (report.skippedQueries > 0) {
    text += u"\nそのブラウザでしか開けない検索（place:）のため書き出さなかったブックマーク: " +
            DecimalText(report.skippedQueries) + u" 件";
  }
  if (report.failedShortcuts > 0) {
    text += u"\n作成できなかったショートカット: " + DecimalText(report.failedShortcuts) +
            u" 件（最初: " + report.firstFailedPath + u"\n理由: " + report.firstFailureReason +
            u"）";
  }
  if (report.iconlessShortcuts > 0) {
    text += u"\nアイコンを付けられなかったショートカット: " +
            DecimalText(report.iconlessShortcuts) + u" 件";
  }
  return text;
}

}  // namespace velkora
