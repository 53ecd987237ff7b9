#include "platform/code_page_check.h"

namespace velkora {

// Windows converts with its own ANSI code page, which every system has.
std::u16string CodePageProblem() { return {}; }

}  // namespace velkora
