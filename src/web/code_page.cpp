#include "web/code_page.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

namespace vantrel {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';
constexpr char16_t kLocalDefault = u'?';

// Windows reads an invalid or incomplete double-byte sequence as the code page's default
// character, which is "?" for 936, not as U+FFFD.
void writeLocalDefaultUnit(const void*, UConverterToUnicodeArgs* args, const char*, int32_t,
                           UConverterCallbackReason reason, UErrorCode* status)
{
    if (reason > UCNV_IRREGULAR) {
        return;
    }
    *status = U_ZERO_ERROR;
    ucnv_cbToUWriteUChars(args, &kLocalDefault, 1, 0, status);
}

// Windows writes one "?" per UTF-16 unit it cannot map, so a surrogate pair becomes "??".
void writeLocalDefaultBytes(const void*, UConverterFromUnicodeArgs* args, const UChar*,
                            int32_t length, UChar32, UConverterCallbackReason reason,
                            UErrorCode* status)
{
    if (reason > UCNV_IRREGULAR) {
        return;
    }
    *status = U_ZERO_ERROR;
    for (int32_t unit = 0; unit < length && U_SUCCESS(*status); ++unit) {
        ucnv_cbFromUWriteBytes(args, "?", 1, 0, status);
    }
}

struct ConverterCloser
{
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using ConverterHandle = std::unique_ptr<UConverter, ConverterCloser>;

ConverterHandle openLocalConverter()
{
    UErrorCode status = U_ZERO_ERROR;
    // windows-936-2000 decodes every single byte and all 23,940 double-byte codes as Windows
    // does; its fallback mappings are the best-fit characters Windows uses when encoding.
    ConverterHandle converter(ucnv_open("windows-936-2000", &status));
    if (U_FAILURE(status)) {
        return nullptr;
    }
    ucnv_setFallback(converter.get(), true);
    ucnv_setToUCallBack(converter.get(), writeLocalDefaultUnit, nullptr, nullptr, nullptr, &status);
    ucnv_setFromUCallBack(converter.get(), writeLocalDefaultBytes, nullptr, nullptr, nullptr,
                          &status);
    return U_SUCCESS(status) ? std::move(converter) : nullptr;
}

// A converter instance must not be shared between threads.
UConverter* localConverter()
{
    thread_local const ConverterHandle converter = openLocalConverter();
    return converter.get();
}

std::u16string decodeLocal(std::string_view local)
{
    UConverter* converter = localConverter();
    if (converter == nullptr || local.empty()) {
        return {};
    }
    ucnv_resetToUnicode(converter);
    // No byte yields more than one unit, so one pass normally suffices.
    std::u16string wide(local.size(), u'\0');
    const char* source = local.data();
    const char* const sourceEnd = source + local.size();
    std::size_t written = 0;
    for (;;) {
        UChar* target = wide.data() + written;
        UErrorCode status = U_ZERO_ERROR;
        ucnv_toUnicode(converter, &target, wide.data() + wide.size(), &source, sourceEnd, nullptr,
                       true, &status);
        written = static_cast<std::size_t>(target - wide.data());
        if (status != U_BUFFER_OVERFLOW_ERROR) {
            if (U_FAILURE(status)) {
                return {};
            }
            break;
        }
        wide.resize(wide.size() * 2);
    }
    wide.resize(written);
    return wide;
}

Text encodeLocal(std::u16string_view wide)
{
    UConverter* converter = localConverter();
    if (converter == nullptr || wide.empty()) {
        return {};
    }
    ucnv_resetFromUnicode(converter);
    // No unit yields more than two bytes, so one pass normally suffices.
    Text local(wide.size() * 2, '\0');
    const UChar* source = wide.data();
    const UChar* const sourceEnd = source + wide.size();
    std::size_t written = 0;
    for (;;) {
        char* target = local.data() + written;
        UErrorCode status = U_ZERO_ERROR;
        ucnv_fromUnicode(converter, &target, local.data() + local.size(), &source, sourceEnd,
                         nullptr, true, &status);
        written = static_cast<std::size_t>(target - local.data());
        if (status != U_BUFFER_OVERFLOW_ERROR) {
            if (U_FAILURE(status)) {
                return {};
            }
            break;
        }
        local.resize(local.size() * 2);
    }
    local.resize(written);
    return local;
}

bool isContinuation(std::uint8_t byte)
{
    return (byte & 0xC0) == 0x80;
}

void appendCodePoint(std::u16string& wide, char32_t codePoint)
{
    if (codePoint < 0x10000) {
        wide.push_back(static_cast<char16_t>(codePoint));
        return;
    }
    codePoint -= 0x10000;
    wide.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
    wide.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
}

// Reads invalid input the way Windows does, which groups bytes differently from ICU: a valid
// prefix cut short is one U+FFFD, and after E0, ED, F0 or F4 a continuation byte outside the
// allowed range is taken together with the lead as one U+FFFD.
std::u16string decodeUtf8(std::string_view utf8)
{
    std::u16string wide;
    wide.reserve(utf8.size());
    const auto* const bytes = reinterpret_cast<const std::uint8_t*>(utf8.data());
    const std::size_t size = utf8.size();
    std::size_t at = 0;
    while (at < size) {
        const std::uint8_t lead = bytes[at];
        if (lead < 0x80) {
            wide.push_back(lead);
            ++at;
            continue;
        }
        int trailCount = 0;
        std::uint8_t low = 0x80;
        std::uint8_t high = 0xBF;
        char32_t codePoint = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            trailCount = 1;
            codePoint = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trailCount = 2;
            codePoint = lead & 0x0F;
            low = lead == 0xE0 ? 0xA0 : 0x80;  // overlong forms
            high = lead == 0xED ? 0x9F : 0xBF; // surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            trailCount = 3;
            codePoint = lead & 0x07;
            low = lead == 0xF0 ? 0x90 : 0x80;  // overlong forms
            high = lead == 0xF4 ? 0x8F : 0xBF; // beyond U+10FFFF
        } else {
            wide.push_back(kReplacement);
            ++at;
            continue;
        }
        std::size_t next = at + 1;
        if (next == size || !isContinuation(bytes[next])) {
            wide.push_back(kReplacement);
            at = next;
            continue;
        }
        if (bytes[next] < low || bytes[next] > high) {
            wide.push_back(kReplacement);
            at = next + 1;
            continue;
        }
        int taken = 0;
        while (taken < trailCount && next < size && isContinuation(bytes[next])) {
            codePoint = (codePoint << 6) | (bytes[next] & 0x3F);
            ++taken;
            ++next;
        }
        if (taken < trailCount) {
            wide.push_back(kReplacement);
        } else {
            appendCodePoint(wide, codePoint);
        }
        at = next;
    }
    return wide;
}

// A lone surrogate becomes U+FFFD, as on Windows.
Text encodeUtf8(std::u16string_view wide)
{
    Text utf8;
    utf8.reserve(wide.size() * 3);
    const auto put = [&utf8](unsigned value) { utf8.push_back(static_cast<char>(value)); };
    for (std::size_t at = 0; at < wide.size(); ++at) {
        char32_t codePoint = wide[at];
        if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            const bool paired = codePoint <= 0xDBFF && at + 1 < wide.size() &&
                                wide[at + 1] >= 0xDC00 && wide[at + 1] <= 0xDFFF;
            if (paired) {
                codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (wide[at + 1] - 0xDC00);
                ++at;
            } else {
                codePoint = kReplacement;
            }
        }
        if (codePoint < 0x80) {
            put(codePoint);
        } else if (codePoint < 0x800) {
            put(0xC0 | (codePoint >> 6));
            put(0x80 | (codePoint & 0x3F));
        } else if (codePoint < 0x10000) {
            put(0xE0 | (codePoint >> 12));
            put(0x80 | ((codePoint >> 6) & 0x3F));
            put(0x80 | (codePoint & 0x3F));
        } else {
            put(0xF0 | (codePoint >> 18));
            put(0x80 | ((codePoint >> 12) & 0x3F));
            put(0x80 | ((codePoint >> 6) & 0x3F));
            put(0x80 | (codePoint & 0x3F));
        }
    }
    return utf8;
}

