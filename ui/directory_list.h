#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace velkora {

// Dir1: a directory list. It shows the folders from the drive's root down to its current
// folder, each one step further indented, then the current folder's subfolders. A single
// click only highlights an entry; a double click or Enter opens it, which makes it the
// current folder.
class DirectoryList {
 public:
  // Creates the list box as child id of parent. False on failure.
  bool Create(HWND parent, int id, HFONT font);
  HWND Handle() const { return list_; }

  // Takes a new font and sizes the entries to it.
  void SetFont(HFONT font);

  // Makes path the current folder and lists it. On failure the list stays as it was and
  // the system's error code comes back; ERROR_SUCCESS otherwise.
  DWORD SetPath(const std::wstring& path);

  // Lists the current folder again, with the folders made since. A current folder that is
  // gone gives way to its nearest parent that is still there. ERROR_SUCCESS, or the
  // system's error code when not even the root can be read (the list then stays).
  DWORD Refresh();

  // The current folder: the folder the list has open, not the highlighted entry.
  const std::wstring& Path() const { return path_; }

  // The path that opening the highlighted entry leads to, empty when none is highlighted.
  std::wstring HighlightedPath() const;

  // Draws one entry for WM_DRAWITEM.
  void DrawItem(const DRAWITEMSTRUCT& item) const;

 private:
  struct Entry {
    std::wstring text;
    int level = 0;
    bool open = false;
  };

  void Fill();

  HWND list_ = nullptr;
  std::wstring path_;
  std::vector<std::wstring> chain_;
  std::vector<Entry> entries_;
};

}  // namespace velkora
