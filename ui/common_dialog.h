#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "ui/dialogs.h"

namespace velkora {

// CommonDialog1: the open-file dialog behind the Browse button.
class CommonDialog {
 public:
  explicit CommonDialog(const Dialogs& dialogs) : dialogs_(dialogs) {}

  // Shows the open-file dialog over owner with the all-files, bookmark-file and browser
  // bookmark filters, the bookmark-file filter preselected. The chosen path, or nothing when the
  // person cancelled or the dialog failed.
  std::optional<std::wstring> ShowOpen(HWND owner);

 private:
  const Dialogs& dialogs_;
};

}  // namespace velkora
