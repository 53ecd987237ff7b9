// Every shortcut the conversion writes opens with the shell's Internet Shortcut object, by
// its ordinary path as Explorer and other programs open it, and gives back the exact URL.

// clang-format off
#include <windows.h>
#include <objbase.h>
#include <intshcut.h>
// clang-format on
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

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
      const std::u16string written = NativeCodePage().FromAnsi(
          bytes.substr(bytes.find("URL=") + 4, bytes.size() - bytes.find("URL=") - 6));
      EXPECT_EQ(ShellUrl(path.wstring()), std::wstring(written.begin(), written.end()))
          << source << ": " << entry;
      ++shortcuts;
    }
    EXPECT_EQ(shortcuts, report.written) << source;
    EXPECT_TRUE(!source.empty() || report.failedShortcuts > 0) << "some paths pass 259 units";
  }
  CoUninitialize();
}

}  // namespace
}  // namespace velkora::testing
