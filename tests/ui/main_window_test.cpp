#include "support/window_driver.h"
#include "ui/main_window.h"
#include "ui/window_handlers.h"

#include <gtest/gtest.h>
#include <vector>

#include <QApplication>
#include <QFontInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>

namespace vantrel {
namespace {

using test::control;

std::vector<Button>& clicks()
{
    static std::vector<Button> recorded;
    return recorded;
}

template <Button button>
void recordClick()
{
    clicks().push_back(button);
}

// The harvest commands would reach the forum service; here a click only has to be seen.
const EventBindings kRecordingBindings{
    OnWindowCreated,
    {recordClick<按钮1>, recordClick<按钮2>, recordClick<按钮3>, recordClick<按钮4>}};

const char* const kControlNames[] = {"编辑框1",     "按钮1", "按钮2", "超级列表框1",
                                     "超级列表框2", "按钮4", "按钮3"};
// The same controls in ASCII, so that the names of the tests over them stay readable.
const char* const kControlLabels[] = {"EditBox1",   "Button1", "Button2", "ThreadList1",
                                      "ImageList2", "Button4", "Button3"};

struct ListName
{
    const char* name;
    ListView which;
};
const ListName kLists[] = {{"超级列表框1", 超级列表框1}, {"超级列表框2", 超级列表框2}};

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        clicks().clear();
        ASSERT_TRUE(test::showMainWindow(m_window));
    }

    void enableAllButtons()
    {
        for (Button button : {按钮2, 按钮3, 按钮4})
            m_window.SetDisabled(button, false);
    }

    QTableWidget* list(const char* name) { return control<QTableWidget>(m_window, name); }

    MainWindow m_window{kRecordingBindings};
};

