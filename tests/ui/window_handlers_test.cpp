#include "support/message_box_answerer.h"
#include "support/window_driver.h"
#include "ui/main_window.h"
#include "ui/window_handlers.h"

#include <gtest/gtest.h>
#include <string>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

namespace vantrel {
namespace {

using test::control;

// Stand-ins for the harvest commands, which would reach the forum service: each moves the
// buttons exactly as its command does.
void listThreads()
{
    window().SetDisabled(按钮2, false);
    window().SetDisabled(按钮4, false);
    window().DeleteAllRows(超级列表框1);
    window().SetCellText(超级列表框1, window().AppendRow(超级列表框1), 1, "1");
}
void extractImages()
{
    window().SetCellText(超级列表框2, window().AppendRow(超级列表框2), 1, "http://a/1.jpg");
    window().SetDisabled(按钮3, false);
}
void downloadImages()
{}

const EventBindings kStandIns{OnWindowCreated,
                              {listThreads, OnClearLists, downloadImages, extractImages}};

enum class State
{
    Fresh,
    ThreadsListed,
    ImagesListed,
    Cleared
};

struct ClickCase
{
    const char* clicks; // buttons by number, in order; disabled ones ignore the click
    State state;
    int threadRows;
    int imageRows;
};

const ClickCase kClickCases[] = {
    {"", State::Fresh, 0, 0},
    {"234", State::Fresh, 0, 0},
    {"1", State::ThreadsListed, 1, 0},
    {"13", State::ThreadsListed, 1, 0},
    {"11", State::ThreadsListed, 1, 0},
    {"14", State::ImagesListed, 1, 1},
    {"141", State::ImagesListed, 1, 1},
    {"1443", State::ImagesListed, 1, 2},
    {"12", State::Cleared, 0, 0},
    {"1422", State::Cleared, 0, 0},
    {"1243", State::Cleared, 0, 0},
    {"121", State::ThreadsListed, 1, 0},
    {"14214", State::ImagesListed, 1, 1},
};

const char* buttonName(char number)
{
    static const char* const kNames[] = {"按钮1", "按钮2", "按钮3", "按钮4"};
    return kNames[number - '1'];
}

State stateOf(const MainWindow& mainWindow)
{
    const auto enabled = [&mainWindow](const char* name) {
        return control(mainWindow, name)->isEnabled();
    };
    const int key = enabled("按钮2") * 4 + enabled("按钮4") * 2 + enabled("按钮3");
    switch (key) {
    case 0:
        return State::Fresh;
    case 6:
        return State::ThreadsListed;
    case 7:
        return State::ImagesListed;
    case 4:
        return State::Cleared;
    }
    ADD_FAILURE() << "buttons in no state: 2/4/3 enabled as " << key;
    return State::Fresh;
}

TEST(WindowHandlers, TheButtonsMoveThroughTheirStatesAsTheyAreClicked)
{
    for (const ClickCase& clickCase : kClickCases) {
        SCOPED_TRACE(std::string("clicks: ") + clickCase.clicks);
        MainWindow fresh{kStandIns};
        ASSERT_TRUE(test::showMainWindow(fresh));
        for (const char* number = clickCase.clicks; *number; ++number)
            QTest::mouseClick(control(fresh, buttonName(*number)), Qt::LeftButton);
        EXPECT_EQ(stateOf(fresh), clickCase.state);
        EXPECT_TRUE(control(fresh, "按钮1")->isEnabled());
        EXPECT_EQ(fresh.RowCount(超级列表框1), clickCase.threadRows);
        EXPECT_EQ(fresh.RowCount(超级列表框2), clickCase.imageRows);
    }
}

void postClick(QWidget* target)
{
    const QPointF inside = QRectF(target->rect()).center();
    const QPointF global = target->mapToGlobal(inside);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QCoreApplication::postEvent(
            target, new QMouseEvent(type, inside, global, Qt::LeftButton, held, Qt::NoModifier));
    }
}

int g_rowsAppended = 0;

// Appends four image rows, pumping events after each; a click on 按钮2 arrives after the
// second row.
void extractWithAClearInBetween()
{
    for (int row = 0; row < 4; ++row) {
        window().SetCellText(超级列表框2, window().AppendRow(超级列表框2), 0, std::to_string(row));
        ++g_rowsAppended;
        if (row == 1)
            postClick(static_cast<MainWindow&>(window()).findChild<QPushButton*>("按钮2"));
        if (!window().PumpEvents())
            return;
    }
    window().SetDisabled(按钮3, false);
}

TEST(WindowHandlers, AClickOnTheClearButtonRunsInsideACommandThatPumpsEvents)
{
    MainWindow nested{
        {OnWindowCreated, {listThreads, OnClearLists, downloadImages, extractWithAClearInBetween}}};
    ASSERT_TRUE(test::showMainWindow(nested));
    g_rowsAppended = 0;
    QTest::mouseClick(control(nested, "按钮1"), Qt::LeftButton);
    QTest::mouseClick(control(nested, "按钮4"), Qt::LeftButton);

    EXPECT_EQ(g_rowsAppended, 4);
    EXPECT_EQ(nested.RowCount(超级列表框1), 0);
    ASSERT_EQ(nested.RowCount(超级列表框2), 2);
    EXPECT_EQ(nested.GetCellText(超级列表框2, 0, 0), "2");
    EXPECT_EQ(nested.GetCellText(超级列表框2, 1, 0), "3");
    EXPECT_FALSE(control(nested, "按钮4")->isEnabled());
    EXPECT_TRUE(control(nested, "按钮3")->isEnabled());
    EXPECT_TRUE(control(nested, "按钮2")->isEnabled());
}

bool g_closeSeenByCommand = false;

// Lists rows until the window closes under it; Esc arrives after the third row.
void listUntilClosed()
{
    for (int row = 0; row < 100; ++row) {
        window().AppendRow(超级列表框1);
        ++g_rowsAppended;
        if (row == 2)
            QCoreApplication::postEvent(QApplication::focusWidget(),
                                        new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, {}));
        if (!window().PumpEvents()) {
            g_closeSeenByCommand = true;
            return;
        }
    }
    window().ShowMessage("done");
}

TEST(WindowHandlers, ACommandPumpingEventsStopsWhenTheWindowClosesUnderIt)
{
    MainWindow closing{
        {OnWindowCreated, {listUntilClosed, OnClearLists, downloadImages, extractImages}}};
    ASSERT_TRUE(test::showMainWindow(closing));
    g_rowsAppended = 0;
    g_closeSeenByCommand = false;
    test::MessageBoxAnswerer noBoxes({});
    QTest::mouseClick(control(closing, "按钮1"), Qt::LeftButton);

    EXPECT_TRUE(g_closeSeenByCommand);
    EXPECT_EQ(g_rowsAppended, 3);
    EXPECT_TRUE(closing.IsClosed());
    EXPECT_FALSE(closing.isVisible());
    EXPECT_EQ(&window(), static_cast<WindowOperations*>(&closing));
}

} // namespace
} // namespace vantrel
