#include "engine/run/messages.h"

#include "engine/text/surrogates.h"

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

namespace {

std::u16string PathMessage(std::u16string_view headline, std::u16string_view path,
                           std::u16string_view reason) {
  std::u16string text(headline);
  text += u"\n";
  text += path;
  text += u"\n理由: ";
  text += reason;
  return text;
}

}  // namespace

std::u16string CannotReadMessage(std::u16string_view path, std::u16string_view reason) {
  return PathMessage(u"ブックマークファイルを読み込めませんでした。", path, reason);
}

std::u16string NotBookmarkFileMessage(std::u16string_view path, std::u16string_view reason) {
  return PathMessage(u"ブックマークファイルではありません。", path, reason);
}

std::u16string TargetUnusableMessage(std::u16string_view target, std::u16string_view reason) {
  return PathMessage(u"ショートカットの作成場所を使えません。", target, reason);
}

std::u16string OtherFormatMessage(std::int32_t count) {
  return u"別の形式のため読まなかったブックマーク: " + DecimalText(count) + u" 件";
}

std::u16string BookmarkText(const BookmarkRecord& bookmark) {
  // A title or URL may run to millions of characters: enough is shown to know it by.
  constexpr std::size_t kShown = 300;
  const auto shown = [](std::u16string_view text) {
    if (text.size() <= kShown) return std::u16string(text);
    const std::size_t cut = StartsSurrogatePair(text, kShown - 1) ? kShown - 1 : kShown;
    return std::u16string(text.substr(0, cut)) + u"…";
  };
  std::u16string text = DecimalText(bookmark.lineNumber) + u" 行目";
  if (!bookmark.title.empty()) text += u"「" + shown(bookmark.title) + u"」";
  if (!bookmark.url.empty()) text += u"（URL: " + shown(bookmark.url) + u"）";
  return text;
}

namespace {

// True when the file held no bookmark of either format, and did not change.
bool NoBookmarks(const ConversionReport& report) {
  return report.bookmarkLines == 0 && report.otherFormatBookmarks == 0 && !report.changedDuringRun;
}

}  // namespace

MessageIcon CompletionIcon(const ConversionReport& report) {
  return report.AllWritten() && !NoBookmarks(report) ? MessageIcon::kNone : MessageIcon::kWarning;
}

std::u16string CompletionMessage(const ConversionReport& report) {
  if (NoBookmarks(report)) return std::u16string(kNoBookmarksMessage);
  // A record that could not be read or written is told after the counts (the run's end
  // message): the shortcuts were written all the same.
  ConversionReport shortcuts = report;
  shortcuts.recordProblem.clear();
  const bool allWritten = shortcuts.AllWritten();
  std::u16string text(allWritten           ? kCompletedMessage
                      : report.written > 0 ? kSomeNotWrittenMessage
                                           : kNoneWrittenMessage);
  if (allWritten && report.skippedQueries == 0 && report.shortenedNames == 0 &&
      report.iconlessShortcuts == 0) {
    return text;
  }
  text += u"\n\n作成したショートカット: " + DecimalText(report.written) + u" 件";
  if (report.shortenedNames > 0) {
    text += u"\n名前を短くしたショートカット: " + DecimalText(report.shortenedNames) + u" 件";
  }
  if (report.changedDuringRun) {
    text += u"\n変換中にブックマークファイルが変更されました。もう一度コンバートしてください。";
  }
  if (report.malformedLines > 0) {
    text += u"\n読み取れなかったブックマーク行: " + DecimalText(report.malformedLines) +
            u" 件（最初は " + DecimalText(report.firstMalformedLine) + u" 行目）";
  }
  if (report.otherFormatBookmarks > 0) {
    text += u"\n" + OtherFormatMessage(report.otherFormatBookmarks);
  }
  if (report.skippedQueries > 0) {
    text += u"\nそのブラウザーでしか開けない検索（place:）のため書き出さなかったブックマーク: " +
            DecimalText(report.skippedQueries) + u" 件";
  }
  if (report.failedShortcuts > 0) {
    BookmarkRecord first;
    first.url = report.firstFailedUrl;
    first.title = report.firstFailedTitle;
    first.lineNumber = report.firstFailedLine;
    text += u"\n作成できなかったショートカット: " + DecimalText(report.failedShortcuts) +
            u" 件（最初: " + BookmarkText(first) + u"\n" + report.firstFailedPath + u"\n理由: " +
            report.firstFailureReason + u"）";
  }
  if (report.iconlessShortcuts > 0) {
    text += u"\nアイコンを付けられなかったショートカット: " +
            DecimalText(report.iconlessShortcuts) + u" 件";
  }
  return text;
}

}  // namespace velkora
