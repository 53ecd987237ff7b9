#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/run/messages.h"

namespace velkora {

// Reasons the calls that keep a target in step with its record give, in the user's words,
// where the system has no reason of its own.

// A name that must be a file's names a folder.
inline constexpr std::u16string_view kEntryIsFolder = u"ファイルではなくフォルダーです";

// A file that has other names too (hard links): changing it would change them.
inline constexpr std::u16string_view kFileHasOtherNames =
    u"ほかの名前（ハードリンク）もあるファイルなので、変更しません";

// A folder below the target that is another file system mounted there.
inline constexpr std::u16string_view kMountPointInTheWay =
    u"フォルダーの代わりに別のドライブ（マウントポイント）があります（その先は変更しません）";

// A name asked for that is not one name in a folder: empty, "." or "..", or with a separator.
inline constexpr std::u16string_view kNotOneName = u"フォルダーの中の 1 つの名前ではありません";

// A file larger than the largest the caller reads.
inline std::u16string FileTooLargeReason(std::size_t limit) {
  return u"ファイルが大きすぎます（" + DecimalText(static_cast<long long>(limit)) +
         u" バイトを超えています）";
}

// A file moved aside to be removed that was found to be another, and whose name was taken
// again meanwhile: it stays under the temporary name.
inline std::u16string NotPutBackReason(std::u16string_view temporary) {
  return u"別のファイルだったため元の名前に戻そうとしましたが、その名前が使われていました（今の名前"
         u": " +
         std::u16string(temporary) + u"）";
}

}  // namespace velkora
