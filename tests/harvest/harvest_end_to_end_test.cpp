#include "command_test.h"
#include "sample_forum.h"
#include "support/message_box_answerer.h"

#include <algorithm>

#include <QApplication>
#include <QInputMethodEvent>

namespace vantrel {
namespace {

using test::MessageBoxAnswerer;
using test::qs;
using Strings = std::vector<std::string>;

// The whole harvest as a user runs it, on the bundled sample forum reached as the proxy,
// with the real forum base and a desktop in a temporary folder.
class HarvestEndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_forum.start()) << m_forum.error();
        m_proxy.emplace("http_proxy", m_forum.proxyUrl());
        InitGlobals();
        m_window = std::make_unique<MainWindow>();
        ASSERT_TRUE(test::showMainWindow(*m_window));
    }

    void TearDown() override
    {
        m_window.reset();
        ReleaseFetchUrlHandle();
        ReleaseGlobals();
    }

    void typeForumName(const char* utf8)
    {
        auto* editBox = test::control<QLineEdit>(*m_window, "编辑框1");
        editBox->setFocus();
        QTest::keyClick(editBox, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(editBox, Qt::Key_Delete);
        const QString name = qs(utf8);
        if (std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x80; })) {
            QTest::keyClicks(editBox, name);
        } else {
            // Chinese arrives as an input method commits it.
            QInputMethodEvent commit;
            commit.setCommitString(name);
            QApplication::sendEvent(editBox, &commit);
        }
    }

    void click(const char* button)
    {
        MessageBoxAnswerer noBoxes({});
        QTest::mouseClick(test::control<QPushButton>(*m_window, button), Qt::LeftButton);
    }

    void click(const char* button, const char* message)
    {
        MessageBoxAnswerer boxes({qs(message)});
        QTest::mouseClick(test::control<QPushButton>(*m_window, button), Qt::LeftButton);
    }

    std::vector<std::string> column(ListView list, int columnIndex) const
    {
        std::vector<std::string> texts;
        for (int row = 0; row < m_window->RowCount(list); ++row)
            texts.push_back(LocalToUtf8(m_window->GetCellText(list, row, columnIndex)));
        return texts;
    }

    // What the forum served for each listed address; empty where it serves no picture.
    std::vector<Bytes> servedPictures() const
    {
        std::vector<Bytes> pictures;
        for (const std::string& address : column(超级列表框2, 1)) {
            const std::string* served = m_forum.picture(address);
            pictures.push_back(served ? test::BytesOf(*served) : Bytes{});
        }
        return pictures;
    }

    test::ScopedEnvironment m_httpsProxy{"https_proxy", std::nullopt};
    test::ScopedEnvironment m_allProxy{"all_proxy", std::nullopt};
    test::ScopedEnvironment m_noProxy{"no_proxy", std::nullopt};
    test::TemporaryDesktop m_desktop;
    SampleForum m_forum;
    std::optional<test::ScopedEnvironment> m_proxy;
    std::unique_ptr<MainWindow> m_window;
};

TEST_F(HarvestEndToEndTest, HarvestsTheSampleForumsAsAUserWould)
{
    typeForumName("scenery");
    click("按钮1", "全部获取完毕");
    EXPECT_EQ(column(超级列表框1, 2), (Strings{"春天的湖", "山 & 海", "只是聊聊，没有图"}));
    click("按钮4", "全部获取完毕");
    EXPECT_EQ(column(超级列表框2, 0), (Strings{"1", "2", "3", "4", "5"}));
    click("按钮3", "全部下载完毕！");
    const std::vector<Bytes> scenery = servedPictures();
    for (int number = 1; number <= 5; ++number) {
        ASSERT_FALSE(scenery[number - 1].empty()) << number;
        EXPECT_EQ(test::ReadBytes(m_desktop.picture(number)), scenery[number - 1]) << number;
    }

    // The second forum, typed in Chinese, holds a picture that is gone and one on a host
    // that cannot be reached: their numbers keep the first forum's files.
    click("按钮2");
    typeForumName("摄影");
    click("按钮1", "全部获取完毕");
    EXPECT_EQ(column(超级列表框1, 2), (Strings{"老相机拍的", "\"坏掉\"的图"}));
    click("按钮4", "全部获取完毕");
    ASSERT_EQ(m_window->RowCount(超级列表框2), 4);
    click("按钮3", "下载完毕：成功 2 张，失败 2 张。");
    const std::vector<Bytes> photo = servedPictures();
    EXPECT_EQ(test::ReadBytes(m_desktop.picture(1)), photo[0]);
    EXPECT_EQ(test::ReadBytes(m_desktop.picture(2)), photo[1]);
    for (int number = 3; number <= 5; ++number)
        EXPECT_EQ(test::ReadBytes(m_desktop.picture(number)), scenery[number - 1]) << number;
    EXPECT_EQ(test::FileNames(m_desktop.desktop() / "PIC"),
              (Strings{"1.jpg", "2.jpg", "3.jpg", "4.jpg", "5.jpg"}));

    typeForumName("closed");
    click("按钮1", "抱歉，根据相关法律法规和政策，本吧暂不开放。");
    EXPECT_EQ(m_window->RowCount(超级列表框1), 0);
}

} // namespace
} // namespace vantrel
