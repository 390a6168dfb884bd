#include "web/code_page.h"

#include <unicode/ucnv.h>

namespace vantrel {

// Provisional: plain ICU conversions until the Windows-exact ones land.
std::u16string LocalToUtf16(std::string_view local)
{
    UErrorCode status = U_ZERO_ERROR;
    std::u16string wide(local.size() + 1, u'\0');
    UConverter* converter = ucnv_open("windows-936-2000", &status);
    const int32_t length = ucnv_toUChars(converter, wide.data(), static_cast<int32_t>(wide.size()),
                                         local.data(), static_cast<int32_t>(local.size()), &status);
    ucnv_close(converter);
    wide.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
    return wide;
}

Text Utf16ToLocal(std::u16string_view wide)
{
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open("windows-936-2000", &status);
    Text local(wide.size() * 2 + 1, '\0');
    const int32_t length =
        ucnv_fromUChars(converter, local.data(), static_cast<int32_t>(local.size()), wide.data(),
                        static_cast<int32_t>(wide.size()), &status);
    ucnv_close(converter);
    local.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
    return local;
}

Bytes ToUnicode(const Text&, int) { return {}; }
Text FromUnicode(const Bytes&, int) { return {}; }
Text LocalToUtf8(const Text& text) { return text; }
Text Utf8ToLocal(const Text& text) { return text; }

} // namespace vantrel