TEST_F(MainWindowTest, StartsCentredWithItsTitleFixedOuterSizeAndButtonsOfItsOwn)
{
    EXPECT_EQ(m_window.windowTitle(), text("Vantrel_v1.0"));
    const QRect screen = m_window.screen()->geometry();
    EXPECT_EQ(m_window.frameGeometry(),
              QRect((screen.width() - 865) / 2, (screen.height() - 326) / 2, 865, 326));
    EXPECT_EQ(m_window.minimumSize(), m_window.maximumSize());
    const Qt::WindowFlags flags = m_window.windowFlags();
    for (Qt::WindowType hint : {Qt::WindowSystemMenuHint, Qt::WindowMinimizeButtonHint,
                                Qt::WindowMaximizeButtonHint, Qt::WindowCloseButtonHint})
        EXPECT_TRUE(flags.testFlag(hint)) << hint;
    EXPECT_FALSE(flags.testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(MainWindowTest, StartsWithAnEmptyNameBoxEmptyListsAndOnlyTheListButtonEnabled)
{
    EXPECT_TRUE(control<QLineEdit>(m_window, "编辑框1")->text().isEmpty());
    EXPECT_EQ(list("超级列表框1")->rowCount(), 0);
    EXPECT_EQ(list("超级列表框2")->rowCount(), 0);
    EXPECT_TRUE(control(m_window, "按钮1")->isEnabled());
    for (const char* name : {"按钮2", "按钮3", "按钮4"})
        EXPECT_FALSE(control(m_window, name)->isEnabled()) << name;
}

struct ControlPlace
{
    const char* name;
    QRect geometry;
    const char* caption;
};

const ControlPlace kPlaces[] = {
    {"编辑框1", {24, 8, 216, 32}, nullptr},
    {"按钮1", {272, 8, 80, 32}, "确定"},
    {"按钮2", {392, 8, 80, 32}, "清空列表"},
    {"超级列表框1", {16, 56, 392, 192}, nullptr},
    {"超级列表框2", {416, 56, 408, 192}, nullptr},
    {"按钮4", {104, 256, 224, 32}, "一键解析图片地址"},
    {"按钮3", {552, 256, 168, 32}, "图片一键下载"},
};

TEST_F(MainWindowTest, HoldsItsSevenControlsWhereTheyBelongAlsoWhenMaximised)
{
    for (bool maximised : {false, true}) {
        if (maximised) {
            m_window.showMaximized();
            ASSERT_TRUE(QTest::qWaitFor([this] { return m_window.isMaximized(); }, 10000));
        }
        for (const ControlPlace& place : kPlaces) {
            SCOPED_TRACE(place.name);
            QWidget* widget = control(m_window, place.name);
            ASSERT_NE(widget, nullptr);
            EXPECT_EQ(widget->geometry(), place.geometry);
            EXPECT_TRUE(widget->isVisible());
            if (place.caption) {
                auto* button = qobject_cast<QPushButton*>(widget);
                ASSERT_NE(button, nullptr);
                EXPECT_EQ(button->text(), text(place.caption));
                EXPECT_FALSE(button->isDefault());
                EXPECT_FALSE(button->autoDefault());
            }
        }
    }
}

TEST_F(MainWindowTest, GivesTheNameBoxItsFaceAndTheThreadListItsSize)
{
    const QFont editFont = control(m_window, "编辑框1")->font();
    EXPECT_EQ(editFont.family(), text("幼圆"));
    EXPECT_EQ(editFont.pixelSize(), 16);
    EXPECT_EQ(editFont.weight(), QFont::Bold);
    EXPECT_FALSE(editFont.italic() || editFont.underline() || editFont.strikeOut());
    EXPECT_EQ(QFontInfo(editFont).family(), text("WenQuanYi Micro Hei"));

    const QFont threadFont = list("超级列表框1")->font();
    EXPECT_EQ(threadFont.pixelSize(), 14);
    EXPECT_EQ(threadFont.weight(), QFont::Normal);

    for (const char* name : {"按钮1", "按钮2", "按钮3", "按钮4", "超级列表框2"})
        EXPECT_EQ(control(m_window, name)->font(), QApplication::font()) << name;
}

TEST_F(MainWindowTest, PaintsItsBackgroundInTheButtonFaceColour)
{
    // Button faces and windows share one colour in the default palette; tell them apart.
    const QPalette original = QApplication::palette();
    QPalette distinct = original;
    distinct.setColor(QPalette::Button, QColor(0x12, 0x34, 0x56));
    QApplication::setPalette(distinct);
    MainWindow painted{kRecordingBindings};
    const QImage picture = painted.grab().toImage();
    QApplication::setPalette(original);
    EXPECT_EQ(picture.pixelColor(5, 5), QColor(0x12, 0x34, 0x56));
}

TEST_F(MainWindowTest, HasAnIconOfItsOwnIn128PixelsAnd32BitColour)
{
    const QIcon icon = m_window.windowIcon();
    EXPECT_TRUE(icon.availableSizes().contains(QSize(128, 128)));
    const QImage image = icon.pixmap(QSize(128, 128)).toImage();
    EXPECT_EQ(image.size(), QSize(128, 128));
    EXPECT_EQ(image.depth(), 32);
    EXPECT_TRUE(image.hasAlphaChannel());
}

struct ColumnCase
{
    const char* list;
    int column;
    const char* title;
    int width;
    Qt::Alignment alignment;
};

const ColumnCase kColumns[] = {
    {"超级列表框1", 0, "选择", 40, Qt::AlignLeft},
    {"超级列表框1", 1, "序号", 50, Qt::AlignHCenter},
    {"超级列表框1", 2, "贴子名称", 200, Qt::AlignHCenter},
    {"超级列表框1", 3, "页码", 0, Qt::AlignHCenter},
    {"超级列表框1", 4, "贴吧地址", 100, Qt::AlignHCenter},
    {"超级列表框2", 0, "序号", 50, Qt::AlignLeft},
    {"超级列表框2", 1, "图片地址", 400, Qt::AlignHCenter},
};

TEST_F(MainWindowTest, GivesEachListItsColumnsWithTitlesWidthsAndAlignments)
{
    EXPECT_EQ(list("超级列表框1")->columnCount(), 5);
    EXPECT_EQ(list("超级列表框2")->columnCount(), 2);
    for (const ListName& name : kLists)
        m_window.AppendRow(name.which);
    for (const ColumnCase& column : kColumns) {
        SCOPED_TRACE(std::string(column.list) + " column " + std::to_string(column.column));
        QTableWidget* view = list(column.list);
        const QTableWidgetItem* title = view->horizontalHeaderItem(column.column);
        ASSERT_NE(title, nullptr);
        EXPECT_EQ(title->text(), text(column.title));
        EXPECT_EQ(view->horizontalHeader()->sectionSize(column.column), column.width);
        EXPECT_FALSE(view->isColumnHidden(column.column));
        const auto horizontal = [](int alignment) {
            return Qt::Alignment(alignment) & Qt::AlignHorizontal_Mask;
        };
        EXPECT_EQ(horizontal(title->textAlignment()), column.alignment);
        EXPECT_EQ(horizontal(view->item(0, column.column)->textAlignment()), column.alignment);
    }
}

TEST_F(MainWindowTest, ListsHaveGridLinesAndNeitherSortNorEdit)
{
    for (const auto& [name, which] : kLists) {
        SCOPED_TRACE(name);
        QTableWidget* view = list(name);
        for (const char* serial : {"2", "1"})
            m_window.SetCellText(which, m_window.AppendRow(which), 0, serial);
        EXPECT_TRUE(view->showGrid());
        EXPECT_TRUE(view->horizontalHeader()->isVisible());
        EXPECT_TRUE(view->horizontalHeader()->sectionsClickable());

        QHeaderView* header = view->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(0) + 10, header->height() / 2));
        EXPECT_EQ(m_window.GetCellText(which, 0, 0), "2");
        EXPECT_TRUE(view->selectedItems().isEmpty());

        const QRect cell = view->visualItemRect(view->item(0, 0));
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::keyClick(view, Qt::Key_F2);
        EXPECT_EQ(view->viewport()->findChild<QLineEdit*>(), nullptr);
        EXPECT_EQ(m_window.GetCellText(which, 0, 0), "2");
    }
}

