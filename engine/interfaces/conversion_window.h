#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/interfaces/target_changes.h"

namespace velkora {

// The icon a message is shown with.
enum class MessageIcon { kNone, kWarning };

// The operations through which a conversion run reaches its window.
class ConversionWindow {
 public:
  virtual ~ConversionWindow() = default;
  // Text of the path box: the bookmark file to convert. A run reads it once, at its start.
  virtual std::u16string PathText() const = 0;
  // The bookmark file as the target's record names it, so that another spelling of the
  // same file is the same source; read once, after PathText.
  virtual std::u16string RecordedSourcePath() const { return PathText(); }
  // Current path of the directory list: where the shortcut tree is built.
  virtual std::u16string TargetDirectory() const = 0;
  // The progress of a run: the bookmarks it will meet, then how many it has met.
  virtual void SetProgressMaximum(std::int32_t maximum) = 0;
  virtual void SetProgressValue(std::int32_t value) = 0;
  // Whether the user asked the run to stop; the run asks between two shortcuts, and ends
  // there without its end message.
  virtual bool StopRequested() const { return false; }
  // What the user asked of the target's record for the run that starts: read once, at the
  // start of a run.
  virtual RunOptions Options() const { return {}; }
  // With RunOptions::preview: shows what the run is about to change, with 実行 and
  // キャンセル; true to go on.
  virtual bool ConfirmChanges(const TargetChangePreview& /*preview*/) { return true; }
  // Asks text as a question with はい and いいえ; true for はい.
  virtual bool Ask(std::u16string_view /*text*/) { return false; }
  // Shows text with an OK button only and icon, and returns when it is closed.
  virtual void ShowMessage(std::u16string_view text, MessageIcon icon) = 0;
};

}  // namespace velkora
