#include "web/transfer_url.h"

#include "web/code_page.h"

namespace vantrel {
namespace {

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Unreserved and reserved characters of RFC 3986, which keep their meaning in place.
bool standsInUrl(unsigned char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    constexpr std::string_view kAllowed = "-._~:/?#[]@!$&'()*+,;=";
    return kAllowed.find(static_cast<char>(c)) != std::string_view::npos;
}

} // namespace

std::string transferUrl(const Text& address)
{
    return escapeUrlBytes(LocalToUtf8(address));
}

std::string escapeUrlBytes(std::string_view url)
{
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(url.size());
    for (std::size_t at = 0; at < url.size(); ++at) {
        const auto c = static_cast<unsigned char>(url[at]);
        const bool beginsEscape =
            c == '%' && at + 2 < url.size() && isHexDigit(url[at + 1]) && isHexDigit(url[at + 2]);
        if (standsInUrl(c) || beginsEscape) {
            escaped.push_back(static_cast<char>(c));
        } else {
            escaped.push_back('%');
            escaped.push_back(kHex[c >> 4]);
            escaped.push_back(kHex[c & 0x0F]);
        }
    }
    return escaped;
}

} // namespace vantrel
