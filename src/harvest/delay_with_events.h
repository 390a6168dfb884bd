#pragma once

namespace vantrel {

// Waits at least the given milliseconds by the monotonic clock while the window handles
// its events, sleeping in between rather than spinning. Returns at once for 0 or less.
// False as soon as the window has been closed, so the caller can stop.
[[nodiscard]] bool DelayWithEvents(int milliseconds);

} // namespace vantrel
