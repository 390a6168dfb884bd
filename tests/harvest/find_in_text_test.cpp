#include "harvest/find_in_text.h"
#include "web/code_page.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

struct FindCase
{
    const char* name;
    Text text;
    Text sought;
    int position;
};

TEST(FindInText, GivesTheBytePositionOfTheFirstOccurrenceFromOne)
{
    const FindCase cases[] = {
        {"at the start", "abcabc", "abc", 1},
        {"first of two", "xabcabc", "bc", 3},
        {"whole text", "abc", "abc", 1},
        {"absent", "abc", "d", -1},
        {"longer than the text", "ab", "abc", -1},
        {"in an empty text", "", "a", -1},
        {"empty sought", "abc", "", -1},
        {"case matters", "ABC", "abc", -1},
        {"after Chinese text", Utf8ToLocal("前面抱歉后面"), Utf8ToLocal("抱歉"), 5},
        {"marker in a page", Utf8ToLocal("<p>抱歉，根据相关法律法规和政策，本吧暂不开放。</p>"),
         Utf8ToLocal("抱歉，根据相关法律法规和政策，本吧暂不开放。"), 4},
        // 0x81 0x41 is one character; its trail byte is an "A".
        {"never on a trail byte", "\x81\x41", "A", -1},
        {"the byte after a character", "\x81\x41\x41", "A", 3},
        // D6D0 CEC4 is 中文; D0 CE straddles the two characters.
        {"never across a character boundary", "\xD6\xD0\xCE\xC4", "\xD0\xCE", -1},
        {"a lone lead byte at the end", "a\x81", "\x81", 2},
    };
    for (const FindCase& c : cases)
        EXPECT_EQ(FindInText(c.text, c.sought), c.position) << c.name;
}

} // namespace
} // namespace vantrel
