// Every shortcut the conversion writes opens with the shell's Internet Shortcut object, by
// its ordinary path as Explorer and other programs open it, and gives back the exact URL.

// clang-format off
#include <windows.h>
#include <objbase.h>
#include <intshcut.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shellapi.h>
// clang-format on
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "engine/text/utf8.h"
#include "tests/test_support.h"

namespace velkora::testing {
namespace {

namespace fs = std::filesystem;

// The URL the shell's shortcut object reads from the file at path; the failure's code
// when it cannot.
std::wstring ShellUrl(const std::wstring& path) {
  IPersistFile* file = nullptr;
  IUniformResourceLocatorW* locator = nullptr;
  wchar_t* url = nullptr;
  HRESULT result = CoCreateInstance(CLSID_InternetShortcut, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (SUCCEEDED(result)) result = file->Load(path.c_str(), STGM_READ);
  if (SUCCEEDED(result)) {
    result = file->QueryInterface(IID_IUniformResourceLocatorW, reinterpret_cast<void**>(&locator));
  }
  if (SUCCEEDED(result)) result = locator->GetURL(&url);
  std::wstring text = FAILED(result) ? L"failed: " + std::to_wstring(result) : url ? url : L"";
  CoTaskMemFree(url);
  if (locator != nullptr) locator->Release();
  if (file != nullptr) file->Release();
  return text;
}

// Where the shell's shortcut object finds the icon of the shortcut at path: its file and
// index, as Explorer asks for them (IExtractIconW). Wine's object has no IExtractIconW; it
// keeps the icon's lines in its Internet Shortcut properties, which are read there instead.
struct IconLocation {
  std::wstring file;
  int index = -1;
  bool operator==(const IconLocation&) const = default;
};

void PrintTo(const IconLocation& location, std::ostream* out) {
  *out << ToUtf8(std::u16string(location.file.begin(), location.file.end())) << ", "
       << location.index;
}

IconLocation ShellIconLocation(const std::wstring& path) {
  IconLocation location;
  IPersistFile* file = nullptr;
  if (FAILED(CoCreateInstance(CLSID_InternetShortcut, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    return location;
  }
  IExtractIconW* extract = nullptr;
  IPropertySetStorage* properties = nullptr;
  IPropertyStorage* storage = nullptr;
  if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
    if (SUCCEEDED(file->QueryInterface(IID_IExtractIconW, reinterpret_cast<void**>(&extract)))) {
      wchar_t name[MAX_PATH] = {};
      int index = -1;
      UINT flags = 0;
      if (extract->GetIconLocation(0, name, MAX_PATH, &index, &flags) == S_OK) {
        location = {name, index};
      }
    } else if (SUCCEEDED(file->QueryInterface(IID_IPropertySetStorage,
                                              reinterpret_cast<void**>(&properties))) &&
               SUCCEEDED(
                   properties->Open(FMTID_Intshcut, STGM_READ | STGM_SHARE_EXCLUSIVE, &storage))) {
      PROPSPEC keys[2] = {};
      keys[0].ulKind = keys[1].ulKind = PRSPEC_PROPID;
      keys[0].propid = PID_IS_ICONFILE;
      keys[1].propid = PID_IS_ICONINDEX;
      PROPVARIANT values[2] = {};
      if (SUCCEEDED(storage->ReadMultiple(2, keys, values)) && values[0].vt == VT_LPWSTR &&
          values[1].vt == VT_I4) {
        // Wine stores the index as VT_I4 but sets only its low 16 bits (iVal).
        location = {values[0].pwszVal, values[1].iVal};
      }
      FreePropVariantArray(2, values);
    }
  }
  if (storage != nullptr) storage->Release();
  if (properties != nullptr) properties->Release();
  if (extract != nullptr) extract->Release();
  file->Release();
  return location;
}

// The width and height of the icon the system loads from the .ico file at path, asked for
// at 16 x 16; 0 x 0 when it loads none.
SIZE LoadedIconSize(const std::wstring& path) {
  SIZE size{};
  HICON icon =
      static_cast<HICON>(LoadImageW(nullptr, path.c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE));
  if (icon == nullptr) return size;
  ICONINFO info{};
  if (GetIconInfo(icon, &info)) {
    BITMAP bitmap{};
    if (info.hbmColor != nullptr && GetObjectW(info.hbmColor, sizeof bitmap, &bitmap) != 0) {
      size = {bitmap.bmWidth, bitmap.bmHeight};
    }
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  }
  DestroyIcon(icon);
  return size;
}

// Folders up to eight deep whose names Windows would trim, reserve or find long, titles
// that repeat, URLs with the characters of a URL's syntax; some paths pass 259 units.
std::vector<std::string> GeneratedBookmarks() {
  const std::vector<std::string> folders{
      "abc.", "x ", "CON", std::string(150, 'f'), "長い名前の長い名前", "ｶﾅ. .", "Ω", ""};
  const std::vector<std::string> titles{"題名", "page.", "Page", std::string(120, 't'), " "};
  std::vector<std::string> lines;
  for (int i = 0, depth = 0; i < 300; ++i) {
    if (i % 5 == 0 && depth < 8) {
      lines.push_back(Folder(folders[i / 5 % folders.size()]));
      ++depth;
    } else if (i % 13 == 0 && depth > 0) {
      lines.push_back("</UL>");
      --depth;
    }
    lines.push_back(Bookmark("http://g.example/" + std::to_string(i) + "?q=日本&x=%20#a;b",
                             titles[i % titles.size()]));
  }
  return lines;
}

TEST(ShortcutObject, OpensEveryShortcutByItsOrdinaryPathWithItsUrl) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  for (const std::string source :
       {VELKORA_SAMPLE, VELKORA_EXPORT_SAMPLE, VELKORA_TEST_DATA "/tricky_names.html",
        VELKORA_TEST_DATA "/tricky_bytes.html", VELKORA_TEST_DATA "/tricky_paths.html",
        VELKORA_TEST_DATA "/exports/chrome.html", VELKORA_TEST_DATA "/exports/firefox.html",
        VELKORA_TEST_DATA "/exports/safari.html", VELKORA_TEST_DATA "/exports/ie.html",
        VELKORA_TEST_DATA "/exports/hand_written.html", ""}) {
    ConversionFixture fixture;
    if (source.empty()) fixture.WriteBookmarks(GeneratedBookmarks());
    if (!source.empty()) fixture.WriteBookmarkBytes(ReadBytes(fs::absolute(source)));
    const ConversionReport report = fixture.Convert();
    int shortcuts = 0;
    for (const std::string& entry : fixture.Tree()) {
      if (!entry.ends_with(".url")) continue;
      const fs::path path = (fixture.Out() / fs::path(U16(entry))).make_preferred();
      const std::string bytes = ReadBytes(path);
      const std::size_t url = bytes.find("URL=") + 4;
      const std::u16string written =
          NativeCodePage().FromAnsi(bytes.substr(url, bytes.find("\r\n", url) - url));
      EXPECT_EQ(ShellUrl(path.wstring()), std::wstring(written.begin(), written.end()))
          << source << ": " << entry;
      ++shortcuts;
    }
    EXPECT_EQ(shortcuts, report.written) << source;
    EXPECT_TRUE(!source.empty() || report.failedShortcuts > 0) << "some paths pass 259 units";
  }
  CoUninitialize();
}

// A browser's export in folders with names Windows trims or finds long, whose bookmarks
// carry three icons (two PNGs and an ICO) among others without one.
std::vector<std::string> GeneratedExport() {
  const std::vector<std::string> icons{
      "data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAABAAAAAQCAYAAAAf8/9hAAAAGUlEQVR42mNQaHjwnxL"
      "MMGrAqAGjBgwXAwDJgH8fCqEi0AAAAABJRU5ErkJggg==",
      "DATA:Image/PNG;base64,iVBORw0KGgoAAAANSUhEUgAAABAAAAAQCAYAAAAf8/9hAAAAXUlEQVR42qXT\n  "
      "bQoAEAyH8ecojuKobko+rOR1/"
      "1HE1C9tQyq52owMRiCCLICK0JcfBNtEEcZDBGEOqAi7oIJwuvAi3J7nQXgl6YXgKdUNwdswJwSlbXcI6uf5BmakARwSa"
      "QxZ0Ex+AAAAAElFTkSuQmCC",
      "data:image/"
      "x-icon;base64,AAABAAEAEBAAAAEAIABdAAAAFgAAAIlQTkcNChoKAAAADUlIRFIAAAAQAAAAEAgGAAAAH/P/"
      "YQAAACRJREFUeNpj+DBB4T8yRgeE5BmGgQGkakCXHw4GjKaD0XQAxADla02uZKVqPgAAAABJRU5ErkJggg==",
      ""};
  const std::vector<std::string> folders{"abc.", "長い名前の長い名前", std::string(120, 'f'), "Ω"};
  std::vector<std::string> lines{"<!DOCTYPE NETSCAPE-Bookmark-file-1>", "<DL><p>"};
  for (int i = 0; i < 80; ++i) {
    if (i % 20 == 0) lines.push_back("<DT><H3>" + folders[i / 20] + "</H3><DL><p>");
    lines.push_back("<DT><A HREF=\"http://g.example/" + std::to_string(i) + "\" ICON=\"" +
                    icons[i % icons.size()] + "\">題名 " + std::to_string(i) + "</A>");
  }
  lines.push_back("</DL><p></DL><p></DL><p></DL><p></DL><p>");
  return lines;
}

TEST(ShortcutObject, NamesEachShortcutsIconFileWhichLoadsAt16By16) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  for (const std::string source :
       {VELKORA_EXPORT_SAMPLE, VELKORA_TEST_DATA "/exports/chrome.html", ""}) {
    ConversionFixture fixture;
    if (source.empty()) fixture.WriteBookmarks(GeneratedExport());
    if (!source.empty()) fixture.WriteBookmarkBytes(ReadBytes(fs::absolute(source)));
    const ConversionReport report = fixture.Convert();
    EXPECT_EQ(report.iconlessShortcuts, 0) << source;
    int withIcons = 0;
    for (const std::string& entry : fixture.Tree()) {
      if (!entry.ends_with(".url")) continue;
      const fs::path path = (fixture.Out() / fs::path(U16(entry))).make_preferred();
      const std::string bytes = ReadBytes(path);
      const std::size_t line = bytes.find("\r\nIconFile=");
      if (line == std::string::npos) continue;
      const std::size_t start = line + 11;
      const std::u16string named =
          NativeCodePage().FromAnsi(bytes.substr(start, bytes.find('\r', start) - start));
      const std::wstring icon(named.begin(), named.end());
      EXPECT_TRUE(
          icon.starts_with((fixture.Out() / ".velkora\\icons\\").make_preferred().wstring()))
          << entry;
      EXPECT_EQ(ShellIconLocation(path.wstring()), (IconLocation{icon, 0}))
          << source << ": " << entry;
      const SIZE size = LoadedIconSize(icon);
      EXPECT_EQ(size.cx, 16) << entry;
      EXPECT_EQ(size.cy, 16) << entry;
      HICON small = nullptr;
      EXPECT_EQ(ExtractIconExW(icon.c_str(), 0, nullptr, &small, 1), 1u) << entry;
      if (small != nullptr) DestroyIcon(small);
      ++withIcons;
    }
    EXPECT_GT(withIcons, 3) << source;
    const DWORD attributes = GetFileAttributesW((fixture.Out() / ".velkora").wstring().c_str());
    EXPECT_NE(attributes & FILE_ATTRIBUTE_HIDDEN, 0u) << source;
  }
  CoUninitialize();
}

}  // namespace
}  // namespace velkora::testing
