#include "harvest/patterns.h"
#include "regex/regex_object.h"
#include "web/code_page.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace vantrel {
namespace {

using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// The narrower patterns, which fit only the older markup of the pages.
constexpr char kOlderThreadPattern[] =
    R"re( <a href="(.*?)" title="(.*?)" target="_blank" class="j_th_tit ">(.*?)</a>)re";
constexpr char kOlderImagePattern[] = R"re(class="BDE_Image" (.*?)="(.*?)")re";

Text local(std::u16string_view wide)
{
    return Utf16ToLocal(wide);
}

std::vector<Text> groupTexts(const RegexObject& regex, int group)
{
    std::vector<Text> texts;
    for (int k = 1; k <= regex.MatchCount(); ++k) {
        texts.push_back(regex.SubMatchText(k, group));
    }
    return texts;
}

std::vector<Text> matchTexts(const RegexObject& regex)
{
    std::vector<Text> texts;
    for (int k = 1; k <= regex.MatchCount(); ++k) {
        texts.push_back(regex.MatchText(k));
    }
    return texts;
}

// A list page in the older markup; the second link's text runs over two lines.
constexpr char16_t kOlderListPage[] =
    uR"(<ul id="thread_list" class="threadlist_bright j_threadlist_bright">
<li class=" j_thread_list clearfix"><div class="threadlist_title pull_left j_th_tit "> <a href="/p/101" title="春天的照片" target="_blank" class="j_th_tit ">春天的照片</a></div></li>
<li class=" j_thread_list clearfix"><div class="threadlist_title pull_left j_th_tit "> <a href="/p/102" title="断开的标题" target="_blank" class="j_th_tit ">断开的
标题</a></div></li>
<li class=" j_thread_list clearfix"><div class="threadlist_title pull_left j_th_tit "> <a href="/p/103" title="Three &amp; more" target="_blank" class="j_th_tit ">Three &amp; more</a></div></li>
</ul>)";

// The same list in the current markup, with a link over two lines between the others.
constexpr char16_t kCurrentListPage[] =
    uR"(<ul id="thread_list" class="threadlist_bright j_threadlist_bright">
<li class=" j_thread_list clearfix thread_item_box" data-field='{"id":6679860015,"reply_num":12}'>
    <div class="threadlist_title pull_left j_th_tit ">
        <a rel="noreferrer" href="/p/6679860015" title="没意思" target="_blank" class="j_th_tit ">没意思</a>
    </div>
</li>
<li class=" j_thread_list clearfix thread_item_box" data-field='{"id":6679860016,"reply_num":3}'>
    <div class="threadlist_title pull_left j_th_tit ">
        <a rel="noreferrer" href="/p/6679860016" title="两行" target="_blank" class="j_th_tit ">两
行</a>
    </div>
</li>
<li class=" j_thread_list clearfix thread_item_box" data-field='{"id":6679860017,"reply_num":0}'>
    <div class="threadlist_title pull_left j_th_tit ">
        <a rel="noreferrer" href="/p/6679860017" title="晒图" target="_blank" class="j_th_tit ">晒图</a>
    </div>
</li>
</ul>)";

struct ThreadCase
{
    const char* name;
    const char* pattern;
    const char16_t* page;
    std::vector<std::pair<std::u16string, std::u16string>> linksAndTitles;
};

const ThreadCase kThreadCases[] = {
    {"OlderPatternOlderMarkup",
     kOlderThreadPattern,
     kOlderListPage,
     {{u"/p/101", u"春天的照片"}, {u"/p/103", u"Three &amp; more"}}},
    {"CurrentPatternOlderMarkup",
     kThreadPattern,
     kOlderListPage,
     {{u"/p/101", u"春天的照片"}, {u"/p/103", u"Three &amp; more"}}},
    {"CurrentPatternCurrentMarkup",
     kThreadPattern,
     kCurrentListPage,
     {{u"/p/6679860015", u"没意思"}, {u"/p/6679860017", u"晒图"}}},
    {"OlderPatternCurrentMarkup", kOlderThreadPattern, kCurrentListPage, {}},
};

void PrintTo(const ThreadCase& c, std::ostream* os)
{
    *os << c.name;
}

class ThreadLinks : public ::testing::TestWithParam<ThreadCase>
{
};