TEST_F(MainWindowTest, GivesOnlyTheThreadListCheckBoxesAllClearOnNewRows)
{
    for (ListView which : {超级列表框1, 超级列表框2})
        for (int row = 0; row < 2; ++row)
            m_window.AppendRow(which);
    QTableWidget* threads = list("超级列表框1");
    QTableWidget* images = list("超级列表框2");
    for (int row = 0; row < 2; ++row) {
        EXPECT_TRUE(threads->item(row, 0)->flags().testFlag(Qt::ItemIsUserCheckable));
        EXPECT_EQ(threads->item(row, 0)->checkState(), Qt::Unchecked);
        EXPECT_FALSE(threads->item(row, 1)->flags().testFlag(Qt::ItemIsUserCheckable));
        EXPECT_FALSE(images->item(row, 0)->flags().testFlag(Qt::ItemIsUserCheckable));
        EXPECT_FALSE(images->item(row, 0)->data(Qt::CheckStateRole).isValid());
    }
}

struct SelectionCase
{
    const char* list;
    ListView which;
    int clickedColumn;
    std::vector<int> selectedColumns;
};

const SelectionCase kSelections[] = {
    {"超级列表框1", 超级列表框1, 2, {0, 1, 2, 3, 4}},
    {"超级列表框2", 超级列表框2, 1, {0}},
};

