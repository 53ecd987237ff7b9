#include "engine/sources/profiles/local_state.h"

#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/sources/chromium/json_reading.h"
#include "engine/text/utf8.h"

namespace velkora {
namespace {

// Follows the parse into profile.info_cache.<folder>.name and keeps the folders and
// names met there. It keeps the key of each of the first four levels only, and refuses a
// file nested deeper than a browser reads one.
class LocalStateReader final {
 public:
  std::vector<LocalStateProfile> profiles;

  bool Null() { return true; }
  bool Bool(bool) { return true; }
  bool Int(int) { return true; }
  bool Uint(unsigned) { return true; }
  bool Int64(std::int64_t) { return true; }
  bool Uint64(std::uint64_t) { return true; }
  bool Double(double) { return true; }
  bool RawNumber(const char*, unsigned, bool) { return true; }
  bool String(const char* text, unsigned length, bool) {
    if (depth_ == kEntry && InCache() && IsObject(kEntry) && keys_[kEntry - 1] == "name") {
      profiles.back().name = FromUtf8(std::string_view(text, length));
    }
    return true;
  }
  bool Key(const char* text, unsigned length, bool) {
    if (depth_ >= 1 && depth_ <= kEntry) keys_[depth_ - 1].assign(text, length);
    return true;
  }
  bool StartObject() { return Open(false); }
  bool StartArray() { return Open(true); }
  bool EndObject(unsigned) { return Close(); }
  bool EndArray(unsigned) { return Close(); }

 private:
  // The depth of a profile's own object: root, "profile", "info_cache", the profile.
  static constexpr std::size_t kEntry = 4;

  bool IsObject(std::size_t level) const { return !arrays_[level - 1]; }
  // Whether the parse stands inside root.profile.info_cache.<folder>, all of them objects.
  bool InCache() const {
    return IsObject(1) && IsObject(2) && IsObject(3) && keys_[0] == "profile" &&
           keys_[1] == "info_cache";
  }
  bool Open(bool array) {
    if (++depth_ > kMostJsonNesting) return false;
    if (depth_ <= kEntry) {
      arrays_[depth_ - 1] = array;
      keys_[depth_ - 1].clear();
      if (depth_ == kEntry && !array && InCache()) {
        const std::u16string folder = FromUtf8(keys_[kEntry - 2]);
        profiles.push_back({folder, folder});
      }
    }
    return true;
  }
  bool Close() {
    --depth_;
    return true;
  }

  std::size_t depth_ = 0;
  std::array<std::string, kEntry> keys_;
  std::array<bool, kEntry> arrays_{};
};

}  // namespace

std::vector<LocalStateProfile> ProfilesOfLocalState(std::string_view json) {
  // The reader takes a NUL byte for the end of the text: a file holding one is no JSON.
  if (json.find('\0') != std::string_view::npos) return {};
  // A byte order mark is passed over, as JSON's readers do.
  if (json.starts_with("\xEF\xBB\xBF")) json.remove_prefix(3);
  LocalStateReader reader;
  rapidjson::MemoryStream stream(json.data(), json.size());
  rapidjson::Reader parser;
  if (parser.Parse<kJsonReadFlags>(stream, reader).IsError()) return {};
  return std::move(reader.profiles);
}

}  // namespace velkora