TEST_P(ThreadLinks, AreFoundOnOneLineInPageOrder)
{
    const ThreadCase& c = GetParam();
    std::vector<Text> links;
    std::vector<Text> titles;
    for (const auto& [link, title] : c.linksAndTitles) {
        links.push_back(local(link));
        titles.push_back(local(title));
    }
    RegexObject regex;
    EXPECT_TRUE(regex.Create(c.pattern, local(c.page)));
    EXPECT_EQ(regex.MatchCount(), static_cast<int>(links.size()));
    EXPECT_THAT(groupTexts(regex, 1), ElementsAreArray(links));
    EXPECT_THAT(groupTexts(regex, 2), ElementsAreArray(titles));
    EXPECT_THAT(groupTexts(regex, 3), ElementsAreArray(titles));
    EXPECT_EQ(regex.SubMatchCount(), links.empty() ? 0 : 3);
}

INSTANTIATE_TEST_SUITE_P(RegexObject, ThreadLinks, ::testing::ValuesIn(kThreadCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct ImageCase
{
    const char* name;
    const char* pattern;
    const char* page;
    std::vector<Text> addresses;
};

constexpr char kCurrentImageTag[] =
    R"(<img class="BDE_Image" pic_type="0" width="560" height="567" src="http://imgsrc.example/forum/pic/item/1.jpg" >)";
constexpr char kOlderImageTag[] =
    R"(<img class="BDE_Image" src="http://imgsrc.example/forum/pic/item/2.jpg" pic_ext="jpeg" >)";

const ImageCase kImageCases[] = {
    {"CurrentMarkup",
     kImagePattern,
     kCurrentImageTag,
     {"http://imgsrc.example/forum/pic/item/1.jpg"}},
    {"CurrentMarkupOlderPattern", kOlderImagePattern, kCurrentImageTag, {"0"}},
    {"OlderMarkup", kImagePattern, kOlderImageTag, {"http://imgsrc.example/forum/pic/item/2.jpg"}},
    {"OlderMarkupOlderPattern",
     kOlderImagePattern,
     kOlderImageTag,
     {"http://imgsrc.example/forum/pic/item/2.jpg"}},
    {"OtherLetterCase",
     kImagePattern,
     R"(<IMG CLASS="bde_image" Src="http://imgsrc.example/3.JPG">)",
     {"http://imgsrc.example/3.JPG"}},
    {"OtherLetterCaseOlderPattern",
     kOlderImagePattern,
     R"(<img Class="bde_IMAGE" SRC="http://imgsrc.example/3.jpg">)",
     {"http://imgsrc.example/3.jpg"}},
    {"DataSrcIsNotTheAddress",
     kImagePattern,
     R"(<img class="BDE_Image" data-src="http://imgsrc.example/lazy.jpg" src="http://imgsrc.example/4.jpg">)",
     {"http://imgsrc.example/4.jpg"}},
    {"OtherImagesAmongThePictures",
     kImagePattern,
     R"(<img class="BDE_Smiley" src="http://static.example/face/1.png" ><br>)"
     R"(<img class="BDE_Image" src="http://imgsrc.example/5.jpg" ><img username="a" class="" src="http://avatar.example/a.jpg">)"
     "\r\n"
     R"(<img class="BDE_Image" width="10" src="http://imgsrc.example/6.jpg" >)",
     {"http://imgsrc.example/5.jpg", "http://imgsrc.example/6.jpg"}},
};

void PrintTo(const ImageCase& c, std::ostream* os)
{
    *os << c.name;
}

class ImageAddresses : public ::testing::TestWithParam<ImageCase>
{
};

TEST_P(ImageAddresses, AreGroupTwoUpToTheFirstQuote)
{
    const ImageCase& c = GetParam();
    RegexObject regex;
    EXPECT_TRUE(regex.Create(c.pattern, c.page));
    EXPECT_THAT(groupTexts(regex, 2), ElementsAreArray(c.addresses));
}

INSTANTIATE_TEST_SUITE_P(RegexObject, ImageAddresses, ::testing::ValuesIn(kImageCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RegexObject, FreshInstanceAnswersEmpty)
{
    const RegexObject regex;
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_EQ(regex.SubMatchCount(), 0);
    EXPECT_THAT(regex.SubMatchText(1, 1), IsEmpty());
    EXPECT_THAT(regex.MatchText(1), IsEmpty());
    EXPECT_THAT(regex.GetPattern(), IsEmpty());
    EXPECT_THAT(regex.Replace("x"), IsEmpty());
}

TEST(RegexObject, SecondCreateReplacesTheFirst)
{
    RegexObject regex;
    ASSERT_TRUE(regex.Create("<b>(.*?)</b>", "<b>one</b><b>two</b><b>three</b>"));
    ASSERT_EQ(regex.MatchCount(), 3);
    EXPECT_TRUE(regex.Create("<b>(.*?)</b>", "<b>four</b>"));
    EXPECT_EQ(regex.MatchCount(), 1);
    EXPECT_THAT(groupTexts(regex, 1), ElementsAreArray({"four"}));
    EXPECT_THAT(regex.SubMatchText(2, 1), IsEmpty());
    EXPECT_TRUE(regex.Create("(x)(y)", "<b>one</b>"));
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_EQ(regex.SubMatchCount(), 0);
    EXPECT_EQ(regex.GetPattern(), "(x)(y)");
}

TEST(RegexObject, OutOfRangeIndexesGiveEmpty)
{
    RegexObject regex;
    ASSERT_TRUE(regex.Create(kThreadPattern, local(kCurrentListPage)));
    ASSERT_EQ(regex.MatchCount(), 2);
    const std::pair<int, int> kIndexes[] = {{1, 4}, {0, 1}, {3, 1}, {-1, 1}, {1, 0}, {1, -1}};
    for (const auto& [match, group] : kIndexes) {
        EXPECT_THAT(regex.SubMatchText(match, group), IsEmpty()) << match << "," << group;
    }
    EXPECT_THAT(regex.MatchText(0), IsEmpty());
    EXPECT_THAT(regex.MatchText(3), IsEmpty());
    EXPECT_FALSE(regex.MatchText(2).empty());
}

TEST(RegexObject, ChineseTextComesBackByteForByte)
{
    // 没意思 in code page 936, written as bytes so no conversion stands in the way.
    const Text title = "\xC3\xBB\xD2\xE2\xCB\xBC";
    RegexObject regex;
    ASSERT_TRUE(
        regex.Create(R"re(title="(.*?)" x="(.)")re", "<a title=\"" + title + "\" x=\"\xC3\xBB\">"));
    EXPECT_EQ(regex.SubMatchText(1, 1), title);
    EXPECT_EQ(regex.SubMatchText(1, 2), "\xC3\xBB");
    EXPECT_EQ(regex.MatchText(1), "title=\"" + title + "\" x=\"\xC3\xBB\"");
}

TEST(RegexObject, MatchesCharactersNotBytes)
{
    // 丄 is 0x81 0x41 in code page 936: its second byte is the letter "A".
    RegexObject regex;
    ASSERT_TRUE(regex.Create("a", "\x81\x41"));
    EXPECT_EQ(regex.MatchCount(), 0);
    ASSERT_TRUE(regex.Create("^.$", "\x81\x41"));
    EXPECT_EQ(regex.MatchCount(), 1);
}

struct DotCase
{
    const char* subject;
    std::vector<Text> matches;
};

TEST(RegexObject, DotRefusesOnlyLineFeed)
{
    const DotCase kCases[] = {
        {"a\rb", {"a\rb"}},
        {"a\nb", {}},
        {"a\r\nb", {}},
        {"a\tb a\x0b"
         "b a\x0c"
         "b",
         {"a\tb",
          "a\x0b"
          "b",
          "a\x0c"
          "b"}},
    };
    RegexObject regex;
    for (const DotCase& c : kCases) {
        ASSERT_TRUE(regex.Create("a.b", c.subject));
        EXPECT_THAT(matchTexts(regex), ElementsAreArray(c.matches)) << c.subject;
    }
}

TEST(RegexObject, UnsetGroupIsEmpty)
{
    RegexObject regex;
    ASSERT_TRUE(regex.Create("(a)?(b)(c)?", "b ab"));
    ASSERT_EQ(regex.MatchCount(), 2);
    EXPECT_EQ(regex.SubMatchCount(), 3);
    EXPECT_THAT(regex.SubMatchText(1, 1), IsEmpty());
    EXPECT_EQ(regex.SubMatchText(1, 2), "b");
    EXPECT_THAT(regex.SubMatchText(1, 3), IsEmpty());
    EXPECT_EQ(regex.SubMatchText(2, 1), "a");
}

TEST(RegexObject, PatternThatDoesNotCompileLeavesNoMatches)
{
    RegexObject regex;
    ASSERT_TRUE(regex.Create("(b)", "abc"));
    ASSERT_EQ(regex.MatchCount(), 1);
    EXPECT_FALSE(regex.Create("(b", "abc"));
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_EQ(regex.SubMatchCount(), 0);
    EXPECT_THAT(regex.SubMatchText(1, 1), IsEmpty());
    EXPECT_THAT(regex.Replace("x"), IsEmpty());
    EXPECT_EQ(regex.GetPattern(), "(b");
}

struct OptionCase
{
    const char* pattern;
    const char* subject;
    bool caseSensitive;
    bool multiline;
    bool global;
    std::vector<Text> matches;
};

TEST(RegexObject, OptionsShapeTheSearch)
{
    // Run on one instance, so a compiled pattern reused under other options shows.
    const OptionCase kCases[] = {
        {"ab", "AB ab aB", false, true, true, {"AB", "ab", "aB"}},
        {"ab", "AB ab aB", true, true, true, {"ab"}},
        {"ab", "AB ab aB", false, true, false, {"AB"}},
        {"ab", "AB ab aB", false, true, true, {"AB", "ab", "aB"}},
        {"^b.$", "a\nbc\nbd", false, true, true, {"bc", "bd"}},
        {"^b.$", "a\nbc\nbd", false, false, true, {}},
        {"x*", "axb", false, true, true, {"", "x", "", ""}},
        {"", "ab", false, true, true, {"", "", ""}},
        {"a|", "ab", false, true, true, {"a", "", ""}},
        {"aa", "aaaaa", false, true, true, {"aa", "aa"}},
        {"a", "", false, true, true, {}},
    };
    RegexObject regex;
    for (const OptionCase& c : kCases) {
        EXPECT_TRUE(regex.Create(c.pattern, c.subject, c.caseSensitive, c.multiline, c.global));
        EXPECT_THAT(matchTexts(regex), ElementsAreArray(c.matches))
            << c.pattern << " " << c.caseSensitive << c.multiline << c.global;
    }
}

TEST(RegexObject, SearchStoppedByMatchLimitKeepsEarlierMatches)
{
    RegexObject regex;
    EXPECT_FALSE(regex.Create("(a+)+[bd]", "ab " + std::string(40, 'a') + "c"));
    EXPECT_THAT(matchTexts(regex), ElementsAreArray({"ab"}));
}

TEST(RegexObject, DeepRepetitionBeyondTheCompiledMatchersStackIsStillFound)
{
    const std::string subject = std::string(50000, 'a') + "c";
    RegexObject regex;
    EXPECT_TRUE(regex.Create("(a|b)*c", subject));
    EXPECT_EQ(regex.MatchText(1), subject);
    EXPECT_EQ(regex.SubMatchText(1, 1), "a");
}

struct ReplaceCase
{
    const char* pattern;
    const char* subject;
    bool global;
    const char* replacement;
    const char* result;
};

TEST(RegexObject, ReplaceRewritesTheMatchesOfTheStoredSubject)
{
    const ReplaceCase kCases[] = {
        {"(\\w+)=(\\w+)", "a=1 b=2", true, "$2=$1", "1=a 2=b"},
        {"(\\w+)=(\\w+)", "a=1 b=2", false, "$2=$1", "1=a b=2"},
        {"B", "abcb", true, "[$&]", "a[b]c[b]"},
        {"b", "abc", true, "$$ $0 $3 $", "a$ $0 $3 $c"},
        {"(b)", "abc", true, "$10", "ab0c"},
        {"z", "abc", true, "x", "abc"},
        {"x*", "ab", true, "-", "-a-b-"},
        {"b", "", true, "x", ""},
    };
    RegexObject regex;
    for (const ReplaceCase& c : kCases) {
        ASSERT_TRUE(regex.Create(c.pattern, c.subject, false, true, c.global));
        EXPECT_EQ(regex.Replace(c.replacement), c.result) << c.pattern << " " << c.replacement;
    }
}

TEST(RegexObject, ReplaceKeepsChineseText)
{
    RegexObject regex;
    ASSERT_TRUE(regex.Create("<b>(.*?)</b>", local(u"图：<b>没意思</b>。")));
    EXPECT_EQ(regex.Replace(local(u"「$1」")), local(u"图：「没意思」。"));
    EXPECT_EQ(regex.MatchCount(), 1);
}

TEST(RegexObject, CopyIsIndependent)
{
    RegexObject original;
    ASSERT_TRUE(original.Create("<b>(.*?)</b>", "<b>one</b><b>two</b>"));
    RegexObject copy(original);
    RegexObject assigned;
    assigned = original;
    original.Create("(z)", "<b>three</b>");
    for (const RegexObject* regex : {&copy, &assigned}) {
        EXPECT_THAT(groupTexts(*regex, 1), ElementsAreArray({"one", "two"}));
        EXPECT_EQ(regex->GetPattern(), "<b>(.*?)</b>");
        EXPECT_EQ(regex->Replace("[$1]"), "[one][two]");
    }
    EXPECT_EQ(original.MatchCount(), 0);
    copy.Create("<b>(.*?)</b>", "<b>four</b>");
    EXPECT_THAT(groupTexts(assigned, 1), ElementsAreArray({"one", "two"}));
    assigned = assigned;
    EXPECT_EQ(assigned.MatchCount(), 2);
    RegexObject fresh;
    assigned = fresh;
    EXPECT_EQ(assigned.MatchCount(), 0);
}

} // namespace
} // namespace vantrel
