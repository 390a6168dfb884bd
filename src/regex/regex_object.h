#pragma once

#include "web/text.h"

#include <memory>

namespace vantrel {

// Runs one regular expression over one subject and answers for its matches.
// Matches and groups count from 1; anything out of range reads as the empty Text.
// The subject is matched as UTF-16 characters, so "." takes a whole Chinese character.
class RegexObject
{
public:
    RegexObject();
    ~RegexObject();
    RegexObject(const RegexObject& other);
    RegexObject& operator=(const RegexObject& other);

    // True when the pattern compiled and the whole subject was searched. A search that
    // stops on an error (a match limit reached) keeps the matches found before it.
    bool Create(const Text& pattern, const Text& subject, bool caseSensitive = false,
                bool multiline = true, bool global = true);
    Text GetPattern() const;
    Text Replace(const Text& replacement) const;
    int MatchCount() const;
    Text MatchText(int matchIndex) const;
    Text SubMatchText(int matchIndex, int subMatchIndex) const;
    int SubMatchCount() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace vantrel
