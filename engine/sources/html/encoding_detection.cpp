#include "engine/sources/html/encoding_detection.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "engine/text/ascii.h"
#include "engine/text/text_decoding.h"

namespace velkora {
namespace {

// "<meta" followed by white space, "/" or ">" at the start of text.
bool StartsMetaTag(std::string_view text) {
  return StartsWithAsciiIgnoringCase(text, "<meta") && text.size() > 5 &&
         (IsHtmlWhiteSpace(text[5]) || text[5] == '/' || text[5] == '>');
}

bool ContinuesName(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.';
}

enum class Charset { kNone, kUtf8, kOther };

// What text declares when it starts with "charset=", an optional quote and a name:
// kUtf8 for "utf-8" or "utf8" that no name character continues, kOther for any other name.
Charset DeclaredCharset(std::string_view text) {
  constexpr std::string_view kCharset = "charset=";
  if (!StartsWithAsciiIgnoringCase(text, kCharset)) return Charset::kNone;
  text.remove_prefix(kCharset.size());
  if (!text.empty() && (text[0] == '"' || text[0] == '\'')) text.remove_prefix(1);
  if (text.empty() || !ContinuesName(text[0])) return Charset::kNone;
  for (const std::string_view name : {std::string_view("utf-8"), std::string_view("utf8")}) {
    if (StartsWithAsciiIgnoringCase(text, name) &&
        (text.size() == name.size() || !ContinuesName(text[name.size()]))) {
      return Charset::kUtf8;
    }
  }
  return Charset::kOther;
}

// The first position from at on that holds "<" or, when stopAtNonAscii, a byte beyond
// ASCII; passedNonAscii is set when a byte beyond ASCII was passed over. Most of a file is
// plain text, looked at eight bytes at a time.
std::size_t SkipToMarkup(std::string_view window, std::size_t at, bool stopAtNonAscii,
                         bool& passedNonAscii) {
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  constexpr std::uint64_t kHighBits = 0x8080808080808080;
  const std::uint64_t nonAscii = stopAtNonAscii ? kHighBits : 0;
  std::uint64_t passed = 0;
  while (at + 8 <= window.size()) {
    std::uint64_t word = 0;
    std::memcpy(&word, window.data() + at, 8);
    const std::uint64_t x = word ^ (kOnes * '<');
    // A byte of x is 0 where word holds "<": the high bit of (x - 1) & ~x marks it.
    if ((((x - kOnes) & ~x & kHighBits) | (word & nonAscii)) != 0) break;
    passed |= word;
    at += 8;
  }
  while (at < window.size() && window[at] != '<' &&
         !(stopAtNonAscii && static_cast<std::uint8_t>(window[at]) >= 0x80)) {
    passed |= static_cast<std::uint8_t>(window[at]);
    ++at;
  }
  if ((passed & kHighBits) != 0) passedNonAscii = true;
  return at;
}

}  // namespace

bool EncodingDetector::CheckByteOrderMark(std::string_view window, bool final,
                                          std::size_t& consumed) {
  constexpr std::string_view kUtf8 = "\xEF\xBB\xBF";
  if (window.size() < kUtf8.size() && !final) return false;
  started_ = true;
  hasMark_ = true;
  if (window.starts_with(kUtf8)) {
    markEncoding_ = TextEncoding::kUtf8;
  } else if (window.starts_with("\xFF\xFE")) {
    markEncoding_ = TextEncoding::kUtf16LittleEndian;
  } else if (window.starts_with("\xFE\xFF")) {
    markEncoding_ = TextEncoding::kUtf16BigEndian;
  } else {
    hasMark_ = false;
  }
  consumed = hasMark_ ? window.size() : 0;
  return true;
}

std::size_t EncodingDetector::Scan(std::string_view window, bool final) {
  std::size_t i = 0;
  if (!started_ && !CheckByteOrderMark(window, final, i)) return 0;
  while (i < window.size() && !Decided()) {
    i = SkipPlainText(window, i);
    if (i == window.size()) break;
    const std::size_t next = static_cast<std::uint8_t>(window[i]) >= 0x80
                                 ? ExamineNonAscii(window, i, final)
                                 : ExamineAscii(window, i, final);
    if (next == i) break;  // too few bytes to decide on: the window must grow first
    i = next;
  }
  return Decided() ? window.size() : i;
}

bool EncodingDetector::Validating() const {
  return !invalidUtf8_ && (hasItem_ || !deferValidation_);
}

// Performance-critical: the bytes that can change nothing are passed over many at a time,
// by memchr or eight at a time; a detector that looks at each byte costs 27% more
// instructions per bookmark of a UTF-8 export.
std::size_t EncodingDetector::SkipPlainText(std::string_view window, std::size_t at) {
  if (inMeta_) return at;
  const bool validating = Validating();
  if (!validating && (unchecked_ || invalidUtf8_)) {
    // Only a "<" can change anything now.
    const void* open = std::memchr(window.data() + at, '<', window.size() - at);
    return open == nullptr
               ? window.size()
               : static_cast<std::size_t>(static_cast<const char*>(open) - window.data());
  }
  bool passedNonAscii = false;
  at = SkipToMarkup(window, at, validating, passedNonAscii);
  unchecked_ = unchecked_ || (passedNonAscii && !invalidUtf8_);
  return at;
}

std::size_t EncodingDetector::ExamineNonAscii(std::string_view window, std::size_t at, bool final) {
  if (!Validating()) {
    unchecked_ = unchecked_ || !invalidUtf8_;
    return at + 1;
  }
  if (IsCommonThreeByteSequence(window, at)) {  // kana and kanji, often in runs
    do at += 3;
    while (at < window.size() && IsCommonThreeByteSequence(window, at));
    return at;
  }
  bool valid = false;
  const std::size_t length = Utf8SequenceAt(window, at, valid);
  if (!valid && at + length == window.size() && !final) return at;  // perhaps cut off
  invalidUtf8_ = !valid;
  return at + length;
}

std::size_t EncodingDetector::ExamineAscii(std::string_view window, std::size_t at, bool final) {
  const bool enough = final || window.size() - at >= kLookAhead;
  const char c = window[at];
  if (c == '<') {
    if (!enough) return at;
    const std::string_view rest = window.substr(at);
    if (rest.starts_with("<LI>")) hasItem_ = true;
    // As in HTML, the first <META> tag that declares a charset decides; later ones change
    // nothing, whatever they declare.
    if (!inMeta_ && !declaredCharset_ && StartsMetaTag(rest)) {
      inMeta_ = true;
      return at + 5;
    }
  } else if (inMeta_ && c == '>') {
    inMeta_ = false;
  } else if (inMeta_ && (c == 'c' || c == 'C')) {
    if (!enough) return at;
    if (declaredCharset_) return at + 1;  // the tag declared one already
    const Charset charset = DeclaredCharset(window.substr(at, kLookAhead));
    declaredCharset_ = charset != Charset::kNone;
    declaresUtf8_ = charset == Charset::kUtf8;
  }
  return at + 1;
}

// A file with an ill-formed sequence and a "<LI>" is in the ANSI code page, whatever it
// declares; most files in the code page are known to be so within a few lines.
bool EncodingDetector::Decided() const { return hasMark_ || (invalidUtf8_ && hasItem_); }

bool EncodingDetector::Certain() const {
  // Validity decides only for a file that declares UTF-8 and holds "<LI>".
  return hasMark_ || invalidUtf8_ || !unchecked_ || !declaresUtf8_ || !hasItem_;
}

TextEncoding EncodingDetector::Encoding() const {
  if (hasMark_) return markEncoding_;
  if (declaresUtf8_ && (!invalidUtf8_ || !hasItem_)) return TextEncoding::kUtf8;
  return TextEncoding::kAnsiCodePage;
}

DetectingInputStream::DetectingInputStream(std::unique_ptr<InputStream> stream,
                                           bool deferValidation)
    : stream_(std::move(stream)), detector_(deferValidation) {}

IoResult DetectingInputStream::ReadAhead() {
  constexpr std::size_t kAhead = 64 * 1024;
  ahead_.resize(kAhead);
  std::size_t received = 0;
  IoResult result = stream_->Read(ahead_.data(), kAhead, received);
  ahead_.resize(result ? received : 0);
  if (result) Examine(ahead_, received == 0);
  return result;
}

IoResult DetectingInputStream::Read(char* buffer, std::size_t capacity, std::size_t& received) {
  if (aheadTaken_ < ahead_.size()) {
    // What was read ahead has been examined already.
    received = std::min(capacity, ahead_.size() - aheadTaken_);
    std::memcpy(buffer, ahead_.data() + aheadTaken_, received);
    aheadTaken_ += received;
    return IoResult::Success();
  }
  IoResult result = stream_->Read(buffer, capacity, received);
  if (result) Examine(std::string_view(buffer, received), received == 0);
  return result;
}

void DetectingInputStream::Examine(std::string_view bytes, bool final) {
  if (detector_.Decided()) return;
  if (!pending_.empty()) {
    // The detector's window goes on from the bytes it left: they are joined with the
    // start of the new bytes, enough for it to get past them, and it then goes on in the
    // new bytes themselves, which are not copied.
    constexpr std::size_t kJoin = 4 * EncodingDetector::kLookAhead;
    const std::size_t left = pending_.size();
    const std::size_t join = std::min(bytes.size(), kJoin);
    pending_.append(bytes.substr(0, join));
    const bool joinsAll = join == bytes.size();
    const std::size_t done = detector_.Scan(pending_, final && joinsAll);
    if (joinsAll || done < left) {
      pending_.erase(0, done);
      if (joinsAll) return;
      pending_.append(bytes.substr(join));
      pending_.erase(0, detector_.Scan(pending_, final));
      return;
    }
    bytes.remove_prefix(done - left);
    pending_.clear();
  }
  const std::size_t done = detector_.Scan(bytes, final);
  pending_.assign(bytes.substr(std::min(done, bytes.size())));
}

}  // namespace velkora
