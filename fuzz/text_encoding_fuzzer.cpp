// Arbitrary bytes as a bookmark file's text: the encoding decided from them must not depend
// on how the reads split the file, and must be what the rules, read plainly, give; UTF-8 that holds
// no ill-formed sequence decodes to text that encodes back to the same bytes; and no decoder leaves
// an unpaired surrogate.

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/sources/html/encoding_detection.h"
#include "engine/text/text_decoding.h"
#include "engine/text/utf8.h"
#include "fuzz/fuzz_check.h"

namespace velkora::fuzz {
namespace {

// The decision with the bytes handed over in windows of size bytes, as a file is read.
TextEncoding DetectInWindows(std::string_view bytes, std::size_t size, bool& sawInvalid) {
  EncodingDetector detector;
  std::string window;
  std::size_t next = 0;
  for (;;) {
    const std::string_view read = bytes.substr(next, size);
    next += read.size();
    window += read;
    const bool final = read.empty();
    const std::size_t done = detector.Scan(window, final);
    Require(done <= window.size(), "the detector is done with no more than it was given");
    Require(final || detector.Decided() || window.size() - done <= EncodingDetector::kLookAhead,
            "the detector leaves no more than its look-ahead");
    if (final || detector.Decided()) break;
    window.erase(0, done);
  }
  sawInvalid = false;
  for (std::size_t i = 0; i < bytes.size();) {
    bool valid = false;
    i += Utf8SequenceAt(bytes, i, valid);
    sawInvalid = sawInvalid || !valid;
  }
  return detector.Encoding();
}

// Hands out bytes in reads of at most size bytes.
class ChunkedStream final : public InputStream {
 public:
  ChunkedStream(std::string_view bytes, std::size_t size) : bytes_(bytes), size_(size) {}
  IoResult Read(char* buffer, std::size_t capacity, std::size_t& received) override {
    received = std::min({capacity, size_, bytes_.size()});
    std::copy_n(bytes_.data(), received, buffer);
    bytes_.remove_prefix(received);
    return IoResult::Success();
  }

 private:
  std::string_view bytes_;
  std::size_t size_;
};

// The decision as the stream that counts the bookmarks makes it, reading in pieces of
// size bytes through buffers of capacity bytes; certain is false when bytes it deferred
// must be checked first.
TextEncoding DetectThroughStream(std::string_view bytes, std::size_t size, std::size_t capacity,
                                 bool deferValidation, bool& certain) {
  DetectingInputStream stream(std::make_unique<ChunkedStream>(bytes, size), deferValidation);
  Require(static_cast<bool>(stream.ReadAhead()), "reading ahead succeeds");
  std::string buffer(capacity, '\0');
  for (std::size_t received = 1; received != 0;) {
    Require(static_cast<bool>(stream.Read(buffer.data(), capacity, received)), "reading succeeds");
  }
  certain = stream.Certain();
  return stream.Encoding();
}

// The rules read plainly over the whole file, as a check of the streaming detector.
TextEncoding Reference(std::string_view bytes, bool sawInvalid) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return TextEncoding::kUtf8;
  if (bytes.starts_with("\xFF\xFE")) return TextEncoding::kUtf16LittleEndian;
  if (bytes.starts_with("\xFE\xFF")) return TextEncoding::kUtf16BigEndian;
  std::string lower(bytes);
  for (char& c : lower) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
  // The first "charset=" followed by a name, in the first <META> tag that holds one,
  // decides; it declares UTF-8 when the name is "utf-8" or "utf8" and nothing continues it.
  const auto continuesName = [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.';
  };
  bool decided = false;
  bool declared = false;
  for (std::size_t at = lower.find("<meta"); at != std::string::npos && !decided;
       at = lower.find("<meta", at + 1)) {
    if (at + 5 >= lower.size() ||
        std::string_view(" \t\r\n\f/>").find(lower[at + 5]) == std::string_view::npos) {
      continue;
    }
    const std::size_t end = std::min(lower.find('>', at + 5), lower.size());
    for (std::size_t c = lower.find("charset=", at); c < end && !decided;
         c = lower.find("charset=", c + 1)) {
      std::size_t v = c + 8;
      if (v < lower.size() && (lower[v] == '"' || lower[v] == '\'')) ++v;
      if (v >= lower.size() || !continuesName(lower[v])) continue;
      decided = true;
      for (const std::string_view name : {std::string_view("utf-8"), std::string_view("utf8")}) {
        const std::size_t after = v + name.size();
        declared = declared || (std::string_view(lower).substr(v).starts_with(name) &&
                                (after >= lower.size() || !continuesName(lower[after])));
      }
    }
  }
  const bool hasItem = bytes.find("<LI>") != std::string_view::npos;
  return declared && (!sawInvalid || !hasItem) ? TextEncoding::kUtf8 : TextEncoding::kAnsiCodePage;
}

bool HasUnpairedSurrogate(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      return true;
    }
  }
  return false;
}

}  // namespace
}  // namespace velkora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velkora;
  using velkora::fuzz::Require;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  bool sawInvalid = false;
  const TextEncoding whole = fuzz::DetectInWindows(bytes, bytes.size() + 1, sawInvalid);
  Require(whole == fuzz::Reference(bytes, sawInvalid), "the decision follows the rules");
  for (const std::size_t window : {std::size_t{1}, std::size_t{7}, std::size_t{64}}) {
    Require(fuzz::DetectInWindows(bytes, window, sawInvalid) == whole,
            "the decision does not depend on how the file is read");
    for (const bool defer : {false, true}) {
      bool certain = false;
      const TextEncoding decided =
          fuzz::DetectThroughStream(bytes, window * 3, window, defer, certain);
      Require(certain || defer, "a detector that checks every byte is certain");
      Require(!certain || decided == whole,
              "the stream that reads and decides at once decides the same when it is certain");
    }
  }
  std::u16string text;
  DecodeUtf8(bytes, text);
  Require(!fuzz::HasUnpairedSurrogate(text), "UTF-8 decodes to no unpaired surrogate");
  if (!sawInvalid) Require(ToUtf8(text) == bytes, "well-formed UTF-8 decodes losslessly");
  for (const bool bigEndian : {false, true}) {
    DecodeUtf16(bytes, bigEndian, text);
    Require(text.size() == (size + 1) / 2, "UTF-16 decodes to one unit per two bytes");
    Require(!fuzz::HasUnpairedSurrogate(text), "UTF-16 decodes to no unpaired surrogate");
  }
  return 0;
}
