#include "ui/main_window.h"

#include "ui/current_window.h"
#include "ui/fonts.h"
#include "ui/list_view.h"
#include "ui/message_box.h"
#include "ui/window_icon.h"
#include "web/code_page.h"

#include <algorithm>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeySequence>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QWindow>

namespace vantrel {
namespace {

const char kTitle[] = "Vantrel_v1.0";

constexpr ListColumn kThreadColumns[] = {
    {"选择", 40, Qt::AlignLeft},         {"序号", 50, Qt::AlignHCenter},
    {"贴子名称", 200, Qt::AlignHCenter}, {"页码", 0, Qt::AlignHCenter},
    {"贴吧地址", 100, Qt::AlignHCenter},
};
constexpr ListColumn kImageColumns[] = {
    {"序号", 50, Qt::AlignLeft},
    {"图片地址", 400, Qt::AlignHCenter},
};

struct ButtonPlace
{
    Button button;
    const char* name;
    const char* caption;
    QRect geometry;
};

// The controls in the order Tab visits them.
const QRect kEditBoxGeometry{24, 8, 216, 32};
const ButtonPlace kTopButtons[] = {
    {按钮1, "按钮1", "确定", {272, 8, 80, 32}},
    {按钮2, "按钮2", "清空列表", {392, 8, 80, 32}},
};
const QRect kThreadListGeometry{16, 56, 392, 192};
const QRect kImageListGeometry{416, 56, 408, 192};
const ButtonPlace kBottomButtons[] = {
    {按钮4, "按钮4", "一键解析图片地址", {104, 256, 224, 32}},
    {按钮3, "按钮3", "图片一键下载", {552, 256, 168, 32}},
};

QString toQString(const Text& text)
{
    return QString::fromStdU16String(LocalToUtf16(text));
}
Text toText(const QString& text)
{
    return Utf16ToLocal(text.toStdU16String());
}

} // namespace

MainWindow::MainWindow(const EventBindings& bindings)
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QString::fromUtf8(kTitle));
    setWindowIcon(programIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    setFixedSize(kOuterSize);

    const auto addButton = [this, &bindings](const ButtonPlace& place) {
        auto* button = new QPushButton(QString::fromUtf8(place.caption), this);
        button->setObjectName(QString::fromUtf8(place.name));
        button->setGeometry(place.geometry);
        button->setAutoDefault(false);
        button->setDefault(false);
        if (const Handler handler = bindings.buttonClicked[place.button])
            connect(button, &QPushButton::clicked, this, [handler] { handler(); });
        m_buttons[place.button] = button;
    };

    m_editBox = new QLineEdit(this);
    m_editBox->setObjectName(QStringLiteral("编辑框1"));
    m_editBox->setGeometry(kEditBoxGeometry);
    m_editBox->setFont(editBoxFont());
    QPalette editColours = m_editBox->palette();
    editColours.setColor(QPalette::Text, Qt::black);
    editColours.setColor(QPalette::Base, Qt::white);
    m_editBox->setPalette(editColours);

    for (const ButtonPlace& place : kTopButtons)
        addButton(place);

    auto* threadList = new ListViewWidget({kThreadColumns, true, false}, this);
    threadList->setObjectName(QStringLiteral("超级列表框1"));
    threadList->setGeometry(kThreadListGeometry);
    threadList->setFont(threadListFont());
    m_lists[超级列表框1] = threadList;

    auto* imageList = new ListViewWidget({kImageColumns, false, true}, this);
    imageList->setObjectName(QStringLiteral("超级列表框2"));
    imageList->setGeometry(kImageListGeometry);
    m_lists[超级列表框2] = imageList;

    for (const ButtonPlace& place : kBottomButtons)
        addButton(place);

    // Esc closes the window from whichever control has the focus, as the close button does.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    SetCurrentWindow(this);
    if (bindings.windowCreated)
        bindings.windowCreated();
}

MainWindow::~MainWindow()
{
    ClearCurrentWindow(this);
}

void MainWindow::showCentred()
{
    // The platform window has to exist before the frame it will get is known.
    winId();
    fitOuterSize();
    const QRect screenArea = screen()->geometry();
    move(screenArea.x() + (screenArea.width() - kOuterSize.width()) / 2,
         screenArea.y() + (screenArea.height() - kOuterSize.height()) / 2);
    show();
    // Without a window manager nothing else makes the window active, and Esc needs that.
    activateWindow();
}

// The fixed size applies to the client area; where the window system draws a frame, the
// client area shrinks by it so that the frame's outer edge keeps the window's size.
void MainWindow::fitOuterSize()
{
    const QMargins frame = windowHandle()->frameMargins();
    const QSize margins(frame.left() + frame.right(), frame.top() + frame.bottom());
    if (margins == m_frameMargins)
        return;
    m_frameMargins = margins;
    setFixedSize(kOuterSize - margins);
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    // A window manager reports its frame only once it has taken the window over.
    if (windowHandle())
        fitOuterSize();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    m_closed = true;
    // A command waiting in a message box goes on, and then stops at its next step.
    for (QMessageBox* box : m_openMessages)
        box->reject();
    event->accept();
    emit closed();
}

void MainWindow::SetDisabled(Button button, bool disabled)
{
    m_buttons[button]->setDisabled(disabled);
}

Text MainWindow::GetEditText() const
{
    if (m_closed)
        return {};
    return toText(m_editBox->text());
}

void MainWindow::DeleteAllRows(ListView list)
{
    if (!m_closed)
        m_lists[list]->setRowCount(0);
}

int MainWindow::AppendRow(ListView list)
{
    if (m_closed)
        return -1;
    return m_lists[list]->appendRow();
}

void MainWindow::SetCellText(ListView list, int row, int column, const Text& text)
{
    if (!m_closed)
        m_lists[list]->setCellText(row, column, toQString(text));
}

Text MainWindow::GetCellText(ListView list, int row, int column) const
{
    if (m_closed)
        return {};
    return toText(m_lists[list]->cellText(row, column));
}

int MainWindow::RowCount(ListView list) const
{
    if (m_closed)
        return 0;
    return m_lists[list]->rowCount();
}

int MainWindow::ShowMessage(const Text& text, int)
{
    if (m_closed)
        return 0;
    const std::unique_ptr<QMessageBox> box = createMessageBox(toQString(text));
    m_openMessages.push_back(box.get());
    const int answer = box->exec();
    m_openMessages.erase(std::find(m_openMessages.begin(), m_openMessages.end(), box.get()));
    return answer == QMessageBox::Ok ? 1 : 0;
}

bool MainWindow::PumpEvents()
{
    if (m_closed)
        return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return !m_closed;
}

bool MainWindow::WaitForEvents(int maxMilliseconds)
{
    if (m_closed)
        return false;
    if (maxMilliseconds > 0) {
        // Whatever arrives first, an event or this timer, ends the wait.
        QTimer wakeUp;
        wakeUp.setTimerType(Qt::PreciseTimer);
        wakeUp.setSingleShot(true);
        wakeUp.start(maxMilliseconds);
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return PumpEvents();
}

bool MainWindow::IsClosed() const
{
    return m_closed;
}

} // namespace vantrel
