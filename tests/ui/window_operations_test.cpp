#include "support/message_box_answerer.h"
#include "support/window_driver.h"
#include "ui/main_window.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace vantrel {
namespace {

using namespace std::chrono_literals;
using test::control;

// "贴吧" and "李毅" in code page 936.
const Text kTieba = "\xcc\xf9\xb0\xc9";
const Text kLiYi = "\xc0\xee\xd2\xe3";

int g_clicks = 0;
void countClick()
{
    ++g_clicks;
}

class WindowOperationsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_clicks = 0;
        ASSERT_TRUE(test::showMainWindow(m_window));
    }

    void appendRows(ListView list, int count)
    {
        for (int row = 0; row < count; ++row)
            m_window.AppendRow(list);
    }

    MainWindow m_window{EventBindings{nullptr, {countClick, countClick, countClick, countClick}}};
};

TEST_F(WindowOperationsTest, WindowAnswersForTheWindowWhileItLives)
{
    EXPECT_EQ(&window(), static_cast<WindowOperations*>(&m_window));
    {
        MainWindow second{EventBindings{}};
        EXPECT_EQ(&window(), static_cast<WindowOperations*>(&second));
    }
    // With no window left, window() reads as one that has been closed.
    EXPECT_TRUE(window().IsClosed());
    EXPECT_FALSE(window().PumpEvents());
    EXPECT_EQ(window().RowCount(超级列表框1), 0);
}

TEST_F(WindowOperationsTest, AppendRowGivesTheIndexOfTheNewRowAndLeavesItUnselected)
{
    for (ListView list : {超级列表框1, 超级列表框2}) {
        EXPECT_EQ(m_window.AppendRow(list), 0);
        appendRows(list, 4);
        EXPECT_EQ(m_window.AppendRow(list), 5);
        EXPECT_EQ(m_window.RowCount(list), 6);
        for (int column = 0; column < 2; ++column)
            EXPECT_EQ(m_window.GetCellText(list, 5, column), "");
    }
    EXPECT_TRUE(control<QTableWidget>(m_window, "超级列表框1")->selectedItems().isEmpty());
    EXPECT_TRUE(control<QTableWidget>(m_window, "超级列表框2")->selectedItems().isEmpty());
}

struct CellCase
{
    ListView list;
    int row;
    int column;
    bool exists;
};

// Two rows in each list.
const CellCase kCells[] = {
    {超级列表框1, 0, 0, true},   {超级列表框1, 1, 4, true},   {超级列表框1, 1, 3, true},
    {超级列表框1, 2, 1, false},  {超级列表框1, -1, 1, false}, {超级列表框1, 0, 5, false},
    {超级列表框1, 0, -1, false}, {超级列表框2, 1, 1, true},   {超级列表框2, 0, 2, false},
    {超级列表框2, 2, 0, false},
};

TEST_F(WindowOperationsTest, CellsThatExistHoldTextAndOthersReadEmptyAndIgnoreWrites)
{
    for (const CellCase& cell : kCells) {
        SCOPED_TRACE("list " + std::to_string(cell.list) + " row " + std::to_string(cell.row) +
                     " column " + std::to_string(cell.column));
        m_window.DeleteAllRows(cell.list);
        appendRows(cell.list, 2);
        m_window.SetCellText(cell.list, cell.row, cell.column, kTieba);
        EXPECT_EQ(m_window.GetCellText(cell.list, cell.row, cell.column),
                  cell.exists ? kTieba : "");
        EXPECT_EQ(m_window.RowCount(cell.list), 2);
        int filled = 0;
        for (int row = 0; row < 2; ++row)
            for (int column = 0; column < 5; ++column)
                filled += m_window.GetCellText(cell.list, row, column).empty() ? 0 : 1;
        EXPECT_EQ(filled, cell.exists ? 1 : 0);
    }
}

TEST_F(WindowOperationsTest, CellTextCrossesAsCodePage936WholeHoweverLong)
{
    const int row = m_window.AppendRow(超级列表框2);
    m_window.SetCellText(超级列表框2, row, 1, kTieba);
    EXPECT_EQ(control<QTableWidget>(m_window, "超级列表框2")->item(row, 1)->text(),
              QString::fromUtf8("贴吧"));

    Text longText;
    while (longText.size() < 6000)
        longText += kLiYi + "http://example.test/p?=" + std::to_string(longText.size());
    m_window.SetCellText(超级列表框2, row, 1, longText);
    EXPECT_EQ(m_window.GetCellText(超级列表框2, row, 1), longText);

    m_window.SetCellText(超级列表框2, row, 1, "");
    EXPECT_EQ(m_window.GetCellText(超级列表框2, row, 1), "");
}

TEST_F(WindowOperationsTest, GetEditTextGivesWhatWasTypedInCodePage936NothingTrimmed)
{
    auto* box = control<QLineEdit>(m_window, "编辑框1");
    EXPECT_EQ(m_window.GetEditText(), "");
    box->setFocus();
    // Chinese arrives through the input method, as a committed string.
    QTest::keyClick(box, Qt::Key_Space);
    QInputMethodEvent typed;
    typed.setCommitString(QString::fromUtf8("李毅"));
    QApplication::sendEvent(box, &typed);
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_EQ(m_window.GetEditText(), " " + kLiYi + " ");
    QTest::keyClicks(box, QString(300, QLatin1Char('x')));
    EXPECT_EQ(m_window.GetEditText().size(), 306u);
}

