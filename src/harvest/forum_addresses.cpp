#include "harvest/forum_addresses.h"

#include "harvest/forum_base.h"
#include "web/code_page.h"

namespace vantrel {

namespace {

bool isUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

Text encodeQueryComponent(const Text& utf8)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    Text encoded;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (isUnreserved(byte)) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0x0F];
        }
    }
    return encoded;
}

} // namespace

Text ListPageUrl(const Text& forumName)
{
    return ForumBase() + "/f?ie=utf-8&kw=" + encodeQueryComponent(LocalToUtf8(forumName)) +
           "&fr=search";
}

Text ThreadPageUrl(const Text& threadLink)
{
    return ForumBase() + threadLink + "?see_lz=1";
}

} // namespace vantrel
