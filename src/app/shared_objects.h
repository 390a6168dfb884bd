#pragma once

#include "regex/regex_object.h"

#include <memory>

namespace vantrel {

// The objects that the commands share, from start-up to exit. ThreadRegex keeps the
// matches of the last listed forum page, ImageRegex those of the last thread page.
// The request state of the page request lives with it in web/page_request.
extern std::unique_ptr<RegexObject> ThreadRegex;
extern std::unique_ptr<RegexObject> ImageRegex;

// Creates the shared objects, at start-up.
void InitGlobals();
// The exit hook: releases them again, in the order they were declared.
void ReleaseGlobals();

} // namespace vantrel
