#include "web/code_page.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vantrel {
namespace {

using namespace std::string_literals;

// UTF-16 units low byte first, padded with zero units up to the room.
Bytes unitBytes(std::u16string_view units, std::size_t roomUnits)
{
    Bytes bytes(roomUnits * 2, 0);
    for (std::size_t at = 0; at < units.size(); ++at) {
        bytes[at * 2] = static_cast<std::uint8_t>(units[at] & 0xFF);
        bytes[at * 2 + 1] = static_cast<std::uint8_t>(units[at] >> 8);
    }
    return bytes;
}

Bytes unitBytes(std::u16string_view units)
{
    return unitBytes(units, units.size());
}

struct RoomCase
{
    const char* what;
    Text text;
    std::optional<int> codePage; // none: the default
    std::u16string units;
    std::size_t roomUnits; // counted in 936, terminator included, widened where UTF-8 needs more
};

TEST(ToUnicode, MeasuresTheRoomInTheSystemCodePageAndPadsWithZeroUnits)
{
    const RoomCase cases[] = {
        {"empty text", "", std::nullopt, u"", 0},
        {"abc", "abc", std::nullopt, u"abc", 4},
        {"abc in 936", "abc", 936, u"abc", 4},
        {"two characters read in 936 as three", "\xE4\xBD\xA0\xE5\xA5\xBD", std::nullopt, u"你好",
         4},
        {"one character read in 936 as a pair and a lone lead", "\xE4\xBD\xA0", std::nullopt, u"你",
         3},
        {"0x81 0x41 is one unit in 936 but two in UTF-8", "\x81\x41", std::nullopt, u"\uFFFDA", 3},
        {"stops at the first zero byte", "ab\0cd"s, std::nullopt, u"ab", 3},
        {"code page 0 is 936", "\xC4\xE3", 0, u"你", 2},
        {"the default is UTF-8", "\xC4\xE3", std::nullopt, u"\uFFFD\uFFFD", 3},
        {"unsupported code page", "abc", 1252, u"", 0},
    };
    for (const RoomCase& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes wide = c.codePage ? ToUnicode(c.text, *c.codePage) : ToUnicode(c.text);
        EXPECT_EQ(wide, unitBytes(c.units, c.roomUnits));
    }
    EXPECT_EQ(ToUnicode("abc"), (Bytes{0x61, 0x00, 0x62, 0x00, 0x63, 0x00, 0x00, 0x00}));
}

struct DecodeCase
{
    Text text;
    std::u16string units;
};

TEST(ToUnicode, ReadsUtf8AsWindowsDoes)
{
    const DecodeCase cases[] = {
        {"\xC2\xA5", u"\u00A5"},
        {"\xE0\xA0\x80", u"\u0800"},
        {"\xED\x9F\xBF", u"\uD7FF"},
        {"\xEE\x80\x80", u"\uE000"},
        {"\xF0\x90\x80\x80", u"\U00010000"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        // Bytes that can never start a sequence: one U+FFFD each.
        {"\x80", u"\uFFFD"},
        {"\xBF", u"\uFFFD"},
        {"\xC0\x80", u"\uFFFD\uFFFD"},
        {"\xC1\xBF", u"\uFFFD\uFFFD"},
        {"\xF5\x80", u"\uFFFD\uFFFD"},
        {"\xFF", u"\uFFFD"},
        // A valid prefix cut short: one U+FFFD for the whole prefix.
        {"\xC2", u"\uFFFD"},
        {"\xE4\xBD", u"\uFFFD"},
        {"\xF0\x9F\x98", u"\uFFFD"},
        {"\xE4\x41", u"\uFFFDA"},
        {"\xE4\xBD\x41", u"\uFFFDA"},
        {"\xF0\x9F\x98\xF0\x9F\x98\x80", u"\uFFFD\U0001F600"},
        // A second byte out of range after E0, ED, F0, F4 goes with the lead; later ones alone.
        {"\xE0\x80\xAD", u"\uFFFD\uFFFD"},
        {"\xE0\x9F\x41", u"\uFFFDA"},
        {"\xED\xA0\x80", u"\uFFFD\uFFFD"},
        {"\xF0\x80\x80\xAD", u"\uFFFD\uFFFD\uFFFD"},
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        const Bytes wide = ToUnicode(c.text);
        ASSERT_GE(wide.size(), (c.units.size() + 1) * 2);
        EXPECT_EQ(wide, unitBytes(c.units, wide.size() / 2));
    }
}

TEST(LocalToUtf16, ReadsCodePage936AsWindowsDoes)
{
    const DecodeCase cases[] = {
        {"", u""},
        {"abc", u"abc"},
        {"\xC4\xE3\xBA\xC3", u"你好"},
        {"\xA1\xA1", u"\u3000"},
        {"\x81\x40", u"\u4E02"},
        {"\xFE\xFE", u"\uE4C5"}, // user-defined area: private use, as on Windows
        {"\x80", u"€"},          // 0x80 is the euro sign in the Windows table
        {"\xFF", u"\uF8F5"},     // Windows gives the private-use U+F8F5 for the lone byte 0xFF
        // A lead byte without a valid trail is "?" and the next byte is read on its own:
        // Windows keeps a zero after a lone lead, so the lead alone is the invalid sequence.
        {"A\x81", u"A?"},
        {"\xC7\0"s, u"?\0"s},
        {"\x81\x30", u"?0"},
        {"\x81\x7F", u"?\x7F"},
        {"\x81\xFF", u"?\uF8F5"},
        {"a\0b"s, u"a\0b"s},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        EXPECT_EQ(LocalToUtf16(c.text), c.units);
    }
}

TEST(Utf16ToLocal, WritesCodePage936AsWindowsDoes)
{
    const DecodeCase cases[] = {
        {"", u""},                     // empty
        {"abc", u"abc"},               // ASCII
        {"\xC4\xE3\xBA\xC3", u"你好"}, // two double-byte characters
        {"\x80", u"€"},                // the single byte 0x80, both ways
        {"\xFF", u"\uF8F5"},           // and 0xFF
        {"\xA3\xA4", u"¥"},            // best fit: the full-width yen sign
        {"2", u"²"},                   // best fit
        {"?", u"한"},                  // not in 936
        {"?", u"\uFFFD"},              // not in 936 either
        {"??", u"\U0001F600"},         // one "?" per UTF-16 unit of a surrogate pair
        {"?", u"\xD800"},              // a lone high surrogate
        {"?a", u"\xDC00\x61"},         // a lone low surrogate
        {"a\0b"s, u"a\0b"s},           // the whole view, zero unit included
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        EXPECT_EQ(Utf16ToLocal(c.units), c.text);
    }
}

TEST(CodePage936, EveryDoubleByteCodeIsOneUnitAndComesBack)
{
    int codes = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) {
                continue;
            }
            const Text local{static_cast<char>(lead), static_cast<char>(trail)};
            const std::u16string wide = LocalToUtf16(local);
            ASSERT_EQ(wide.size(), 1u) << lead << " " << trail;
            ASSERT_EQ(Utf16ToLocal(wide), local) << lead << " " << trail;
            ++codes;
        }
    }
    EXPECT_EQ(codes, 23940);
}

