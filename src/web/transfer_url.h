#pragma once

#include "web/text.h"

#include <string>
#include <string_view>

namespace vantrel {

// An address in local text as it may go to libcurl: converted to UTF-8, then escaped.
std::string transferUrl(const Text& address);

// Percent-encodes every byte that may not stand in a URL (controls, space, bytes 0x80 and
// above, and " < > \ ^ ` { | }), and a "%" that does not begin an escape. Escapes already
// there and the reserved characters stay as they are, so the address keeps its meaning.
std::string escapeUrlBytes(std::string_view url);

} // namespace vantrel
