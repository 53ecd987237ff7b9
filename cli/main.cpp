// velkora-convert: converts a bookmark file (the Pomerek browser's, or a browser's export)
// into Internet Shortcut files from the command line, with the same engine as the window.

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "cli/console_window.h"
#include "engine/run/conversion.h"
#include "engine/run/messages.h"
#include "engine/sources/profiles/browser_profiles.h"
#include "engine/text/text.h"
#include "engine/text/utf8.h"
#include "platform/absolute_path.h"
#include "platform/browser_stores.h"
#include "platform/code_page_check.h"
#include "platform/console.h"
#include "platform/interrupt.h"
#include "platform/native_platform.h"
#include "platform/standard_input.h"

#ifndef VELKORA_VERSION
#define VELKORA_VERSION "0.0.0"
#endif

namespace velkora {
namespace {

enum ExitStatus { kAllWritten = 0, kSomeSkipped = 1, kCannotRun = 2, kInterrupted = 130 };

constexpr std::u16string_view kUsage =
    u"使い方: velkora-convert [--delete] [--dry-run] [--replace-source] [--] BOOKMARK_FILE "
    u"TARGET_DIR\n";

// Follows the usage line.
constexpr std::u16string_view kHelp =
    u"\n"
    u"ブックマークファイル BOOKMARK_FILE を読み、ブックマークのフォルダーと同じ構成の\n"
    u"フォルダーを TARGET_DIR の下に作って、ブックマークごとにインターネットショートカット\n"
    u"（.url）を書き出します。読めるファイルは二つの形式です:\n"
    u"  - Pomerekブラウザーのブックマークファイル（<LI> の行が並ぶHTML）\n"
    u"  - Chrome・Edge・Firefox・Safari・Internet Explorer などのブラウザーがエクスポートした\n"
    u"    ブックマーク（Netscape形式のHTML。<DT> と <A HREF=...> が並ぶもの）\n"
    u"文字コードは、BOM があればそれに従い（UTF-8・UTF-16）、<META> で charset=UTF-8 と\n"
    u"宣言されていれば UTF-8、どちらでもなければコードページ932として読みます。\n"
    u"place: で始まるブラウザー専用の検索は書き出しません。\n"
    u"TARGET_DIR は既に存在するフォルダーでなければなりません。\n"
    u"BOOKMARK_FILE が「-」なら標準入力を読みます（一時ファイルに写してから変換します）。\n"
    u"書き出せなかったブックマークと名前を短くしたショートカットは、その都度\n"
    u"標準エラー出力に表示します（行番号・タイトル・URL）。\n"
    u"書き出したショートカットとフォルダーは TARGET_DIR\\.velkora に記録します（パス・\n"
    u"大きさ・内容のハッシュ・ブックマーク）。もう一度変換すると、内容の変わらない\n"
    u"ショートカットは書き直さずにそのまま残し、移動したり名前を変えたりしたブックマークの\n"
    u"ショートカットは新しい場所へ移します。消えたブックマークのショートカットは、\n"
    u"--delete がなければ残して、その数を最後に表示します。\n"
    u"\n"
    u"  --delete   消えたブックマークのショートカットと、空になったそのフォルダーを削除します。\n"
    u"             削除するのは、記録にあり（Velkora が作ったもの）、その後だれも編集して\n"
    u"             いないファイルだけです。編集されたファイルと、ほかのものがあるフォルダーは\n"
    u"             残し、そのことを標準エラー出力に表示します（移動・削除も1行ずつ表示します）\n"
    u"  --dry-run  何も変更せず、変換ですること（追加・更新・移動・削除・残す（理由））を\n"
    u"             1行に一つ標準出力に表示し、最後に件数を表示します。--delete と一緒に\n"
    u"             指定すると、--delete で削除するものを表示します\n"
    u"  --replace-source\n"
    u"             記録が別のブックマークファイルから作られていても、--delete で変換し、\n"
    u"             記録をこのブックマークファイルのものに置き換えます（指定しなければ、\n"
    u"             --delete の変換はそのことを表示して、何も変更せずに終わります）\n"
    u"  --help     この説明を表示して終了します\n"
    u"  --version  バージョンを表示して終了します\n"
    u"  --profiles このコンピューターにあるブラウザーのプロファイルを一覧表示して終了します\n"
    u"             "
    u"（1行に一つ、ブラウザー・プロファイル名・ブックマークファイルのパスをタブ区切りで）\n"
    u"\n"
    u"終了ステータス:\n"
    u"  0  すべてのブックマークを書き出しました\n"
    u"  1  変換は終わりましたが、読み取れないブックマークか書き出せないショートカット、\n"
    u"     別の形式のため読まなかったブックマークがあったか、変換中にファイルが変更されました\n"
    u"  2  変換できませんでした（引数の誤り、ファイルを読めない、ブックマークファイルでは\n"
    u"     ない（画像・圧縮ファイル・実行ファイルなど）、出力先を使えない（ないか、別の変換が\n"
    u"     書き込み中）、--delete で記録が別のブックマークファイルのもの（--replace-source\n"
    u"     なし））\n"
    u"  130  中断されました（次のブックマークの前で止め、それまでに書き出したショートカットは\n"
    u"       残して記録します。もう一度中断すると、すぐに終了します）\n";

// The exit status an outcome gives: a run that did not go through the bookmarks wrote
// nothing; for one that did (kAllWritten here), its report decides.
int StatusOfOutcome(ConversionReport::Outcome outcome) {
  switch (outcome) {
    case ConversionReport::Outcome::kCompleted:
      return kAllWritten;
    case ConversionReport::Outcome::kPathNotSet:
    case ConversionReport::Outcome::kCannotRead:
    case ConversionReport::Outcome::kNotText:
    case ConversionReport::Outcome::kTargetUnusable:
    case ConversionReport::Outcome::kCancelled:
    case ConversionReport::Outcome::kOtherSource:
      break;
    // The console's run is stopped only by an interrupt.
    case ConversionReport::Outcome::kStopped:
      return kInterrupted;
  }
  return kCannotRun;
}

// Lists the profiles of the browsers found for this user, one a line.
int ListProfiles() {
  NativePlatform platform;
  const PlatformServices& services = platform.Services();
  std::u16string lines;
  for (const BrowserProfile& profile :
       FindProfiles(services.streams, BrowserStores(), services.paths.separator)) {
    lines += ProfileLine(profile);
  }
  return WriteStandardOutput(lines) ? kAllWritten : kCannotRun;
}

// The options of a run and what each sets.
struct RunOption {
  std::u16string_view name;
  bool RunOptions::*flag;
};
constexpr RunOption kRunOptions[] = {{u"--delete", &RunOptions::removeGone},
                                     {u"--dry-run", &RunOptions::dryRun},
                                     {u"--replace-source", &RunOptions::replaceSource}};

// Splits arguments into operands and options, in any order, up to "--"; false, with the
// usage said, for an unknown or repeated option.
bool ParseArguments(const std::vector<std::u16string>& arguments,
                    std::vector<std::u16string>& operands, RunOptions& options) {
  bool optionsEnded = false;
  for (const std::u16string& argument : arguments) {
    if (!optionsEnded && argument == u"--") {
      optionsEnded = true;
      continue;
    }
    if (optionsEnded || argument.size() < 2 || argument[0] != u'-') {
      operands.push_back(argument);
      continue;
    }
    const auto* option =
        std::find_if(std::begin(kRunOptions), std::end(kRunOptions),
                     [&argument](const RunOption& o) { return o.name == argument; });
    std::u16string_view problem = u"不明なオプションです: ";
    if (option != std::end(kRunOptions)) {
      if (!(options.*option->flag)) {
        options.*option->flag = true;
        continue;
      }
      problem = u"オプションが重複しています: ";
    }
    WriteStandardError(u"velkora-convert: " + std::u16string(problem) + argument + u"\n");
    WriteStandardError(kUsage);
    return false;
  }
  return true;
}

int Run(const std::vector<std::u16string>& arguments) {
  if (arguments.size() == 1 && (arguments[0] == u"--help" || arguments[0] == u"-h")) {
    return WriteStandardOutput(std::u16string(kUsage) + std::u16string(kHelp)) ? kAllWritten
                                                                               : kCannotRun;
  }
  if (arguments.size() == 1 && arguments[0] == u"--version") {
    return WriteStandardOutput(u"velkora-convert " + FromUtf8(VELKORA_VERSION) + u"\n")
               ? kAllWritten
               : kCannotRun;
  }
  if (arguments.size() == 1 && arguments[0] == u"--profiles") return ListProfiles();
  std::vector<std::u16string> operands;
  RunOptions options;
  if (!ParseArguments(arguments, operands, options)) return kCannotRun;
  if (operands.size() != 2) {
    WriteStandardError(kUsage);
    return kCannotRun;
  }

  if (const std::u16string problem = CodePageProblem(); !problem.empty()) {
    WriteStandardError(u"velkora-convert: " + problem + u"\n");
    return kCannotRun;
  }
  NativePlatform platform;
  const PlatformServices& services = platform.Services();
  const std::u16string bookmarkPath = WithoutEnclosingQuotes(operands[0]);
  const std::u16string targetArgument = WithoutEnclosingQuotes(operands[1]);
  const auto targetUnusable = [&operands](std::u16string_view reason) {
    WriteStandardError(u"velkora-convert: 出力先のフォルダーを使えません: " + operands[1] +
                       u"（理由: " + std::u16string(reason) + u"）\n");
    return kCannotRun;
  };
  ConversionState state;
  state.fileSystem = services.createFileSystem();
  if (IoResult usable = state.fileSystem->CheckFolder(targetArgument); !usable) {
    return targetUnusable(usable.reason);
  }
  // The length rules measure the path Windows opens: the absolute one.
  const std::u16string target = AbsolutePath(targetArgument);
  if (target.empty()) return targetUnusable(u"絶対パスに直せませんでした");
  // Held and locked before anything is read or written, to the end of the run: a second
  // run into the same folder is refused here.
  if (IoResult held = state.target.Hold(*state.fileSystem, target); !held) {
    return targetUnusable(held.reason);
  }
  ConsoleWindow window(bookmarkPath, target, options, StandardErrorIsTerminal());
  ExitOnInterrupt();
  StandardInputCopy input;
  if (bookmarkPath == u"-") {
    if (IoResult copied = input.Make(); !copied) {
      WriteStandardError(u"velkora-convert: 標準入力を読み込めませんでした（理由: " +
                         copied.reason + u"）\n");
      return kCannotRun;
    }
    window.SetBookmarkPath(input.Path());
  }
  ConversionReport report;
  {
    // An interrupt meanwhile stops the run between two bookmarks, and it writes its record.
    StopOnFirstInterrupt stopOnInterrupt;
    report = BookmarkConverter(state, window, services, &window).ConvertBookmarks();
  }
  if (!window.MessagesWritten()) {
    WriteStandardError(u"velkora-convert: メッセージを標準出力に書き込めませんでした\n");
  }
  if (report.outcome == ConversionReport::Outcome::kStopped) WriteInterruptText();
  if (const int status = StatusOfOutcome(report.outcome); status != kAllWritten) return status;
  // Not one line or file to name as it happens: the count, said once at the end.
  if (report.otherFormatBookmarks > 0) {
    WriteStandardError(u"velkora-convert: " + OtherFormatMessage(report.otherFormatBookmarks) +
                       u"\n");
  }
  return report.AllWritten() ? kAllWritten : kSomeSkipped;
}

}  // namespace
}  // namespace velkora

int main(int argc, char** argv) { return velkora::Run(velkora::CommandLineArguments(argc, argv)); }
