#pragma once

#include "web/text.h"

namespace vantrel {

// The 1-based byte position where sought first occurs in text, or -1. The search steps
// over whole characters of code page 936, so a match never begins on a trail byte.
// An empty sought is never found.
int FindInText(const Text& text, const Text& sought);

} // namespace vantrel
