#pragma once

#include "web/text.h"

namespace vantrel {

// Decodes the character references that pages write in attribute values: &amp; &lt;
// &gt; &quot; &#39; and numeric ones (&#20013; &#x4E2D;), into code page 936. Anything
// else, an unknown name or a reference without its ";" included, stays as it stands.
Text DecodeCharacterReferences(const Text& text);

} // namespace vantrel