TEST_F(WindowOperationsTest, DeleteAllRowsEmptiesOneListAndKeepsItsColumns)
{
    appendRows(超级列表框1, 3);
    appendRows(超级列表框2, 2);
    m_window.DeleteAllRows(超级列表框1);
    EXPECT_EQ(m_window.RowCount(超级列表框1), 0);
    EXPECT_EQ(m_window.RowCount(超级列表框2), 2);
    EXPECT_EQ(control<QTableWidget>(m_window, "超级列表框1")->columnCount(), 5);
    EXPECT_EQ(m_window.AppendRow(超级列表框1), 0);
}

TEST_F(WindowOperationsTest, ADisabledButtonIgnoresClicksAndTheFocusUntilEnabledAgain)
{
    auto* button = control<QPushButton>(m_window, "按钮3");
    for (int round = 0; round < 2; ++round) {
        m_window.SetDisabled(按钮3, true);
        EXPECT_FALSE(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
        button->setFocus();
        EXPECT_FALSE(button->hasFocus());
        EXPECT_EQ(g_clicks, round);

        m_window.SetDisabled(按钮3, false);
        EXPECT_TRUE(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(g_clicks, round + 1);
    }
}

TEST_F(WindowOperationsTest, ShowMessageShowsTheTextAndReturnsOnceOkIsClicked)
{
    test::MessageBoxAnswerer boxes({"全部获取完毕", "贴吧"});
    EXPECT_EQ(m_window.ShowMessage("\xc8\xab\xb2\xbf\xbb\xf1\xc8\xa1\xcd\xea\xb1\xcf"), 1);
    EXPECT_EQ(boxes.seenTexts().size(), 1);
    EXPECT_EQ(m_window.ShowMessage(kTieba, 0), 1);
    EXPECT_EQ(boxes.seenTexts().size(), 2);
}

TEST_F(WindowOperationsTest, PumpEventsHandlesWhatIsWaitingAndReturns)
{
    int handled = 0;
    for (int event = 0; event < 3; ++event)
        QTimer::singleShot(0, &m_window, [&handled] { ++handled; });
    EXPECT_TRUE(m_window.PumpEvents());
    EXPECT_EQ(handled, 3);
    EXPECT_TRUE(m_window.PumpEvents());
}

TEST_F(WindowOperationsTest, WaitForEventsReturnsWhenAnEventArrivesOrTheTimeIsUp)
{
    EXPECT_TRUE(m_window.WaitForEvents(1));
    EXPECT_TRUE(m_window.WaitForEvents(0));

    bool arrived = false;
    std::thread sender([this, &arrived] {
        QMetaObject::invokeMethod(
            &m_window, [&arrived] { arrived = true; }, Qt::QueuedConnection);
    });
    const auto start = std::chrono::steady_clock::now();
    while (!arrived && std::chrono::steady_clock::now() - start < 30s)
        ASSERT_TRUE(m_window.WaitForEvents(60000));
    sender.join();
    EXPECT_TRUE(arrived);
    // An event ends the wait: the loop above would otherwise have waited a whole minute.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 30s);
}

// After the window has been closed, what a running command does next changes nothing.
TEST_F(WindowOperationsTest, AClosedWindowIgnoresEveryOperationAndStopsTheWaits)
{
    appendRows(超级列表框1, 2);
    m_window.SetCellText(超级列表框1, 0, 1, "1");
    QTest::keyClicks(control(m_window, "编辑框1"), "name");
    m_window.close();
    ASSERT_TRUE(m_window.IsClosed());
    EXPECT_FALSE(m_window.isVisible());

    test::MessageBoxAnswerer noBoxes({});
    EXPECT_EQ(m_window.ShowMessage("late"), 0);
    EXPECT_FALSE(m_window.PumpEvents());
    EXPECT_FALSE(m_window.WaitForEvents(60000));
    EXPECT_EQ(m_window.AppendRow(超级列表框1), -1);
    m_window.SetCellText(超级列表框1, 1, 1, "2");
    m_window.DeleteAllRows(超级列表框2);
    EXPECT_EQ(m_window.RowCount(超级列表框1), 0);
    EXPECT_EQ(m_window.GetCellText(超级列表框1, 0, 1), "");
    EXPECT_EQ(m_window.GetEditText(), "");
    EXPECT_EQ(control<QTableWidget>(m_window, "超级列表框1")->rowCount(), 2);
    m_window.SetDisabled(按钮1, true);
    EXPECT_FALSE(control(m_window, "按钮1")->isEnabled());
}

// Closing the window while a command waits in a message box ends the box too; the user's
// own close requests do not reach the window then, as Qt refuses them for blocked windows.
TEST_F(WindowOperationsTest, ClosingTheWindowDismissesTheMessageBoxItsCommandWaitsIn)
{
    bool boxWasUp = false;
    QTimer closer;
    closer.setInterval(5);
    QObject::connect(&closer, &QTimer::timeout, &m_window, [this, &boxWasUp] {
        if (QApplication::activeModalWidget()) {
            boxWasUp = true;
            m_window.close();
        }
    });
    closer.start();
    EXPECT_EQ(m_window.ShowMessage(kTieba), 0);
    closer.stop();
    EXPECT_TRUE(boxWasUp);
    EXPECT_TRUE(m_window.IsClosed());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
} // namespace vantrel
