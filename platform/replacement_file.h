#pragma once

#include <concepts>
#include <optional>
#include <string_view>
#include <utility>

#include "engine/interfaces/file_streams.h"
#include "engine/interfaces/io_result.h"
#include "engine/text/ascii.h"

namespace velkora {

// Whether name, the name a replacement file takes, is a shortcut's (it ends in ".url"):
// an interrupt counts the shortcuts put in place, not the icons or other files written
// through the same streams.
template <typename Unit>
bool IsShortcutName(std::basic_string_view<Unit> name) {
  constexpr std::string_view kShortcutExtension = ".url";
  return name.size() >= kShortcutExtension.size() &&
         EqualsAsciiIgnoringCase(name.substr(name.size() - kShortcutExtension.size()),
                                 kShortcutExtension);
}

// The system's part of a replacement file: a temporary file open for writing, beside the
// path it is to replace. It owns the file's handle and whatever keeps an interrupt from
// leaving the file behind.
template <typename File>
concept ReplacementFile = requires(File& file, const File& constFile, std::string_view bytes,
                                   const FileTimes& times) {
  // Writes all of bytes, or says why not.
  { file.Write(bytes) } -> std::same_as<IoResult>;
  // Ends the writing, reporting a delayed write error. POSIX gives the file times, unless
  // empty, by its descriptor, reads its stamp and closes the descriptor here, gone either
  // way; Windows keeps the handle, which Rename renames the file through, and SetTimes
  // sets the times through when times is not empty.
  { file.Close(times) } -> std::same_as<IoResult>;
  // Renames the written file over the path it replaces.
  { file.Rename() } -> std::same_as<IoResult>;
  // Whether the renamed file has times, set now (Windows) or at Close (POSIX); lets go of
  // any handle kept for them.
  { file.SetTimes(times) } -> std::same_as<IoResult>;
  // Once renamed, and given its times when it was to have any: the file's stamp at its
  // name, when the system is sure no closing changes it any more.
  { constFile.Stamp() } -> std::same_as<std::optional<FileStamp>>;
  // Deletes the file and closes the handle, if still open, without asking how the closing
  // went (Windows deletes through the handle, POSIX by name after closing).
  { file.Remove() } -> std::same_as<IoResult>;
  // From now on an interrupt leaves the file alone: it is gone or has its final name.
  file.Withdraw();
};

// The stream of a replacement file, the same on every system. The first failed write is
// kept and given again by every later Write and by Close. Close moves the file over its
// path; when anything failed, or the stream goes without Close, the temporary file is
// deleted.
template <ReplacementFile File>
class ReplacementStream final : public OutputStream {
 public:
  explicit ReplacementStream(File file) : file_(std::move(file)) {}
  ~ReplacementStream() override {
    if (open_) Discard();
  }
  ReplacementStream(const ReplacementStream&) = delete;
  ReplacementStream& operator=(const ReplacementStream&) = delete;

  IoResult Write(std::string_view bytes) override {
    if (failed_) return *failed_;
    IoResult result = file_.Write(bytes);
    if (!result) failed_ = result;
    return result;
  }

  IoResult Close() override {
    IoResult timesSet;
    return CloseWithTimes({}, timesSet);
  }

  IoResult CloseWithTimes(const FileTimes& times, IoResult& timesSet) override {
    timesSet = IoResult::Success();
    if (!open_) return IoResult::Failure(u"file is not open");
    IoResult result = failed_ ? *failed_ : IoResult::Success();
    if (IoResult closed = file_.Close(times); !closed && result) result = std::move(closed);
    if (result) result = file_.Rename();
    if (result) {
      open_ = false;
      placed_ = true;
      file_.Withdraw();
      if (!times.Empty()) timesSet = file_.SetTimes(times);
      return result;
    }
    if (IoResult removed = Discard(); !removed) {
      result.reason += u"（一時ファイルも削除できませんでした: " + removed.reason + u"）";
    }
    return result;
  }

  std::optional<FileStamp> PlacedStamp() const override {
    return placed_ ? file_.Stamp() : std::nullopt;
  }

 private:
  IoResult Discard() {
    IoResult result = file_.Remove();
    open_ = false;
    file_.Withdraw();
    return result;
  }

  File file_;
  bool open_ = true;
  bool placed_ = false;  // renamed over its path
  std::optional<IoResult> failed_;
};

}  // namespace velkora
