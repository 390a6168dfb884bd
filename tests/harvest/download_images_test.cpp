#include "command_test.h"
#include "support/message_box_answerer.h"

namespace vantrel {
namespace {

using test::MessageBoxAnswerer;
using test::qs;
using test::Response;
using Strings = std::vector<std::string>;
namespace fs = std::filesystem;

std::string pictureBytes(int number)
{
    std::string bytes("\xFF\xD8\xFF\xE0\0\x10JFIF", 10);
    bytes += "picture " + std::to_string(number);
    return bytes + "\xFF\xD9";
}

class DownloadImagesTest : public test::CommandTest
{
protected:
    // Rows as the extraction writes them; the serials need not be the row numbers.
    void listAddresses(const std::vector<Text>& addresses)
    {
        for (const Text& address : addresses) {
            const int row = m_window->AppendRow(超级列表框2);
            m_window->SetCellText(超级列表框2, row, 0, "1");
            m_window->SetCellText(超级列表框2, row, 1, address);
        }
        m_window->SetDisabled(按钮3, false);
    }

    void download(const char* message)
    {
        MessageBoxAnswerer boxes({qs(message)});
        click("按钮3");
    }

    fs::path pictureFolder() const { return m_desktop.desktop() / "PIC"; }

    test::TemporaryDesktop m_desktop;
};

TEST_F(DownloadImagesTest, AnEmptyListTouchesNoFile)
{
    m_window->SetDisabled(按钮3, false);
    download("全部下载完毕！");
    EXPECT_FALSE(fs::exists(m_desktop.desktop()));
    EXPECT_EQ(m_server.requestCount(), 0u);
}

TEST_F(DownloadImagesTest, SavesEveryPictureUnderItsRowNumberInThePictureFolder)
{
    for (int number = 1; number <= 3; ++number)
        m_server.on("/pic/" + std::to_string(number) + ".jpg",
                    Response::text(pictureBytes(number)));
    listAddresses(
        {m_server.url("/pic/1.jpg"), m_server.url("/pic/2.jpg"), m_server.url("/pic/3.jpg")});
    download("全部下载完毕！");

    EXPECT_EQ(test::FileNames(pictureFolder()), (Strings{"1.jpg", "2.jpg", "3.jpg"}));
    for (int number = 1; number <= 3; ++number)
        EXPECT_EQ(test::ReadBytes(m_desktop.picture(number)), test::BytesOf(pictureBytes(number)));
    EXPECT_EQ(targets(), (Strings{"/pic/1.jpg", "/pic/2.jpg", "/pic/3.jpg"}));
    for (const test::ReceivedRequest& request : m_server.requests()) {
        EXPECT_EQ(request.version, "HTTP/1.0");
        EXPECT_EQ(request.header("User-Agent"),
                  "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
    }
}

TEST_F(DownloadImagesTest, AFailedPictureLeavesNoFileAndAnOlderOneAsItWas)
{
    Response withoutLength = Response::text(pictureBytes(1));
    withoutLength.chunked = true;
    withoutLength.chunkSize = 7;
    m_server.on("/pic/1.jpg", withoutLength);
    m_server.on("/pic/2.jpg", Response::text("<h1>404 Not Found</h1>", 404));
    m_server.on("/pic/5.jpg", Response::text(pictureBytes(5)));
    fs::create_directories(pictureFolder());
    const Bytes older = test::BytesOf("an older picture 2");
    test::WriteBytes(m_desktop.picture(2), older);
    test::WriteBytes(m_desktop.picture(5), Bytes(9000, 0x55));

    listAddresses({
        m_server.url("/pic/1.jpg"), // no Content-Length
        m_server.url("/pic/2.jpg"), // 404 and a page
        "http://127.0.0.1:" + std::to_string(test::ClosedLoopbackPort()) +
            "/pic/3.jpg", // unreachable
        "",               // an empty cell
        m_server.url("/pic/5.jpg#from-the-page"),
    });
    download("下载完毕：成功 2 张，失败 3 张。");

    EXPECT_EQ(test::FileNames(pictureFolder()), (Strings{"1.jpg", "2.jpg", "5.jpg"}));
    EXPECT_EQ(test::ReadBytes(m_desktop.picture(1)), test::BytesOf(pictureBytes(1)));
    EXPECT_EQ(test::ReadBytes(m_desktop.picture(2)), older);
    EXPECT_EQ(test::ReadBytes(m_desktop.picture(5)), test::BytesOf(pictureBytes(5)));
    EXPECT_EQ(targets(), (Strings{"/pic/1.jpg", "/pic/2.jpg", "/pic/5.jpg"}));
}

TEST_F(DownloadImagesTest, ClosingTheWindowDuringThePauseStopsTheDownload)
{
    m_server.on("/pic/1.jpg", Response::text(pictureBytes(1)));
    m_server.on("/pic/2.jpg", Response::text(pictureBytes(2)));
    listAddresses({m_server.url("/pic/1.jpg"), m_server.url("/pic/2.jpg")});
    closeAtFirstEvents();
    {
        MessageBoxAnswerer noBoxes({});
        click("按钮3");
    }
    EXPECT_EQ(targets(), Strings{"/pic/1.jpg"});
    EXPECT_EQ(test::FileNames(pictureFolder()), Strings{"1.jpg"});
}

} // namespace
} // namespace vantrel
