#include "tests/test_support.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <stdexcept>

#include "engine/text/utf8.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace velkora::testing {

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
// Calls visit(name, is folder) for every entry of folder, an extended-length path. The
// C library's directory functions normalise the path and would read a folder named "  "
// as its parent, so the entries are listed with the wide find functions.
template <typename Visit>
void ForEachEntry(const std::wstring& folder, Visit visit) {
  WIN32_FIND_DATAW data{};
  const HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  struct Closer {
    HANDLE handle;
    ~Closer() { ::FindClose(handle); }
  } closer{find};
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") {
      visit(name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    }
  } while (::FindNextFileW(find, &data));
}

void ListFolder(const std::wstring& folder, const std::u16string& relative,
                std::vector<std::string>& entries) {
  ForEachEntry(folder, [&](const std::wstring& name, bool isFolder) {
    const std::u16string entry = relative + std::u16string(name.begin(), name.end());
    entries.push_back(ToUtf8(entry) + (isFolder ? "/" : ""));
    if (isFolder) ListFolder(folder + L"\\" + name, entry + u"/", entries);
  });
}

void RemoveFolder(const std::wstring& folder) {
  ForEachEntry(folder, [&](const std::wstring& name, bool isFolder) {
    const std::wstring path = folder + L"\\" + name;
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (isFolder) {
      RemoveFolder(path);
    } else {
      ::DeleteFileW(path.c_str());
    }
  });
  ::RemoveDirectoryW(folder.c_str());
}
#endif

}  // namespace

TempDir::TempDir() {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = fs::temp_directory_path() / ("velkora-test-" + std::to_string(random()));
    if (fs::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary directory");
}

fs::path LiteralPath(const fs::path& path) {
#ifdef _WIN32
  std::wstring text = path.wstring();
  std::replace(text.begin(), text.end(), L'/', L'\\');
  if (text.starts_with(L"\\\\?\\")) return fs::path(text);
  return fs::path(L"\\\\?\\" + text);
#else
  return path;
#endif
}

TempDir::~TempDir() {
#ifdef _WIN32
  RemoveFolder(LiteralPath(path_).wstring());
#else
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  for (auto it = fs::recursive_directory_iterator(path_, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
  }
  fs::remove_all(path_, ignored);
#endif
}

std::u16string U16(std::string_view utf8) { return FromUtf8(utf8); }

const AnsiCodePage& NativeCodePage() {
  static const NativePlatform platform;
  return platform.Services().codePage;
}

std::string Ansi(std::string_view utf8) { return NativeCodePage().ToAnsi(U16(utf8)); }

void WriteBytes(const fs::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(LiteralPath(file), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> ListTree(const fs::path& root) {
  std::vector<std::string> entries;
#ifdef _WIN32
  ListFolder(LiteralPath(root).wstring(), u"", entries);
#else
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    std::string relative = ToUtf8(entry.path().lexically_relative(root).generic_u16string());
    if (entry.is_directory()) relative += '/';
    entries.push_back(relative);
  }
#endif
  // The record and its folder are left out: the trees are those the bookmarks make.
  std::erase_if(entries,
                [](const std::string& e) { return e == ".velkora/" || e == ".velkora/record"; });
  std::sort(entries.begin(), entries.end());
  return entries;
}

std::string Bookmark(const std::string& url, const std::string& title) {
  return "<DT><LI><A HREF=\"" + url + "\" ADD_DATE=\"1\">" + title + "</A>";
}

std::string Folder(const std::string& name) { return "<DT><LI>" + name + "<UL>"; }

std::string ShortcutBytes(std::string_view urlAnsi) {
  return "[InternetShortcut]\r\nURL=" + std::string(urlAnsi) + "\r\n";
}

std::string BookmarkWithIcon(const std::string& url, const std::string& title, int icon) {
  // A PNG's signature and header in base64; eight digits more are six bytes of its own.
  return "<DT><A HREF=\"" + url +
         "\" ICON=\"data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAABAAAAAQCAYAAAAf8/9h" +
         std::to_string(10000000 + icon) + "\">" + title + "</A>";
}

bool IsShortcutWithIcon(std::string_view bytes, std::string_view urlAnsi) {
  return bytes.starts_with(ShortcutBytes(urlAnsi) + "IconFile=") &&
         bytes.ends_with(".ico\r\nIconIndex=0\r\n");
}

ConversionFixture::ConversionFixture()
    : bookmarks_(dir_.path() / "bookmarks.html"), out_(dir_.path() / "out") {
  fs::create_directory(out_);
  window.path = bookmarks_.u16string();
  window.target = out_.u16string();
}

void ConversionFixture::WriteBookmarks(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += Ansi(line) + "\r\n";
  WriteBookmarkBytes(bytes);
}

void ConversionFixture::WriteBookmarkBytes(std::string_view bytes) {
  WriteBytes(bookmarks_, bytes);
}

ConversionReport ConversionFixture::Convert(ConversionObserver* observer) {
  return BookmarkConverter(state, window, platform.Services(), observer).ConvertBookmarks();
}

const HeldTarget& ConversionFixture::HoldTarget() {
  if (!state.fileSystem) state.fileSystem = platform.Services().createFileSystem();
  if (state.target.Holds(window.target)) return state.target;
  // Opened without the lock, whose file on Windows would stand in the tree.
  state.target = {};
  if (!state.fileSystem->OpenTarget(window.target, state.target.folder)) {
    throw std::runtime_error("cannot open the target");
  }
  state.target.path = window.target;
  return state.target;
}

std::string ConversionFixture::Read(std::string_view relativeUtf8) const {
  return ReadBytes(out_ / fs::path(U16(relativeUtf8)));
}

}  // namespace velkora::testing
