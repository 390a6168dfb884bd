#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

// Text in the local double-byte code page 936; empty and absent behave alike.
using Text = std::string;

// A counted byte array: picture data, raw response bodies, UTF-16 between conversions.
using Bytes = std::vector<std::uint8_t>;

} // namespace vantrel
