#include "harvest/forum_base.h"

namespace vantrel {

namespace {

Text& currentBase()
{
    static Text base = kForumBase;
    return base;
}

} // namespace

Text ForumBase()
{
    return currentBase();
}

void SetForumBase(const Text& base)
{
    currentBase() = base.empty() ? Text(kForumBase) : base;
}

} // namespace vantrel
