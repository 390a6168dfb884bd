#include "harvest/delay_with_events.h"
#include "support/window_driver.h"
#include "ui/main_window.h"

#include <chrono>
#include <gtest/gtest.h>

#include <QTimer>

namespace vantrel {
namespace {

using Clock = std::chrono::steady_clock;

class DelayWithEventsTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(test::showMainWindow(m_window)); }

    MainWindow m_window;
};

TEST_F(DelayWithEventsTest, WaitsAtLeastTheGivenTimeWhileEventsRun)
{
    int timersFired = 0;
    QTimer::singleShot(0, &m_window, [&timersFired] { ++timersFired; });
    QTimer::singleShot(10, &m_window, [&timersFired] { ++timersFired; });
    const Clock::time_point start = Clock::now();
    EXPECT_TRUE(DelayWithEvents(60));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(60));
    EXPECT_EQ(timersFired, 2);
}

TEST_F(DelayWithEventsTest, ReturnsAtOnceForNoTime)
{
    bool timerFired = false;
    QTimer::singleShot(0, &m_window, [&timerFired] { timerFired = true; });
    for (int milliseconds : {0, -1, -500})
        EXPECT_TRUE(DelayWithEvents(milliseconds));
    EXPECT_FALSE(timerFired);
}

TEST_F(DelayWithEventsTest, StopsAsSoonAsTheWindowCloses)
{
    QTimer::singleShot(0, &m_window, [this] { m_window.close(); });
    // Were the close not noticed, this would outlast the test's time-out.
    EXPECT_FALSE(DelayWithEvents(24 * 60 * 60 * 1000));
    EXPECT_FALSE(DelayWithEvents(0));
}

} // namespace
} // namespace vantrel
