#pragma once

#include <string>

namespace velkora {

// The person's Favorites folder, where Internet Explorer and Edge keep their Internet
// Shortcuts; empty when the system names none. It need not exist.
std::wstring FavoritesFolder();

}  // namespace velkora
