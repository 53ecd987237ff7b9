#include "cli/console_window.h"

#include <algorithm>
#include <utility>

#include "engine/run/messages.h"
#include "platform/console.h"
#include "platform/interrupt.h"

namespace velkora {
namespace {

constexpr int kBarWidth = 30;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

}  // namespace

ConsoleWindow::ConsoleWindow(std::u16string bookmarkPath, std::u16string targetDirectory,
                             bool showProgress)
    : bookmarkPath_(std::move(bookmarkPath)),
      targetDirectory_(std::move(targetDirectory)),
      showProgress_(showProgress) {
  UpdateInterruptText();
}

void ConsoleWindow::SetProgressMaximum(std::int32_t maximum) {
  maximum_ = maximum;
  maximumKnown_ = true;
  UpdateInterruptText();
  DrawProgress(true);
}

void ConsoleWindow::SetProgressValue(std::int32_t value) {
  value_ = value;
  DrawProgress(false);
}

// The console has no icon: the message's first line says how the run ended.
void ConsoleWindow::ShowMessage(std::u16string_view text, MessageIcon /*icon*/) {
  if (progressShown_) {
    DrawProgress(true);
    WriteStandardError(u"\n");
    progressShown_ = false;
  }
  std::u16string line(text);
  line += u'\n';
  if (!WriteStandardOutput(line)) messagesWritten_ = false;
}

// The interrupt's count comes from the platform, which counts each shortcut as it renames
// it into place: counted here, after the rename, one could be missed.
void ConsoleWindow::ShortcutWritten(std::u16string_view /*path*/) {}

void ConsoleWindow::ShortcutShortened(const BookmarkRecord& bookmark, std::u16string_view name) {
  ReportLine(u"velkora-convert: " + BookmarkText(bookmark) + u"の名前を短くしました: " +
             std::u16string(name));
}

void ConsoleWindow::ShortcutFailed(const BookmarkRecord& bookmark, std::u16string_view path,
                                   std::u16string_view reason) {
  ReportLine(u"velkora-convert: " + BookmarkText(bookmark) +
             u"のショートカットを作成できませんでした: " + std::u16string(path) + u"（理由: " +
             std::u16string(reason) + u"）");
}

void ConsoleWindow::LineUnreadable(const BookmarkRecord& bookmark, std::u16string_view reason) {
  ReportLine(u"velkora-convert: " + BookmarkText(bookmark) + u"を読み取れませんでした: " +
             std::u16string(reason));
}

void ConsoleWindow::TimesNotSet(std::u16string_view path, std::u16string_view reason) {
  ReportLine(u"velkora-convert: 日時を設定できませんでした: " + std::u16string(path) + u"（理由: " +
             std::u16string(reason) + u"）");
}

void ConsoleWindow::IconFailed(std::u16string_view path, std::u16string_view reason) {
  ReportLine(
      u"velkora-convert: "
      u"アイコンを書き込めませんでした（そのショートカットはアイコンなしで作成します）: " +
      std::u16string(path) + u"（理由: " + std::u16string(reason) + u"）");
}

void ConsoleWindow::IconNotTaken(const BookmarkRecord& bookmark, std::u16string_view reason) {
  ReportLine(u"velkora-convert: " + BookmarkText(bookmark) +
             u"のアイコンを付けられませんでした（ショートカットはアイコンなしで作成します）: " +
             std::u16string(reason));
}

void ConsoleWindow::ReportLine(std::u16string_view text) {
  std::u16string line;
  if (progressShown_) {
    line = u"\r" + std::u16string(kBarWidth + 30, u' ') + u"\r";
    progressShown_ = false;  // drawn again with the next progress
  }
  line += text;
  line += u'\n';
  WriteStandardError(line);
}

void ConsoleWindow::UpdateInterruptText() {
  std::u16string text = showProgress_ ? u"\n" : u"";
  text += u"velkora-convert: 中断しました。";
  if (maximumKnown_) {
    text += u"ブックマーク " + DecimalText(static_cast<long long>(maximum_)) + u" 件のうち ";
    SetInterruptText(text, u" 件のショートカットを書き出しました。\n");
  } else {
    SetInterruptText(text + u"ショートカットはまだ書き出していません。\n");
  }
}

// Redraws the bar in place, at most about ten times a second unless now is set.
void ConsoleWindow::DrawProgress(bool now) {
  if (!showProgress_) return;
  const auto time = std::chrono::steady_clock::now();
  if (!now && progressShown_ && time - lastDrawn_ < kRedrawInterval) return;
  lastDrawn_ = time;
  const std::int64_t shown =
      std::clamp(value_, std::int32_t{0}, std::max(maximum_, std::int32_t{0}));
  const int filled = maximum_ > 0 ? static_cast<int>(shown * kBarWidth / maximum_) : kBarWidth;
  std::u16string bar = u"\r[";
  bar.append(static_cast<std::size_t>(filled), u'#');
  bar.append(static_cast<std::size_t>(kBarWidth - filled), u' ');
  bar += u"] " + DecimalText(static_cast<long long>(shown)) + u" / " +
         DecimalText(static_cast<long long>(maximum_));
  // A terminal that went away only loses the bar; the conversion goes on.
  progressShown_ = WriteStandardError(bar) || progressShown_;
}

}  // namespace velkora
