#include "engine/sources/file_content.h"

namespace velkora {
namespace {

struct Signature {
  std::string_view bytes;
  std::u16string_view what;
};

constexpr std::u16string_view kZip = u"ZIP 形式の圧縮ファイルです";

constexpr Signature kSignatures[] = {
    {"\x89PNG\r\n\x1A\n", u"PNG 画像です"},
    {"GIF87a", u"GIF 画像です"},
    {"GIF89a", u"GIF 画像です"},
    {"\xFF\xD8\xFF", u"JPEG 画像です"},
    {"PK\x03\x04", kZip},
    {"PK\x05\x06", kZip},
    {"PK\x07\x08", kZip},
    {"\x1F\x8B", u"gzip 形式の圧縮ファイルです"},
    {"%PDF-", u"PDF ファイルです"},
    {"\x7F"
     "ELF",
     u"実行ファイル（ELF）です"},
};

}  // namespace

std::u16string_view NonTextReason(std::string_view start) {
  for (const Signature& signature : kSignatures) {
    if (start.starts_with(signature.bytes)) return signature.what;
  }
  if (start.starts_with("\xFF\xFE") || start.starts_with("\xFE\xFF")) return {};
  if (start.substr(0, kFirstBlockBytes).find('\0') == std::string_view::npos) return {};
  // "MZ" alone may begin a text; with a NUL byte after it, it is a Windows program.
  if (start.starts_with("MZ")) return u"実行ファイル（Windows の EXE・DLL）です";
  return u"先頭の 8 KiB に NUL バイトがあります（テキストファイルではありません）";
}

}  // namespace velkora
