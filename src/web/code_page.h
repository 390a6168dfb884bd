#pragma once

#include "web/text.h"

#include <string>
#include <string_view>

namespace vantrel {

inline constexpr int kSystemCodePage = 0; // the system code page, 936 here
inline constexpr int kLocalCodePage = 936;
inline constexpr int kUtf8CodePage = 65001;

// Multi-byte text up to its first zero byte, read in a code page, to UTF-16 units, low byte
// first, ending with a zero unit and padded with zero units to the room counted in the system
// code page (widened where the reading needs more). Empty for an empty text or a code page
// other than 0, 936 and 65001.
Bytes ToUnicode(const Text& text, int codePage = kUtf8CodePage);
// UTF-16 units up to the first zero unit to multi-byte text in a code page; empty for an empty
// input or a code page other than 0, 936 and 65001.
Text FromUnicode(const Bytes& wide, int codePage = kSystemCodePage);

Text LocalToUtf8(const Text& text);
Text Utf8ToLocal(const Text& text);

// The two conversions between local text and UTF-16 that the window and the regular
// expression object build on: the whole view, no terminator, no padding.
std::u16string LocalToUtf16(std::string_view local);
Text Utf16ToLocal(std::u16string_view wide);

} // namespace vantrel
