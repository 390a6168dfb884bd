#include "app/shared_objects.h"

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
}

} // namespace vantrel
