#include "harvest/fetch_url.h"
#include "harvest_test_support.h"
#include "sample_forum.h"
#include "web/code_page.h"

#include <fstream>
#include <gtest/gtest.h>

namespace vantrel {
namespace {

struct ServedCase
{
    Text address;
    long status;
    const char* contains; // in the body
};

class SampleForumTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_forum.start()) << m_forum.error();
        m_proxy.emplace("http_proxy", m_forum.proxyUrl());
    }
    void TearDown() override { ReleaseFetchUrlHandle(); }

    test::ScopedEnvironment m_httpsProxy{"https_proxy", std::nullopt};
    test::ScopedEnvironment m_allProxy{"all_proxy", std::nullopt};
    test::ScopedEnvironment m_noProxy{"no_proxy", std::nullopt};
    SampleForum m_forum;
    std::optional<test::ScopedEnvironment> m_proxy;
};

TEST_F(SampleForumTest, AnswersAsTheServiceAndItsPictureHostsWouldThroughAProxy)
{
    const char kList[] = "http://tieba.baidu.com/f?ie=utf-8&kw=";
    const ServedCase cases[] = {
        {std::string(kList) + "scenery&fr=search", 200, "href=\"/p/7100000001\""},
        {std::string(kList) + "SceNery&fr=search", 200, "href=\"/p/7100000003\""},
        {std::string(kList) + "%E9%A3%8E%E6%99%AF&fr=search", 200, "href=\"/p/7100000002\""},
        {std::string(kList) + "photo&fr=search", 200, "href=\"/p/7100000012\""},
        {std::string(kList) + "closed&fr=search", 200, "本吧暂不开放"},
        {std::string(kList) + "nowhere&fr=search", 200, "没有找到这个吧"},
        {std::string(kList) + "&fr=search", 200, "没有找到这个吧"},
        {"http://tieba.baidu.com/p/7100000001?see_lz=1", 200, "class=\"BDE_Image\""},
        {"http://tieba.baidu.com/p/1?see_lz=1", 404, "404"},
        {"http://imgsrc.baidu.com/forum/pic/item/lake-01.jpg", 200, "JFIF"},
        {Utf8ToLocal("http://imgsrc.baidu.com/forum/pic/item/老相机-07.jpg"), 200, "JFIF"},
        {"http://imgsrc.baidu.com/forum/pic/item/removed.jpg", 404, "404"},
        {"http://hiphotos.baidu.com/album/pic/item/gone.jpg", 502, "502"},
        {"http://www.example.com/", 502, "502"},
    };
    for (const ServedCase& c : cases) {
        const FetchedResource served = FetchUrl(c.address);
        EXPECT_TRUE(served.complete) << c.address;
        EXPECT_EQ(served.status, c.status) << c.address;
        const std::string body(served.body.begin(), served.body.end());
        EXPECT_NE(body.find(c.contains), std::string::npos) << c.address;
    }
}

TEST_F(SampleForumTest, ServesEachPictureAsItsFileAndRefusesTunnels)
{
    const std::string address = "http://tiebapic.baidu.com/forum/pic/item/sea-04.jpg";
    ASSERT_NE(m_forum.picture(address), nullptr);
    const FetchedResource served = FetchUrl(address);
    EXPECT_EQ(served.body, test::BytesOf(*m_forum.picture(address)));
    EXPECT_EQ(served.body,
              test::ReadBytes(SampleForum::defaultContentFolder() / "pictures" / "04.jpg"));
    EXPECT_EQ(m_forum.picture("http://tiebapic.baidu.com/forum/pic/item/none.jpg"), nullptr);

    test::ScopedEnvironment tunnel("https_proxy", m_forum.proxyUrl());
    EXPECT_FALSE(FetchUrl("https://imgsrc.baidu.com/forum/pic/item/lake-01.jpg").succeeded());
}

TEST(SampleForumContent, AnIndexNamingAMissingFileIsReportedNotServed)
{
    test::TemporaryFolder content;
    std::ofstream(content.path() / "index.txt") << "forum cats forums/cats.html\n";
    SampleForum forum(content.path());
    EXPECT_FALSE(forum.start());
    EXPECT_NE(forum.error().find("forums/cats.html"), std::string::npos) << forum.error();
}

} // namespace
} // namespace vantrel
