#pragma once

#include <string>
#include <string_view>

namespace velkora {

// The icons a browser keeps for the pages it has shown, looked up by a page's URL.
class PageIcons {
 public:
  virtual ~PageIcons() = default;
  // The bytes of the image file (PNG, or ICO) the browser shows for the page at url
  // (UTF-8), into image; false, and image empty, when it keeps none that serves.
  virtual bool IconOf(std::string_view url, std::string& image) = 0;
};

}  // namespace velkora