struct FromUnicodeCase
{
    const char* what;
    Bytes wide;
    std::optional<int> codePage; // none: the default
    Text text;
};

TEST(FromUnicode, WritesUpToTheFirstZeroUnit)
{
    const FromUnicodeCase cases[] = {
        {"empty", {}, std::nullopt, ""},
        {"one zero unit", unitBytes(u"", 1), std::nullopt, ""},
        {"one zero unit to UTF-8", unitBytes(u"", 1), 65001, ""},
        {"abc", unitBytes(u"abc", 4), std::nullopt, "abc"},
        {"no zero unit at all", unitBytes(u"ab"), std::nullopt, "ab"},
        {"stops at the first zero unit", unitBytes(u"a\0b"s), std::nullopt, "a"},
        {"an incomplete last unit", {0x61, 0x00, 0x62}, std::nullopt, "a"},
        {"the default is the system code page", unitBytes(u"你", 2), std::nullopt, "\xC4\xE3"},
        {"code page 0", unitBytes(u"你", 2), 0, "\xC4\xE3"},
        {"code page 936", unitBytes(u"你", 2), 936, "\xC4\xE3"},
        {"UTF-8", unitBytes(u"你", 2), 65001, "\xE4\xBD\xA0"},
        {"UTF-8 two bytes", unitBytes(u"\u0080\u07FF"), 65001, "\xC2\x80\xDF\xBF"},
        {"UTF-8 last BMP unit", unitBytes(u"\uFFFF"), 65001, "\xEF\xBF\xBF"},
        {"UTF-8 surrogate pair", unitBytes(u"\U0001F600"), 65001, "\xF0\x9F\x98\x80"},
        {"UTF-8 lone high surrogate", unitBytes(u"\xD83D\x61"), 65001, "\xEF\xBF\xBD\x61"},
        {"UTF-8 lone low surrogate", unitBytes(u"\xDC00"), 65001, "\xEF\xBF\xBD"},
        {"unmappable in 936", unitBytes(u"한\U0001F600"), 0, "???"},
        {"unsupported code page", unitBytes(u"abc"), 1252, ""},
    };
    for (const FromUnicodeCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.codePage ? FromUnicode(c.wide, *c.codePage) : FromUnicode(c.wide), c.text);
    }
}

