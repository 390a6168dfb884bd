#pragma once

#include "web/text.h"

#include <cstdint>

namespace vantrel {

// One HTTP exchange on a worker thread of its own; the caller blocks until it has ended or
// the time limit has passed.
// Returns the response body up to its first zero byte, unconverted; the empty Text when
// the exchange did not complete in time. A time limit of 0 means none.
Text RequestPage(const Text& url, const Text& method = {}, const Text& body = {},
                 std::int32_t timeLimitMilliseconds = 0);

// The request state that lives from start-up to exit: InitRequestState creates the empty
// holder of the HTTP client; ReleaseRequestState ends any worker still running, frees the
// request texts and then clears and frees that holder. No libcurl call is made for this
// state once it has returned.
void InitRequestState();
void ReleaseRequestState();

} // namespace vantrel
