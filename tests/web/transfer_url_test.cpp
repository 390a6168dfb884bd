#include "web/transfer_url.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

struct EscapeCase
{
    const char* url;
    const char* escaped;
};

TEST(EscapeUrlBytes, EscapesOnlyWhatMayNotStandInAUrl)
{
    const EscapeCase cases[] = {
        {"", ""},
        {"http://h/a b", "http://h/a%20b"},
        {"http://u:p@h:8/p;x?a=1&b=[2]#f!$'()*+,=-._~",
         "http://u:p@h:8/p;x?a=1&b=[2]#f!$'()*+,=-._~"},
        {"/%E4%b8%AD", "/%E4%b8%AD"},
        {"/%", "/%25"},
        {"/%4", "/%254"},
        {"/%zz%4g", "/%25zz%254g"},
        {"\"<>\\^`{|}", "%22%3C%3E%5C%5E%60%7B%7C%7D"},
        {"\t\r\n\x7f", "%09%0D%0A%7F"},
        {"/\xE4\xB8\xAD\xFF", "/%E4%B8%AD%FF"},
    };
    for (const EscapeCase& c : cases)
        EXPECT_EQ(escapeUrlBytes(c.url), c.escaped) << c.url;
    EXPECT_EQ(escapeUrlBytes(std::string_view("a\0b", 3)), "a%00b");
}

TEST(TransferUrl, SendsLocalTextAsEscapedUtf8)
{
    // 搜 索 and 中文 in code page 936
    EXPECT_EQ(transferUrl("http://h/\xCB\xD1 \xCB\xF7?kw=\xD6\xD0\xCE\xC4&x=%41"),
              "http://h/%E6%90%9C%20%E7%B4%A2?kw=%E4%B8%AD%E6%96%87&x=%41");
    EXPECT_EQ(transferUrl("http://h/plain?a=1"), "http://h/plain?a=1");
}

} // namespace
} // namespace vantrel
