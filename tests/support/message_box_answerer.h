#pragma once

#include <chrono>

#include <QObject>
#include <QStringList>
#include <QTimer>

namespace vantrel::test {

// Answers the message boxes that the code under test shows, one after the other, while it
// waits in them. Each box must be the program's kind (caption "信息：", no icon, one OK
// button, no owner, modal for the whole application) and show the next expected text; then
// OK is clicked. An unexpected box, a box of the wrong kind or any other modal window fails
// the test and is closed all the same, so the test never hangs on it. When the answerer goes
// out of scope, a box that was expected but never appeared fails the test.
//
//   MessageBoxAnswerer boxes({"全部获取完毕"});
//   QTest::mouseClick(button1, Qt::LeftButton); // returns once the box has been answered
//
// A box that comes later, from an event: ASSERT_TRUE(boxes.waitUntilAllAnswered(5s)).
// No box at all: MessageBoxAnswerer noBoxes({}).
class MessageBoxAnswerer : public QObject
{
public:
    explicit MessageBoxAnswerer(QStringList expectedTexts);
    ~MessageBoxAnswerer() override;

    // Lets events run until every expected box has been answered or the deadline has passed.
    [[nodiscard]] bool waitUntilAllAnswered(std::chrono::milliseconds deadline);
    // The texts of every box seen, expected or not, in order.
    const QStringList& seenTexts() const { return m_seen; }

private:
    void answerOpenBox();

    QStringList m_expected;
    QStringList m_seen;
    int m_answered = 0;
    QTimer m_poll;
};

} // namespace vantrel::test
