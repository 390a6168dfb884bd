#include "support/message_box_answerer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

namespace vantrel::test {
namespace {

constexpr std::chrono::milliseconds kPollInterval{5};

std::string utf8(const QString& text)
{
    return text.toStdString();
}

void expectProgramsKind(const QMessageBox& box)
{
    const std::string text = utf8(box.text());
    EXPECT_EQ(utf8(box.windowTitle()), "信息：") << "box: " << text;
    EXPECT_EQ(box.icon(), QMessageBox::NoIcon) << "box: " << text;
    EXPECT_EQ(box.parentWidget(), nullptr) << "box: " << text;
    EXPECT_EQ(box.windowModality(), Qt::ApplicationModal) << "box: " << text;
    const QList<QAbstractButton*> buttons = box.buttons();
    EXPECT_EQ(buttons.size(), 1) << "box: " << text;
    EXPECT_NE(box.button(QMessageBox::Ok), nullptr) << "box: " << text;
}

} // namespace

MessageBoxAnswerer::MessageBoxAnswerer(QStringList expectedTexts)
    : m_expected(std::move(expectedTexts))
{
    // Timers fire inside the box's own event loop, where the code under test waits.
    m_poll.setInterval(kPollInterval);
    connect(&m_poll, &QTimer::timeout, this, &MessageBoxAnswerer::answerOpenBox);
    m_poll.start();
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    m_poll.stop();
    for (qsizetype missing = m_answered; missing < m_expected.size(); ++missing)
        ADD_FAILURE() << "expected message box never appeared: " << utf8(m_expected[missing]);
}

bool MessageBoxAnswerer::waitUntilAllAnswered(std::chrono::milliseconds deadline)
{
    return QTest::qWaitFor([this] { return m_answered >= m_expected.size(); },
                           static_cast<int>(deadline.count()));
}

void MessageBoxAnswerer::answerOpenBox()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box) {
        ADD_FAILURE() << "a modal window that is no message box: "
                      << modal->metaObject()->className() << " " << utf8(modal->windowTitle());
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->done(QDialog::Rejected);
        else
            modal->close();
        return;
    }
    m_seen.append(box->text());
    expectProgramsKind(*box);
    if (m_answered < m_expected.size()) {
        EXPECT_EQ(utf8(box->text()), utf8(m_expected[m_answered]))
            << "message box " << m_answered + 1 << " of " << m_expected.size();
        ++m_answered;
    } else {
        ADD_FAILURE() << "unexpected message box: " << utf8(box->text());
    }
    if (QAbstractButton* ok = box->button(QMessageBox::Ok))
        ok->click();
    else
        box->done(QMessageBox::Cancel);
}

} // namespace vantrel::test
