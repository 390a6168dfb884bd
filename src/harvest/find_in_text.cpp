#include "harvest/find_in_text.h"

namespace vantrel {

namespace {

bool isLeadByte(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}

} // namespace

int FindInText(const Text& text, const Text& sought)
{
    if (sought.empty())
        return -1;
    for (std::size_t position = 0; position + sought.size() <= text.size();) {
        if (text.compare(position, sought.size(), sought) == 0)
            return static_cast<int>(position) + 1;
        const bool doubleByte =
            isLeadByte(static_cast<unsigned char>(text[position])) && position + 1 < text.size();
        position += doubleByte ? 2 : 1;
    }
    return -1;
}

} // namespace vantrel
