// velkora.exe: the window in which a person converts browser bookmarks into Internet
// Shortcuts.

#include <windows.h>

#include <string>

#include "platform/native_platform.h"
#include "ui/form1.h"
#include "ui/path_text.h"

namespace velkora {
namespace {

// Runs the window's messages until the window is gone. The dialog keyboard handling gives
// Tab and Shift+Tab their order among the controls.
int RunMessageLoop(const Form1& form) {
  MSG message{};
  while (form.Handle() != nullptr) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;
    if (form.Handle() != nullptr && IsDialogMessageW(form.Handle(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

}  // namespace
}  // namespace velkora

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
  velkora::NativePlatform platform;
  velkora::Form1 form(platform.Services());
  if (!form.Create(showCommand)) return 1;
  // A file dropped onto the program's icon, or sent to it from Explorer, is named on its
  // command line.
  if (const std::wstring path = velkora::PathFromCommandLine(GetCommandLineW()); !path.empty()) {
    form.SetBookmarkPath(path);
  }
  return velkora::RunMessageLoop(form);
}
