#include "cli/console_window.h"

#include <algorithm>
#include <utility>

#include "engine/run/change_messages.h"
#include "engine/run/messages.h"
#include "platform/absolute_path.h"
#include "platform/console.h"
#include "platform/interrupt.h"

namespace velkora {
namespace {

constexpr int kBarWidth = 30;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

}  // namespace

ConsoleWindow::ConsoleWindow(std::u16string bookmarkPath, std::u16string targetDirectory,
                             RunOptions options, bool showProgress)
    : bookmarkPath_(std::move(bookmarkPath)),
      recordedSourcePath_(bookmarkPath_ == u"-" ? bookmarkPath_ : PlainAbsolutePath(bookmarkPath_)),
      targetDirectory_(std::move(targetDirectory)),
      options_(options),
      showProgress_(showProgress) {
  if (recordedSourcePath_.empty()) recordedSourcePath_ = bookmarkPath_;
  UpdateInterruptText();
}

void ConsoleWindow::SetProgressMaximum(std::int32_t maximum) {
  maximum_ = maximum;
  maximumKnown_ = true;
  UpdateInterruptText();
  DrawProgress(true);
}

// The run asks for its stop right after telling its progress, as the window's run takes
// its clicks then: the interrupt's stop is taken here, so that a source, which asks too,
// never stops before the run knows it stopped.
void ConsoleWindow::SetProgressValue(std::int32_t value) {
  stopRequested_ = stopRequested_ || InterruptStopRequested();
  value_ = value;
  DrawProgress(false);
}

bool ConsoleWindow::Ask(std::u16string_view text) {
  ReportLine(u"velkora-convert: " + std::u16string(text));
  ReportLine(
      u"velkora-convert: --replace-source を付けると、記録をこのブックマークファイルの"
      u"ものに置き換えます");
  return false;
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

// A dry run's changes are what it was asked for: its output. Those of a run are told as
// its failures are.
void ConsoleWindow::TargetChanged(const TargetChange& change) {
  if (!options_.dryRun) {
    ReportLine(u"velkora-convert: " + TargetChangeLine(change));
    return;
  }
  std::u16string clear;
  ClearProgress(clear);
  if (!clear.empty()) WriteStandardError(clear);
  if (!WriteStandardOutput(TargetChangeLine(change) + u'\n')) messagesWritten_ = false;
}

void ConsoleWindow::ReportLine(std::u16string_view text) {
  std::u16string line;
  ClearProgress(line);
  line += text;
  line += u'\n';
  WriteStandardError(line);
}

void ConsoleWindow::ClearProgress(std::u16string& line) {
  if (!progressShown_) return;
  line = u"\r" + std::u16string(kBarWidth + 30, u' ') + u"\r";
  progressShown_ = false;  // drawn again with the next progress
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
