#include "tests/test_support.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <stdexcept>

#include "engine/utf8.h"

namespace velkora::testing {

namespace fs = std::filesystem;

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

TempDir::~TempDir() {
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  for (auto it = fs::recursive_directory_iterator(path_, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
  }
  fs::remove_all(path_, ignored);
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
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> ListTree(const fs::path& root) {
  std::vector<std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    std::string relative = ToUtf8(entry.path().lexically_relative(root).generic_u16string());
    if (entry.is_directory()) relative += '/';
    entries.push_back(relative);
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

std::string ShortcutBytes(std::string_view urlAnsi) {
  return "[InternetShortcut]\r\nURL=" + std::string(urlAnsi) + "\r\n";
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

ConversionReport ConversionFixture::Convert() {
  return BookmarkConverter(state, window, platform.Services()).ConvertBookmarks();
}

std::string ConversionFixture::Read(std::string_view relativeUtf8) const {
  return ReadBytes(out_ / fs::path(U16(relativeUtf8)));
}

}  // namespace velkora::testing
