#include "engine/sources/profiles/local_state.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>

#include "engine/text/utf8.h"

namespace velkora {
namespace {

using Json = nlohmann::json;

// Follows the parse into profile.info_cache.<folder>.name and keeps the folders and
// names met there. It keeps the key of each of the first four levels only: whatever is
// nested deeper is counted, never stored, so any depth costs the same memory.
class LocalStateReader final : public nlohmann::json_sax<Json> {
 public:
  std::vector<LocalStateProfile> profiles;

  bool null() override { return true; }
  bool boolean(bool) override { return true; }
  bool number_integer(number_integer_t) override { return true; }
  bool number_unsigned(number_unsigned_t) override { return true; }
  bool number_float(number_float_t, const string_t&) override { return true; }
  bool binary(binary_t&) override { return true; }
  bool string(string_t& value) override {
    if (depth_ == kEntry && InCache() && IsObject(kEntry) && keys_[kEntry - 1] == "name") {
      profiles.back().name = FromUtf8(value);
    }
    return true;
  }
  bool key(string_t& key) override {
    if (depth_ >= 1 && depth_ <= kEntry) keys_[depth_ - 1] = key;
    return true;
  }
  bool start_object(std::size_t) override { return Open(false); }
  bool start_array(std::size_t) override { return Open(true); }
  bool end_object() override { return Close(); }
  bool end_array() override { return Close(); }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
    return false;
  }

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
    ++depth_;
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

  std::uint64_t depth_ = 0;
  std::array<std::string, kEntry> keys_;
  std::array<bool, kEntry> arrays_{};
};

}  // namespace

std::vector<LocalStateProfile> ProfilesOfLocalState(std::string_view json) {
  LocalStateReader reader;
  if (!Json::sax_parse(json.begin(), json.end(), &reader)) return {};
  return std::move(reader.profiles);
}

}  // namespace velkora
