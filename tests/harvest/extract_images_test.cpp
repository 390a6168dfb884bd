#include "command_test.h"
#include "support/message_box_answerer.h"

#include <QTableWidget>

namespace vantrel {
namespace {

using test::MessageBoxAnswerer;
using test::qs;
using test::Response;
using Strings = std::vector<std::string>;

const char kThreeThreads[] = R"html(
 <a rel="noreferrer" href="/p/1" title="两张" target="_blank" class="j_th_tit ">两张</a>
 <a rel="noreferrer" href="/p/2" title="没有图" target="_blank" class="j_th_tit ">没有图</a>
 <a href="/p/3" title="三张" target="_blank" class="j_th_tit ">三张</a>
)html";

// Every picture markup the pages use, beside images that are no posted pictures.
const char kTwoPictures[] = R"html(<div class="d_post_content j_d_post_content ">
<img username="someone" class="" src="http://portrait.example/avatar.jpg">
<img class="BDE_Image" pic_type="0" width="560" height="567" src="http://img.example/a1.jpg" ><br>
<img class="BDE_Image" src="http://img.example/a2.jpg" pic_ext="jpeg" width="560" height="420">
<img class="BDE_Smiley" width="30" height="30" src="http://img.example/smiley.png" >
</div>)html";
const char kNoPictures[] = "<div class=\"d_post_content\">只有文字</div>";
const char kThreePictures[] = R"html(<div>
<img class="bde_image" pic_type="0" data-src="http://img.example/lazy.jpg" src="http://img.example/b1.jpg" >
<img class="BDE_Image" pic_type="0" src="http://img.example/b2.jpg?size=b&amp;t=1" ><img class="BDE_Image" src="http://img.example/图 3.jpg" >
</div>)html";

const Strings kSerials = {"1", "2", "3", "4", "5"};
const Strings kAddresses = {"http://img.example/a1.jpg", "http://img.example/a2.jpg",
                            "http://img.example/b1.jpg", "http://img.example/b2.jpg?size=b&t=1",
                            "http://img.example/图 3.jpg"};

class ExtractImagesTest : public test::CommandTest
{
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        m_server.on("/f?ie=utf-8&kw=cats&fr=search", Response::text(kThreeThreads));
        m_server.on("/f?ie=utf-8&kw=closed&fr=search",
                    Response::text("抱歉，根据相关法律法规和政策，本吧暂不开放。"));
        m_server.on("/p/1?see_lz=1", Response::text(kTwoPictures));
        m_server.on("/p/2?see_lz=1", Response::text(kNoPictures));
        m_server.on("/p/3?see_lz=1", Response::text(kThreePictures));
    }

    void list(const char* forum, const char* message)
    {
        typeForumName(forum);
        MessageBoxAnswerer boxes({qs(message)});
        click("按钮1");
    }

    void extract(const char* message)
    {
        MessageBoxAnswerer boxes({qs(message)});
        click("按钮4");
    }
};

TEST_F(ExtractImagesTest, ListsEveryPictureOfEveryThreadWithARunningSerial)
{
    list("cats", "全部获取完毕");
    extract("全部获取完毕");
    EXPECT_EQ(column(超级列表框2, 0), kSerials);
    EXPECT_EQ(column(超级列表框2, 1), kAddresses);
    EXPECT_TRUE(isEnabled("按钮3"));
    EXPECT_EQ(targets(), (Strings{"/f?ie=utf-8&kw=cats&fr=search", "/p/1?see_lz=1", "/p/2?see_lz=1",
                                  "/p/3?see_lz=1"}));
    const test::ReceivedRequest threadRequest = m_server.requests()[1];
    EXPECT_EQ(threadRequest.method, "GET");
    EXPECT_EQ(threadRequest.header("Content-Type"), "text/XML");
    EXPECT_EQ(threadRequest.header("Accept-Language"), "zh-cn");
}

TEST_F(ExtractImagesTest, ASecondClickAppendsWithSerialsFromOneAgain)
{
    list("cats", "全部获取完毕");
    extract("全部获取完毕");
    extract("全部获取完毕");
    Strings serials = kSerials;
    serials.insert(serials.end(), kSerials.begin(), kSerials.end());
    EXPECT_EQ(column(超级列表框2, 0), serials);
}

TEST_F(ExtractImagesTest, WithoutAnyListedPageNothingIsRequested)
{
    // An empty name enables the extraction without ever matching a page.
    list("", "亲，您还没有输入内容哦！！！");
    extract("全部获取完毕");
    EXPECT_EQ(m_server.requestCount(), 1u);
    EXPECT_EQ(m_window->RowCount(超级列表框2), 0);
    EXPECT_TRUE(isEnabled("按钮3"));
}

TEST_F(ExtractImagesTest, RowsNoLongerListedAreNotRequested)
{
    list("cats", "全部获取完毕");
    list("closed", "抱歉，根据相关法律法规和政策，本吧暂不开放。");
    ASSERT_EQ(ThreadRegex->MatchCount(), 3);
    extract("全部获取完毕");
    EXPECT_EQ(m_server.requestCount(), 2u);
    EXPECT_EQ(m_window->RowCount(超级列表框2), 0);
}

TEST_F(ExtractImagesTest, PagesThatDidNotArriveAreCounted)
{
    Response reset;
    reset.ending = Response::Ending::Reset;
    m_server.on("/p/1?see_lz=1", reset);
    m_server.on("/p/2?see_lz=1", reset);
    list("cats", "全部获取完毕");
    extract("获取完毕，其中 2 个贴子的页面获取失败。");
    EXPECT_EQ(column(超级列表框2, 0), (Strings{"1", "2", "3"}));
    EXPECT_TRUE(isEnabled("按钮3"));
}

TEST_F(ExtractImagesTest, AClosedWindowIsNoticedBetweenTwoThreadPages)
{
    m_server.on("/p/1?see_lz=1", Response::text(kNoPictures));
    list("cats", "全部获取完毕");
    closeAtFirstEvents();
    {
        MessageBoxAnswerer noBoxes({});
        click("按钮4");
    }
    EXPECT_EQ(targets().back(), "/p/1?see_lz=1");
    EXPECT_FALSE(isEnabled("按钮3"));
}

TEST_F(ExtractImagesTest, ClosingTheWindowStopsAfterTheCurrentRow)
{
    list("cats", "全部获取完毕");
    closeAtFirstEvents();
    {
        MessageBoxAnswerer noBoxes({});
        click("按钮4");
    }
    EXPECT_EQ(test::control<QTableWidget>(*m_window, "超级列表框2")->rowCount(), 1);
    EXPECT_EQ(targets().back(), "/p/1?see_lz=1");
}

} // namespace
} // namespace vantrel
