#include "platform/code_page_check.h"

#include <stdexcept>

#include "platform/posix/code_page_932.h"

namespace velkora {

std::u16string CodePageProblem() {
  try {
    CodePage932::Instance();
    return {};
  } catch (const std::runtime_error&) {
    // The C library was installed without its conversion modules (gconv).
    return u"コードページ932の変換がこのシステムの C ライブラリにありません"
           u"（gconv の変換モジュール CP932 を入れてください）";
  }
}

}  // namespace velkora