struct RoundCase
{
    Text from;
    Text to;
};

TEST(Utf8ToLocal, ConvertsPagesWithoutEverCuttingThemShort)
{
    const RoundCase cases[] = {
        {"", ""},
        {"<a href=\"/p/1\">abc</a>", "<a href=\"/p/1\">abc</a>"},
        {"\xE4\xBD\xA0", "\xC4\xE3"},
        {"\xE4\xBD\xA0\xE5\xA5\xBD", "\xC4\xE3\xBA\xC3"},
        {"\x81\x41", "?A"},
        {"\xE0\x80\xAD", "??"},
        {"\xE2\x82\xAC", "\x80"},
        {"\xC2\xA5", "\xA3\xA4"},
        {"\xC2\xB2", "2"},
        {"\xED\x95\x9C", "?"},
        {"\xEF\xBF\xBD", "?"},
        {"\xF0\x9F\x98\x80", "??"},
        {"ab\0cd"s, "ab"},
    };
    for (const RoundCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.from));
        EXPECT_EQ(Utf8ToLocal(c.from), c.to);
    }
}

TEST(LocalToUtf8, ConvertsLocalText)
{
    const RoundCase cases[] = {
        {"", ""},
        {"abc", "abc"},
        {"\xC4\xE3", "\xE4\xBD\xA0"},
        {"\x80", "\xE2\x82\xAC"},
        {"\xFF", "\xEF\xA3\xB5"},
        {"A\x81", "A?"},
        {"ab\0cd"s, "ab"},
    };
    for (const RoundCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.from));
        EXPECT_EQ(LocalToUtf8(c.from), c.to);
    }
}

TEST(CodePage, ConvertsOnSeveralThreadsAtOnce)
{
    const Text page = "\xE4\xBD\xA0\xE5\xA5\xBD \xF0\x9F\x98\x80 \xC2\xA5 \x81\x41";
    const Text expected = "\xC4\xE3\xBA\xC3 ?? \xA3\xA4 ?A";
    std::vector<int> mismatches(4, 0);
    std::vector<std::thread> threads;
    for (std::size_t worker = 0; worker < mismatches.size(); ++worker) {
        threads.emplace_back([&, worker] {
            for (int round = 0; round < 200; ++round) {
                mismatches[worker] += Utf8ToLocal(page) != expected;
                mismatches[worker] += Utf16ToLocal(LocalToUtf16(expected)) != expected;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(mismatches, std::vector<int>(mismatches.size(), 0));
}

} // namespace
} // namespace vantrel
