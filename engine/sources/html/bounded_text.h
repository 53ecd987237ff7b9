#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velkora {

// Appends the text of utf8 to to within longest units; returns false when some did not
// fit. Pieces end where ASCII characters stand, and no UTF-8 sequence holds an ASCII byte:
// decoded one by one, they give the units the whole line would.
bool AppendWithin(std::u16string& to, std::string_view utf8, std::size_t longest);

}  // namespace velkora
