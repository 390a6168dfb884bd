#include "regex/regex_object.h"

namespace vantrel {

// Provisional: an object that never matches, until the engine lands.
struct RegexObject::State
{
};

RegexObject::RegexObject() = default;
RegexObject::~RegexObject() = default;
RegexObject::RegexObject(const RegexObject&) {}
RegexObject& RegexObject::operator=(const RegexObject&) { return *this; }
bool RegexObject::Create(const Text&, const Text&, bool, bool, bool) { return false; }
Text RegexObject::GetPattern() const { return {}; }
Text RegexObject::Replace(const Text&) const { return {}; }
int RegexObject::MatchCount() const { return 0; }
Text RegexObject::MatchText(int) const { return {}; }
Text RegexObject::SubMatchText(int, int) const { return {}; }
int RegexObject::SubMatchCount() const { return 0; }

} // namespace vantrel
