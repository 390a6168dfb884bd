#include "support/message_box_answerer.h"
#include "ui/message_box.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <memory>

#include <QDialog>
#include <QTimer>

namespace vantrel {
namespace {

using namespace std::chrono_literals;

TEST(MessageBox, HasTheProgramsCaptionOneOkButtonNoIconAndNoOwner)
{
    const std::unique_ptr<QMessageBox> box = createMessageBox(QString::fromUtf8("全部下载完毕！"));
    EXPECT_EQ(box->windowTitle(), QString::fromUtf8("信息："));
    EXPECT_EQ(box->text(), QString::fromUtf8("全部下载完毕！"));
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->buttons().size(), 1);
    EXPECT_NE(box->button(QMessageBox::Ok), nullptr);
    EXPECT_EQ(box->parentWidget(), nullptr);
    EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
}

// The failures the answerer reports, without failing this test.
std::vector<std::string> failuresOf(const std::function<void()>& scenario)
{
    ::testing::TestPartResultArray results;
    {
        ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
        scenario();
    }
    std::vector<std::string> failures;
    for (int i = 0; i < results.size(); ++i)
        failures.push_back(results.GetTestPartResult(i).message());
    return failures;
}

int showBox(const char* text, QMessageBox::Icon icon = QMessageBox::NoIcon)
{
    const std::unique_ptr<QMessageBox> box = createMessageBox(QString::fromUtf8(text));
    box->setIcon(icon);
    return box->exec();
}

TEST(MessageBoxAnswerer, ClicksOkOnEachExpectedBoxInTurn)
{
    const std::vector<std::string> failures = failuresOf([] {
        test::MessageBoxAnswerer boxes({"一", "二"});
        EXPECT_EQ(showBox("一"), QMessageBox::Ok);
        EXPECT_EQ(showBox("二"), QMessageBox::Ok);
        EXPECT_EQ(boxes.seenTexts(), QStringList({"一", "二"}));
    });
    EXPECT_TRUE(failures.empty()) << failures.front();
}

struct FaultCase
{
    const char* name;
    std::function<void()> scenario;
    const char* reported;
};

const FaultCase kFaults[] = {
    {"missing box", [] { test::MessageBoxAnswerer boxes({"一"}); }, "never appeared: 一"},
    {"unexpected box",
     [] {
         test::MessageBoxAnswerer boxes({});
         showBox("多");
     },
     "unexpected message box: 多"},
    {"other text",
     [] {
         test::MessageBoxAnswerer boxes({"一"});
         showBox("二");
     },
     "\"二\""},
    {"icon",
     [] {
         test::MessageBoxAnswerer boxes({"一"});
         showBox("一", QMessageBox::Warning);
     },
     "icon"},
    {"another modal window",
     [] {
         test::MessageBoxAnswerer boxes({});
         QDialog dialog;
         dialog.setWindowModality(Qt::ApplicationModal);
         dialog.exec();
     },
     "no message box: QDialog"},
    {"late box that never comes",
     [] {
         test::MessageBoxAnswerer boxes({"一"});
         EXPECT_FALSE(boxes.waitUntilAllAnswered(50ms));
     },
     "never appeared"},
};

TEST(MessageBoxAnswerer, FailsTheTestWithoutHangingOnEveryWrongBox)
{
    for (const FaultCase& fault : kFaults) {
        SCOPED_TRACE(fault.name);
        const std::vector<std::string> failures = failuresOf(fault.scenario);
        ASSERT_FALSE(failures.empty());
        const bool named = std::any_of(failures.begin(), failures.end(), [&](const auto& message) {
            return message.find(fault.reported) != std::string::npos;
        });
        EXPECT_TRUE(named) << failures.front();
    }
}

TEST(MessageBoxAnswerer, AnswersABoxThatComesLaterFromAnEvent)
{
    test::MessageBoxAnswerer boxes({"迟"});
    QTimer::singleShot(0, [] { showBox("迟"); });
    EXPECT_TRUE(boxes.waitUntilAllAnswered(10s));
}

} // namespace
} // namespace vantrel