bool isLocal(int codePage)
{
    return codePage == kSystemCodePage || codePage == kLocalCodePage;
}

std::optional<std::u16string> decode(std::string_view text, int codePage)
{
    if (isLocal(codePage)) {
        return decodeLocal(text);
    }
    if (codePage == kUtf8CodePage) {
        return decodeUtf8(text);
    }
    return std::nullopt;
}

std::optional<Text> encode(std::u16string_view wide, int codePage)
{
    if (isLocal(codePage)) {
        return encodeLocal(wide);
    }
    if (codePage == kUtf8CodePage) {
        return encodeUtf8(wide);
    }
    return std::nullopt;
}

// A Text ends at its first zero byte.
std::string_view untilZero(const Text& text)
{
    return std::string_view(text).substr(0, text.find('\0'));
}

std::u16string untilZeroUnit(const Bytes& wide)
{
    std::u16string units;
    units.reserve(wide.size() / 2);
    for (std::size_t at = 0; at + 1 < wide.size(); at += 2) {
        const auto unit = static_cast<char16_t>(wide[at] | (wide[at + 1] << 8));
        if (unit == u'\0') {
            break;
        }
        units.push_back(unit);
    }
    return units;
}

} // namespace

Bytes ToUnicode(const Text& text, int codePage)
{
    const std::string_view view = untilZero(text);
    if (view.empty()) {
        return {};
    }
    const std::optional<std::u16string> wide = decode(view, codePage);
    if (!wide) {
        return {};
    }
    // The room is what the text measures in the system code page, terminator included, but
    // never less than this reading needs, which invalid UTF-8 can exceed.
    const std::size_t measured = (isLocal(codePage) ? wide->size() : decodeLocal(view).size()) + 1;
    const std::size_t room = std::max(measured, wide->size() + 1);
    Bytes bytes(room * 2, 0);
    for (std::size_t at = 0; at < wide->size(); ++at) {
        bytes[at * 2] = static_cast<std::uint8_t>((*wide)[at] & 0xFF);
        bytes[at * 2 + 1] = static_cast<std::uint8_t>((*wide)[at] >> 8);
    }
    return bytes;
}

// The output room that the system code page measure gives is always widened to what the
// conversion needs, and the result ends at the conversion's own terminator, so the room never
// shows in the result and is not counted.
Text FromUnicode(const Bytes& wide, int codePage)
{
    return encode(untilZeroUnit(wide), codePage).value_or(Text{});
}

// The zero units that pad the intermediate UTF-16 lie past its terminator and never reach the
// result, so both go straight through the shared core.
Text LocalToUtf8(const Text& text)
{
    return encodeUtf8(decodeLocal(untilZero(text)));
}

Text Utf8ToLocal(const Text& text)
{
    return encodeLocal(decodeUtf8(untilZero(text)));
}

std::u16string LocalToUtf16(std::string_view local)
{
    return decodeLocal(local);
}

Text Utf16ToLocal(std::u16string_view wide)
{
    return encodeLocal(wide);
}

} // namespace vantrel
