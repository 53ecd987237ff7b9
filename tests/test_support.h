#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/interfaces/conversion_window.h"
#include "engine/run/conversion.h"
#include "platform/native_platform.h"

namespace velkora::testing {

// A fresh directory below the system's temporary directory, removed with its contents.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::u16string Text() const { return path_.u16string(); }

 private:
  std::filesystem::path path_;
};

// The ANSI code page of the platform the tests run on.
const AnsiCodePage& NativeCodePage();

// Bytes of text (written as UTF-8 in the test) in the ANSI code page.
std::string Ansi(std::string_view utf8);

// Text of a UTF-8 literal.
std::u16string U16(std::string_view utf8);

// path as the file functions must see it to take every name literally: on Windows an
// extended-length path, so that a folder named "abc." or "  " is not read as "abc" or as
// its parent. path must be absolute.
std::filesystem::path LiteralPath(const std::filesystem::path& path);

void WriteBytes(const std::filesystem::path& file, std::string_view bytes);
std::string ReadBytes(const std::filesystem::path& file);

// Every file and folder below root, as sorted relative UTF-8 paths with "/" between
// components; folders end with "/".
std::vector<std::string> ListTree(const std::filesystem::path& root);

// A bookmark line and a folder line as the browser writes them.
std::string Bookmark(const std::string& url, const std::string& title);
std::string Folder(const std::string& name);
// An export's bookmark line with its own icon, one per number; whether bytes are its shortcut.
std::string BookmarkWithIcon(const std::string& url, const std::string& title, int icon);
bool IsShortcutWithIcon(std::string_view bytes, std::string_view urlAnsi);

// The bytes a shortcut for url must hold.
std::string ShortcutBytes(std::string_view urlAnsi);

// Passes every call on to the platform's file streams; a test overrides the calls it
// stages a fault in.
class ForwardingFileStreams : public FileStreams {
 public:
  explicit ForwardingFileStreams(FileStreams& real) : real_(real) {}

  IoResult OpenInput(std::u16string_view path, std::unique_ptr<InputStream>& stream) override {
    return real_.OpenInput(path, stream);
  }
  IoResult OpenOutputIn(const FolderHandle& folder, std::u16string_view name,
                        std::unique_ptr<OutputStream>& stream) override {
    return real_.OpenOutputIn(folder, name, stream);
  }

 protected:
  FileStreams& real_;
};

// Window operations that record what a run does to them.
class RecordingWindow final : public ConversionWindow {
 public:
  std::u16string path;
  std::u16string target;
  std::int32_t maximum = 100;
  std::int32_t value = 0;
  std::vector<std::u16string> messages;
  std::vector<MessageIcon> icons;  // the icon of each message
  int maximumSets = 0;
  RunOptions options;
  bool confirm = true;  // ConfirmChanges's answer; preview, what it was shown
  TargetChangePreview preview;
  std::vector<std::u16string> asked;  // Ask answers no

  RunOptions Options() const override { return options; }
  bool ConfirmChanges(const TargetChangePreview& shown) override {
    preview = shown;
    return confirm;
  }
  bool Ask(std::u16string_view text) override {
    asked.emplace_back(text);
    return false;
  }
  std::u16string PathText() const override { return path; }
  std::u16string TargetDirectory() const override { return target; }
  void SetProgressMaximum(std::int32_t m) override {
    maximum = m;
    ++maximumSets;
  }
  void SetProgressValue(std::int32_t v) override { value = v; }
  void ShowMessage(std::u16string_view text, MessageIcon icon) override {
    messages.emplace_back(text);
    icons.push_back(icon);
  }
};

// A bookmark file in a temporary directory, converted into an "out" folder beside it.
class ConversionFixture {
 public:
  ConversionFixture();

  // Writes lines (UTF-8 in the test) as the bookmark file in the ANSI code page, with
  // CR LF after each.
  void WriteBookmarks(const std::vector<std::string>& lines);
  void WriteBookmarkBytes(std::string_view bytes);
  ConversionReport Convert(ConversionObserver* observer = nullptr);
  // Holds the target in the state, opened but not locked, for a ShortcutWriter on it (with
  // the state's file system).
  const HeldTarget& HoldTarget();

  std::vector<std::string> Tree() const { return ListTree(out_); }
  std::string Read(std::string_view relativeUtf8) const;
  const std::filesystem::path& Out() const { return out_; }
  const std::filesystem::path& BookmarkFile() const { return bookmarks_; }

  NativePlatform platform;
  ConversionState state;
  RecordingWindow window;

 private:
  TempDir dir_;
  std::filesystem::path bookmarks_;
  std::filesystem::path out_;
};

}  // namespace velkora::testing
