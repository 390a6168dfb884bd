#include "command_test.h"
#include "support/message_box_answerer.h"

#include <QTableWidget>

namespace vantrel {
namespace {

using test::MessageBoxAnswerer;
using test::qs;
using test::Response;
using Strings = std::vector<std::string>;

// Both markups of a thread link, character references, and a link whose text runs over
// two lines, which is not a thread link.
const char kCatsPage[] = R"html(<ul id="thread_list" class="threadlist_bright">
    <li class=" j_thread_list clearfix" data-tid="101">
        <div class="threadlist_title pull_left j_th_tit ">
            <a rel="noreferrer" href="/p/101" title="没意思" target="_blank" class="j_th_tit ">没意思</a>
        </div>
    </li>
    <li class=" j_thread_list clearfix">
        <div class="threadlist_text"> <a href="/p/102" title="旧的样子" target="_blank" class="j_th_tit ">旧的样子</a></div>
    </li>
    <li> <a rel="noreferrer" href="/p/split" title="分成两行" target="_blank" class="j_th_tit ">分成
两行</a></li>
    <li> <a rel="noreferrer" href="/p/103?a=1&amp;b=2" title="猫 &amp; 狗 &quot;好&quot; &#x4E2D;&#25991;" target="_blank" class="j_th_tit ">猫 &amp; 狗</a></li>
</ul>)html";

const char kListPageTarget[] = "/f?ie=utf-8&kw=cats&fr=search";

class ListThreadsTest : public test::CommandTest
{
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        m_server.on(kListPageTarget, Response::text(kCatsPage));
        m_server.on("/f?ie=utf-8&kw=closed&fr=search",
                    Response::text("<p>抱歉，根据相关法律法规和政策，本吧暂不开放。</p>"));
    }

    void listCats()
    {
        typeForumName("cats");
        MessageBoxAnswerer boxes({qs("全部获取完毕")});
        click("按钮1");
    }
};

TEST_F(ListThreadsTest, ListsEveryThreadLinkOfThePage)
{
    listCats();
    EXPECT_EQ(column(超级列表框1, 1), (Strings{"1", "2", "3"}));
    EXPECT_EQ(column(超级列表框1, 2), (Strings{"没意思", "旧的样子", "猫 & 狗 \"好\" 中文"}));
    EXPECT_EQ(column(超级列表框1, 4), (Strings{"/p/101", "/p/102", "/p/103?a=1&b=2"}));
    EXPECT_EQ(column(超级列表框1, 0), (Strings{"", "", ""}));
    EXPECT_EQ(column(超级列表框1, 3), (Strings{"", "", ""}));
    EXPECT_EQ(ThreadRegex->MatchCount(), 3);
    EXPECT_TRUE(isEnabled("按钮2"));
    EXPECT_TRUE(isEnabled("按钮4"));
    EXPECT_FALSE(isEnabled("按钮3"));

    ASSERT_EQ(m_server.requestCount(), 1u);
    const test::ReceivedRequest request = m_server.requests().front();
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.target, kListPageTarget);
    EXPECT_EQ(request.header("Content-Type"), "text/XML");
    EXPECT_EQ(request.header("Accept-Language"), "zh-cn");
}

TEST_F(ListThreadsTest, AnEmptyNameStillSendsOneRequestThenAsksForOne)
{
    {
        MessageBoxAnswerer boxes({qs("亲，您还没有输入内容哦！！！")});
        click("按钮1");
    }
    EXPECT_EQ(targets(), Strings{"/f?ie=utf-8&kw=&fr=search"});
    EXPECT_EQ(m_window->RowCount(超级列表框1), 0);
    EXPECT_TRUE(isEnabled("按钮2"));
    EXPECT_TRUE(isEnabled("按钮4"));
    EXPECT_FALSE(isEnabled("按钮3"));
}

TEST_F(ListThreadsTest, AClosedForumShowsTheMarkerAndKeepsTheEarlierMatches)
{
    listCats();
    typeForumName("closed");
    {
        MessageBoxAnswerer boxes({qs("抱歉，根据相关法律法规和政策，本吧暂不开放。")});
        click("按钮1");
    }
    EXPECT_EQ(m_window->RowCount(超级列表框1), 0);
    EXPECT_EQ(ThreadRegex->MatchCount(), 3);
}

TEST_F(ListThreadsTest, ASecondClickShowsOnlyTheNewForumAndLeavesTheImages)
{
    m_server.on(
        "/f?ie=utf-8&kw=dogs&fr=search",
        Response::text(R"( <a href="/p/9" title="狗" target="_blank" class="j_th_tit ">狗</a>)"));
    listCats();
    m_window->SetCellText(超级列表框2, m_window->AppendRow(超级列表框2), 1, "http://img/1.jpg");
    typeForumName("dogs");
    {
        MessageBoxAnswerer boxes({qs("全部获取完毕")});
        click("按钮1");
    }
    EXPECT_EQ(column(超级列表框1, 1), Strings{"1"});
    EXPECT_EQ(column(超级列表框1, 4), Strings{"/p/9"});
    EXPECT_EQ(column(超级列表框2, 1), Strings{"http://img/1.jpg"});
}

struct NameCase
{
    const char* typed;
    const char* keyword; // as it must arrive between "kw=" and "&fr=search"
};

TEST_F(ListThreadsTest, SendsTheForumNameAsAName)
{
    m_server.on("/f", Response::text("<html>no threads here</html>"));
    const NameCase cases[] = {
        {"cats", "cats"},
        {"风景", "%E9%A3%8E%E6%99%AF"},
        {"a&b=c", "a%26b%3Dc"},
        {"#1 100%", "%231%20100%25"},
        {"a+b/c?d", "a%2Bb%2Fc%3Fd"},
        {" ", "%20"},
    };
    for (const NameCase& c : cases) {
        typeForumName(c.typed);
        MessageBoxAnswerer boxes({qs("全部获取完毕")});
        click("按钮1");
        EXPECT_EQ(targets().back(), std::string("/f?ie=utf-8&kw=") + c.keyword + "&fr=search")
            << c.typed;
    }
}

TEST_F(ListThreadsTest, APageWithoutThreadLinksListsNothing)
{
    m_server.on(kListPageTarget, Response::text("<html><body>暂无贴子</body></html>"));
    listCats();
    EXPECT_EQ(m_window->RowCount(超级列表框1), 0);
    EXPECT_EQ(ThreadRegex->MatchCount(), 0);
}

TEST_F(ListThreadsTest, APageThatDidNotArriveIsReportedAsAFailure)
{
    Response reset;
    reset.ending = Response::Ending::Reset;
    m_server.on(kListPageTarget, reset);
    typeForumName("cats");
    {
        MessageBoxAnswerer boxes({qs("获取失败，请检查网络连接后重试。")});
        click("按钮1");
    }
    EXPECT_EQ(m_window->RowCount(超级列表框1), 0);
    EXPECT_TRUE(isEnabled("按钮4"));
}

TEST_F(ListThreadsTest, ClosingTheWindowStopsTheListingAtOnce)
{
    typeForumName("cats");
    closeAtFirstEvents();
    {
        MessageBoxAnswerer noBoxes({});
        click("按钮1");
    }
    EXPECT_TRUE(m_window->IsClosed());
    EXPECT_EQ(test::control<QTableWidget>(*m_window, "超级列表框1")->rowCount(), 1);
}

} // namespace
} // namespace vantrel
