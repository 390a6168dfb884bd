#pragma once

#include "web/text.h"

namespace vantrel {

// The list page of a forum: the name (936, as typed) goes into the query as UTF-8,
// percent-encoded as a query component, so "&", "#", "%" and blanks stay part of it.
Text ListPageUrl(const Text& forumName);
// The page of a thread by its link as the list page writes it (normally "/p/<id>").
Text ThreadPageUrl(const Text& threadLink);

} // namespace vantrel
