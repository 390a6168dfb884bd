#include "harvest/character_references.h"

#include "web/code_page.h"

#include <string_view>

namespace vantrel {

namespace {

struct NamedReference
{
    std::string_view name;
    char character;
};
constexpr NamedReference kNamedReferences[] = {
    {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}};

// Seven hex or eight decimal digits already pass the last code point, so no reference
// is longer than "#x" and eight digits.
constexpr std::size_t kMaxDigits = 8;
constexpr std::size_t kMaxBody = kMaxDigits + 2;

int digitValue(char c, int base)
{
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < base ? value : -1;
}

// The character of a numeric reference body such as "#39" or "#x4E2D"; 0 when it is none.
char32_t numericCharacter(std::string_view body)
{
    if (body.size() < 2 || body[0] != '#')
        return 0;
    int base = 10;
    std::string_view digits = body.substr(1);
    if (digits[0] == 'x' || digits[0] == 'X') {
        base = 16;
        digits.remove_prefix(1);
    }
    if (digits.empty() || digits.size() > kMaxDigits)
        return 0;
    char32_t code = 0;
    for (char c : digits) {
        const int value = digitValue(c, base);
        if (value < 0)
            return 0;
        code = code * base + static_cast<char32_t>(value);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return surrogate || code > 0x10FFFF ? 0 : code;
}

std::u16string utf16Of(char32_t code)
{
    if (code < 0x10000)
        return std::u16string(1, static_cast<char16_t>(code));
    code -= 0x10000;
    return {static_cast<char16_t>(0xD800 + (code >> 10)),
            static_cast<char16_t>(0xDC00 + (code & 0x3FF))};
}

} // namespace

Text DecodeCharacterReferences(const Text& text)
{
    Text decoded;
    decoded.reserve(text.size());
    std::size_t position = 0;
    // "&" and ";" are never trail bytes in 936, so a byte search cannot split a character.
    while (position < text.size()) {
        const std::size_t ampersand = text.find('&', position);
        if (ampersand == Text::npos) {
            decoded.append(text, position, Text::npos);
            break;
        }
        decoded.append(text, position, ampersand - position);
        const std::string_view after = std::string_view(text).substr(ampersand + 1, kMaxBody + 1);
        const std::string_view body = after.substr(0, after.find(';'));

        Text replacement;
        if (body.size() < after.size()) {
            for (const NamedReference& named : kNamedReferences) {
                if (body == named.name)
                    replacement = Text(1, named.character);
            }
            if (const char32_t code = numericCharacter(body); replacement.empty() && code != 0)
                replacement = Utf16ToLocal(utf16Of(code));
        }
        if (replacement.empty()) {
            decoded += '&';
            position = ampersand + 1;
        } else {
            decoded += replacement;
            position = ampersand + 1 + body.size() + 1;
        }
    }
    return decoded;
}

} // namespace vantrel
