#include "web/page_request.h"

namespace vantrel {

// Provisional: no exchange is made until the client lands.
Text RequestPage(const Text&, const Text&, const Text&, std::int32_t) { return {}; }
void InitRequestState() {}
void ReleaseRequestState() {}

} // namespace vantrel
