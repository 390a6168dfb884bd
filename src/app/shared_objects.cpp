#include "app/shared_objects.h"

#include "harvest/fetch_url.h"
#include "web/page_request.h"

namespace vantrel {

std::unique_ptr<RegexObject> ThreadRegex;
std::unique_ptr<RegexObject> ImageRegex;

void InitGlobals()
{
    ThreadRegex = std::make_unique<RegexObject>();
    InitRequestState();
    ImageRegex = std::make_unique<RegexObject>();
}

void ReleaseGlobals()
{
    ThreadRegex.reset();
    ReleaseRequestState();
    ImageRegex.reset();
    // The picture download's client lives as long as the page request's and must go
    // before libcurl itself.
    ReleaseFetchUrlHandle();
}

} // namespace vantrel
