#include "harvest/delay_with_events.h"

#include "ui/window.h"

#include <chrono>

namespace vantrel {

bool DelayWithEvents(int milliseconds)
{
    using Clock = std::chrono::steady_clock;
    if (milliseconds <= 0)
        return !window().IsClosed();
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (Clock::time_point now = Clock::now(); now < deadline; now = Clock::now()) {
        // Rounded up, so that a fraction of a millisecond left is still slept, not spun.
        const auto remaining = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        if (!window().WaitForEvents(static_cast<int>(remaining.count())))
            return false;
    }
    return true;
}

} // namespace vantrel