// Pixels, because whether the selection shows is a matter of painting.
TEST_F(MainWindowTest, SelectsOneRowShownOnlyWhileTheListHasTheFocus)
{
    for (const SelectionCase& selection : kSelections) {
        SCOPED_TRACE(selection.list);
        QTableWidget* view = list(selection.list);
        for (int row = 0; row < 3; ++row)
            m_window.AppendRow(selection.which);
        for (int row : {1, 2}) {
            const QRect clicked = view->visualItemRect(view->item(row, selection.clickedColumn));
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, clicked.center());
        }
        std::vector<int> columns;
        for (const QModelIndex& index : view->selectionModel()->selectedIndexes()) {
            EXPECT_EQ(index.row(), 2);
            columns.push_back(index.column());
        }
        std::sort(columns.begin(), columns.end());
        EXPECT_EQ(columns, selection.selectedColumns);

        const QPoint firstCell = view->visualItemRect(view->item(2, 0)).center();
        const QPoint lastCell =
            view->visualItemRect(view->item(2, view->columnCount() - 1)).center();
        const QColor base = view->palette().color(QPalette::Base);
        ASSERT_TRUE(view->hasFocus());
        QImage painted = view->viewport()->grab().toImage();
        EXPECT_NE(painted.pixelColor(firstCell), base);
        EXPECT_EQ(painted.pixelColor(lastCell) != base, selection.selectedColumns.size() > 1);

        control(m_window, "编辑框1")->setFocus();
        painted = view->viewport()->grab().toImage();
        EXPECT_EQ(painted.pixelColor(firstCell), base);
        EXPECT_EQ(painted.pixelColor(lastCell), base);
    }
}

TEST_F(MainWindowTest, KeepsThePageColumnClosedButFilledUntilItsDividerIsDragged)
{
    const int row = m_window.AppendRow(超级列表框1);
    m_window.SetCellText(超级列表框1, row, 3, "7");
    EXPECT_EQ(m_window.GetCellText(超级列表框1, row, 3), "7");
    QHeaderView* header = list("超级列表框1")->horizontalHeader();
    ASSERT_EQ(header->sectionSize(3), 0);

    const QPoint divider(header->sectionViewportPosition(4), header->height() / 2);
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, divider);
    QTest::mouseMove(header->viewport(), divider + QPoint(40, 0));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, divider + QPoint(40, 0));
    EXPECT_EQ(header->sectionSize(3), 40);
    EXPECT_EQ(header->sectionSize(2), 200);
}

TEST_F(MainWindowTest, TabVisitsAllSevenControlsInTurn)
{
    enableAllButtons();
    control(m_window, "编辑框1")->setFocus();
    std::vector<std::string> visited;
    for (std::size_t step = 0; step < std::size(kControlNames); ++step) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        visited.push_back(focus->objectName().toStdString());
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    EXPECT_EQ(visited,
              std::vector<std::string>(std::begin(kControlNames), std::end(kControlNames)));
    EXPECT_EQ(QApplication::focusWidget(), control(m_window, "编辑框1"));
}

TEST_F(MainWindowTest, EnterClicksNothingWhateverHasTheFocus)
{
    enableAllButtons();
    for (const char* name : kControlNames) {
        QWidget* widget = control(m_window, name);
        widget->setFocus();
        ASSERT_TRUE(widget->hasFocus()) << name;
        QTest::keyClick(widget, Qt::Key_Return);
        QTest::keyClick(widget, Qt::Key_Enter);
    }
    EXPECT_TRUE(clicks().empty());
    EXPECT_FALSE(m_window.IsClosed());
}

class EscapeTest : public MainWindowTest, public ::testing::WithParamInterface<std::size_t>
{
};

TEST_P(EscapeTest, EscClosesTheWindowFromTheControl)
{
    enableAllButtons();
    QWidget* widget = control(m_window, kControlNames[GetParam()]);
    widget->setFocus();
    ASSERT_TRUE(widget->hasFocus());
    QTest::keyClick(widget, Qt::Key_Escape);
    EXPECT_TRUE(m_window.IsClosed());
    EXPECT_FALSE(m_window.isVisible());
    EXPECT_TRUE(clicks().empty());
}

INSTANTIATE_TEST_SUITE_P(EveryControl, EscapeTest,
                         ::testing::Range<std::size_t>(0, std::size(kControlNames)),
                         [](const auto& info) { return std::string(kControlLabels[info.param]); });

} // namespace
} // namespace vantrel
