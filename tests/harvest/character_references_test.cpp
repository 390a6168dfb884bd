#include "harvest/character_references.h"
#include "web/code_page.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

struct DecodeCase
{
    Text encoded;
    Text decoded;
};

TEST(DecodeCharacterReferences, DecodesTheReferencesPagesWriteInAttributes)
{
    const DecodeCase cases[] = {
        {"a &amp; b", "a & b"},
        {"&lt;&gt;&quot;&#39;", "<>\"'"},
        {"/p/1?a=1&amp;b=2", "/p/1?a=1&b=2"},
        {"&amp;amp;", "&amp;"},
        {"&#65;&#x42;&#X43;&#0067;", "ABCC"},
        {Utf8ToLocal("中&amp;文"), Utf8ToLocal("中&文")},
        {"&#20013;&#x6587;", Utf8ToLocal("中文")},
        {"&#x1F600;", Utf16ToLocal(u"\U0001F600")},
        {"", ""},
    };
    for (const DecodeCase& c : cases)
        EXPECT_EQ(DecodeCharacterReferences(c.encoded), c.decoded) << c.encoded;
}

TEST(DecodeCharacterReferences, LeavesEverythingElseAsItStands)
{
    const Text unchanged[] = {
        "a & b",   "&amp", "&nbsp;",   "&AMP;",      "&apos;",       "&#;",
        "&#x;",    "&#0;", "&#xD800;", "&#1114112;", "&#123456789;", "&#12a;",
        "&#x12g;", "&;",   "& amp;",   "&&amp",      "tail &",
    };
    for (const Text& text : unchanged)
        EXPECT_EQ(DecodeCharacterReferences(text), text);
    EXPECT_EQ(DecodeCharacterReferences("&&amp;"), "&&");
}

} // namespace
} // namespace vantrel
