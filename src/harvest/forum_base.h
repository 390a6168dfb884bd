#pragma once

#include "web/text.h"

namespace vantrel {

// The forum service's base address: plain HTTP, its host, no trailing slash. The list
// and thread page addresses are built on it.
inline constexpr char kForumBase[] = "http://tieba.baidu.com";

Text ForumBase();
// Points the commands at another base, for tests; an empty base restores kForumBase.
void SetForumBase(const Text& base);

} // namespace vantrel
