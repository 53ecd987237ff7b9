// Every shortcut the conversion writes opens with the shell's Internet Shortcut object, by
// its ordinary path as Explorer and other programs open it, and gives back the exact URL.

// clang-format off
#include <windows.h>
#include <objbase.h>
#include <intshcut.h>
// clang-format on
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/utf8.h"
#include "tests/test_support.h"

namespace velkora::testing {
namespace {

namespace fs = std::filesystem;

// Releases a COM interface when it goes.
template <typename Interface>
struct ComPtr {
  Interface* p = nullptr;
  ~ComPtr() {
    if (p != nullptr) p->Release();
  }
};

// The URL the shell's shortcut object reads from the file at path, or the failure.
std::optional<std::wstring> ShellUrl(const std::wstring& path, HRESULT& failure) {
  ComPtr<IPersistFile> file;
  failure = CoCreateInstance(CLSID_InternetShortcut, nullptr, CLSCTX_INPROC_SERVER,
                             IID_IPersistFile, reinterpret_cast<void**>(&file.p));
  if (SUCCEEDED(failure)) failure = file.p->Load(path.c_str(), STGM_READ);
  ComPtr<IUniformResourceLocatorW> locator;
  if (SUCCEEDED(failure)) {
    failure =
        file.p->QueryInterface(IID_IUniformResourceLocatorW, reinterpret_cast<void**>(&locator.p));
  }
  wchar_t* url = nullptr;
  if (SUCCEEDED(failure)) failure = locator.p->GetURL(&url);
  if (FAILED(failure)) return std::nullopt;
  std::wstring text = url != nullptr ? url : L"";
  CoTaskMemFree(url);
  return text;
}

// The URL written into the shortcut's bytes, as text of the code page.
std::wstring WrittenUrl(const std::string& bytes) {
  const std::size_t start = bytes.find("URL=") + 4;
  const std::u16string url =
      NativeCodePage().FromAnsi(bytes.substr(start, bytes.size() - start - 2));
  return std::wstring(url.begin(), url.end());
}

// A bookmark file to stand beside the fixed ones: folders up to eight deep whose names
// Windows would trim, reserve or find long, titles that repeat, and URLs with the
// characters of a URL's syntax and of code page 932; some paths pass 259 units.
std::vector<std::string> GeneratedBookmarks() {
  const std::array<std::string, 8> folders{
      "abc.", "x ", "CON", std::string(150, 'f'), "長い名前の長い名前", "ｶﾅ. .", "Ω", ""};
  const std::array<std::string, 6> titles{"題名",     "page.", "Page", std::string(120, 't'),
                                          "a;b=c[d]", " "};
  std::vector<std::string> lines{"<HTML>", "<UL>"};
  int depth = 0;
  for (int i = 0; i < 300; ++i) {
    if (i % 5 == 0 && depth < 8) {
      lines.push_back(Folder(folders[(i / 5) % folders.size()]));
      ++depth;
    } else if (i % 13 == 0 && depth > 0) {
      lines.push_back("</UL>");
      --depth;
    }
    lines.push_back(Bookmark("http://gen.example/" + std::to_string(i) + "?q=日本&x=%20#a;b",
                             titles[i % titles.size()]));
  }
  return lines;
}

TEST(ShortcutObject, OpensEveryShortcutByItsOrdinaryPathWithItsUrl) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  const std::vector<std::string> sources{VELKORA_SAMPLE, VELKORA_TEST_DATA "/tricky_names.html",
                                         VELKORA_TEST_DATA "/tricky_bytes.html",
                                         VELKORA_TEST_DATA "/tricky_paths.html", ""};
  for (const std::string& source : sources) {
    ConversionFixture fixture;
    if (source.empty()) {
      fixture.WriteBookmarks(GeneratedBookmarks());
    } else {
      fixture.WriteBookmarkBytes(ReadBytes(fs::absolute(source)));
    }
    const ConversionReport report = fixture.Convert();
    const std::string name = source.empty() ? "generated" : fs::path(source).filename().string();
    int opened = 0;
    std::set<std::wstring> urls;
    for (const std::string& entry : fixture.Tree()) {
      if (!entry.ends_with(".url")) continue;
      const fs::path path = (fixture.Out() / fs::path(U16(entry))).make_preferred();
      HRESULT failure = S_OK;
      const std::optional<std::wstring> url = ShellUrl(path.wstring(), failure);
      ASSERT_TRUE(url) << name << ": " << entry << " does not open: 0x" << std::hex << failure;
      EXPECT_EQ(*url, WrittenUrl(ReadBytes(path))) << name << ": " << entry;
      urls.insert(*url);
      ++opened;
    }
    EXPECT_EQ(opened, report.written) << name;
    EXPECT_GT(opened, 0) << name;
    if (source.empty()) {
      EXPECT_EQ(urls.size(), static_cast<std::size_t>(opened)) << "one shortcut per bookmark";
      EXPECT_GT(report.failedShortcuts, 0) << "some generated paths pass 259 units";
    }
  }
  CoUninitialize();
}

}  // namespace
}  // namespace velkora::testing
