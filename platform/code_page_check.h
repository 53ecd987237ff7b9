#pragma once

#include <string>

namespace velkora {

// Empty when the code page the platform reads and writes files in can be used; otherwise
// why not, in one Japanese sentence. NativePlatform needs that code page: ask this first.
std::u16string CodePageProblem();

}  // namespace velkora
