#pragma once

// <shellapi.h> needs the types of <windows.h> before it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/interfaces/conversion_window.h"
#include "engine/interfaces/platform_services.h"
#include "engine/run/conversion_state.h"
#include "engine/sources/profiles/browser_profiles.h"
#include "ui/common_dialog.h"
#include "ui/dialogs.h"
#include "ui/directory_list.h"
#include "ui/drive_list.h"
#include "ui/form1_layout.h"
#include "ui/profile_list.h"
#include "ui/progress_bar.h"
#include "ui/win32_handles.h"

namespace velkora {

// Finds the browsers' profiles the window lists when it loads.
using ProfileFinder = std::function<std::vector<BrowserProfile>()>;

// The program's main window: the browsers' profiles, where the bookmark file is, where
// the shortcuts go, whether gone shortcuts are removed, the Browse, Convert and Exit
// buttons and the progress of a run. It carries out the conversion's window operations
// itself, its questions too, and owns the conversion's state.
class Form1 final : public ConversionWindow {
 public:
  // Without findProfiles, the window lists the profiles of the machine's browsers.
  explicit Form1(const PlatformServices& platform, Dialogs dialogs = {},
                 ProfileFinder findProfiles = {});
  ~Form1() override;
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Creates and loads the window and shows it as showCommand asks. When it cannot be made
  // whole, says so in a message box and returns false, with no window left.
  bool Create(int showCommand);

  // The window, or null once it has been closed.
  HWND Handle() const { return window_.get(); }
  HWND Control(ControlId id) const { return GetDlgItem(window_.get(), id); }
  const ConversionState& State() const { return state_; }
  // True while a conversion runs.
  bool Running() const { return running_; }

  // Puts a bookmark file's path into the path box, as a file dropped onto the window or
  // named on the command line does.
  void SetBookmarkPath(std::wstring_view path);

  // The conversion's window operations.
  std::u16string PathText() const override;
  // The path box's file made absolute, as a relative one is opened: from the current folder.
  std::u16string RecordedSourcePath() const override;
  std::u16string TargetDirectory() const override;
  void SetProgressMaximum(std::int32_t maximum) override;
  // Also serves the window's messages now and then, so that it repaints and its Exit
  // button and close box can stop the run.
  void SetProgressValue(std::int32_t value) override;
  // True once Exit, the close box or WM_QUIT asked the run to stop.
  bool StopRequested() const override { return stopRequested_; }
  // The value ProgressBar1 shows.
  float ProgressValue() const;
  // The check box 消えたブックマークのショートカットを削除する: gone shortcuts are removed, and
  // the changes are shown first.
  RunOptions Options() const override;
  // The preview dialog, modal over the window; true for 実行.
  bool ConfirmChanges(const TargetChangePreview& preview) override;
  // A message box with はい and いいえ, いいえ the default; true for はい.
  bool Ask(std::u16string_view text) override;
  void ShowMessage(std::u16string_view text, MessageIcon icon) override;

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  bool CreateAndLoad();
  bool OnCreate();
  void OnLoad();
  void OnCommand(int id, int notification);
  void OnCommand1Click();
  void OnCommand2Click();
  void OnCommand3Click();
  void OnCombo1Change();
  void OnDrive1Change();
  void OnDir1Open();
  void OnActivate(bool active);
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void OnClose();
  void OnGetMinMaxInfo(MINMAXINFO& info) const;
  void OnDropFiles(HDROP drop);
  void OnNextDialogControl(WPARAM control, LPARAM byHandle);

  bool CreateControls();
  void ApplyLayout();
  SIZE SmallestFrame() const;
  void ResizeToClientArea();
  void ShowText(const std::wstring& text, UINT icon = 0);
  // Shows a folder in Dir1 and its drive in Drive1; false when it cannot be listed.
  bool ShowFolder(const std::wstring& folder);

  // The run, in form1_run.cpp.
  bool TargetUsable();
  void BeginRun();
  void EndRun();
  void ServeMessagesDuringRun();

  const PlatformServices& platform_;
  Dialogs dialogs_;
  ProfileFinder findProfiles_;
  CommonDialog commonDialog1_{dialogs_};
  ConversionState state_;
  UniqueWindow window_;
  UniqueFont font_;
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
  ProfileList combo1_;
  DriveList drive1_;
  DirectoryList dir1_;
  ProgressBar progressBar1_;
  // The drive whose folders Dir1 lists, to go back to when another cannot be read.
  wchar_t drive_ = 0;
  // The control that had the focus when the window was last deactivated.
  HWND lastFocus_ = nullptr;

  // A run in progress, a stop asked for by Exit or the close box, the control that had
  // the focus when it began, and when the window's messages were last served.
  bool running_ = false;
  bool stopRequested_ = false;
  HWND focusBeforeRun_ = nullptr;
  ULONGLONG lastServed_ = 0;
};

}  // namespace velkora
