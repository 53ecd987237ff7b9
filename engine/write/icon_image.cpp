#include "engine/write/icon_image.h"

#include <cstdint>

#include "engine/write/data_uri.h"

namespace velkora {
namespace {

constexpr std::string_view kPngSignature = "\x89PNG\r\n\x1a\n";
constexpr std::size_t kIcoHeaderBytes = 6;
constexpr std::size_t kIcoEntryBytes = 16;
constexpr std::uint32_t kLargestSide = 256;

std::uint32_t Byte(std::string_view bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]);
}

std::uint32_t BigEndian32(std::string_view bytes, std::size_t at) {
  return Byte(bytes, at) << 24 | Byte(bytes, at + 1) << 16 | Byte(bytes, at + 2) << 8 |
         Byte(bytes, at + 3);
}

std::uint32_t LittleEndian16(std::string_view bytes, std::size_t at) {
  return Byte(bytes, at) | Byte(bytes, at + 1) << 8;
}

std::uint32_t LittleEndian32(std::string_view bytes, std::size_t at) {
  return LittleEndian16(bytes, at) | LittleEndian16(bytes, at + 2) << 16;
}

void AppendLittleEndian(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

bool IsIconSide(std::uint32_t side) { return side >= 1 && side <= kLargestSide; }

}  // namespace

bool IsWellFormedPng(std::string_view bytes) {
  // The signature, then IHDR: its length (13), its type, width, height, five bytes of
  // depth and kinds, and its CRC.
  constexpr std::size_t kIhdrEnd = 8 + 4 + 4 + 13 + 4;
  if (bytes.size() < kIhdrEnd || !bytes.starts_with(kPngSignature)) return false;
  if (BigEndian32(bytes, 8) != 13 || bytes.substr(12, 4) != "IHDR") return false;
  return IsIconSide(BigEndian32(bytes, 16)) && IsIconSide(BigEndian32(bytes, 20));
}

bool IsWellFormedIco(std::string_view bytes) {
  if (bytes.size() < kIcoHeaderBytes) return false;
  if (LittleEndian16(bytes, 0) != 0 || LittleEndian16(bytes, 2) != 1) return false;
  const std::uint64_t count = LittleEndian16(bytes, 4);
  const std::uint64_t directoryEnd = kIcoHeaderBytes + count * kIcoEntryBytes;
  if (count == 0 || directoryEnd > bytes.size()) return false;
  for (std::uint64_t entry = 0; entry < count; ++entry) {
    const std::size_t at = kIcoHeaderBytes + static_cast<std::size_t>(entry) * kIcoEntryBytes;
    const std::uint64_t size = LittleEndian32(bytes, at + 8);
    const std::uint64_t offset = LittleEndian32(bytes, at + 12);
    if (size == 0 || offset < directoryEnd || offset + size > bytes.size()) return false;
  }
  return true;
}

std::string PngAsIco(std::string_view png) {
  const auto side = [&](std::size_t at) {
    const std::uint32_t value = BigEndian32(png, at);
    return value == kLargestSide ? 0U : value;  // a byte holds 1 to 255; 0 stands for 256
  };
  std::string ico;
  ico.reserve(kIcoHeaderBytes + kIcoEntryBytes + png.size());
  AppendLittleEndian(ico, 0, 2);  // reserved
  AppendLittleEndian(ico, 1, 2);  // an icon
  AppendLittleEndian(ico, 1, 2);  // one image
  AppendLittleEndian(ico, side(16), 1);
  AppendLittleEndian(ico, side(20), 1);
  AppendLittleEndian(ico, 0, 1);   // no palette
  AppendLittleEndian(ico, 0, 1);   // reserved
  AppendLittleEndian(ico, 1, 2);   // planes
  AppendLittleEndian(ico, 32, 2);  // bits per pixel
  AppendLittleEndian(ico, static_cast<std::uint32_t>(png.size()), 4);
  AppendLittleEndian(ico, kIcoHeaderBytes + kIcoEntryBytes, 4);
  ico += png;
  return ico;
}

IconDecoding IconFileBytes(std::u16string_view icon, std::string& ico) {
  IconKind kind = IconKind::kPng;
  std::string image;
  if (const IconDecoding decoded = DecodeIconDataUri(icon, kMaxIconBytes, kind, image);
      decoded != IconDecoding::kDone) {
    return decoded;
  }
  if (kind == IconKind::kIco) {
    if (!IsWellFormedIco(image)) return IconDecoding::kNone;
    ico = std::move(image);
    return IconDecoding::kDone;
  }
  if (!IsWellFormedPng(image)) return IconDecoding::kNone;
  ico = PngAsIco(image);
  return IconDecoding::kDone;
}

}  // namespace velkora
