#include "regex/regex_object.h"

#include "web/code_page.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>
#include <string>
#include <vector>

namespace vantrel {

namespace {

// The compiled form of one pattern under one set of compile options. Matching only
// reads it, so copies of an instance share it.
struct CompiledPattern
{
    Text pattern;
    std::uint32_t options = 0;
    pcre2_code* code = nullptr;
    bool jitted = false;
    std::uint32_t groupCount = 0;

    CompiledPattern() = default;
    CompiledPattern(const CompiledPattern&) = delete;
    CompiledPattern& operator=(const CompiledPattern&) = delete;
    ~CompiledPattern() { pcre2_code_free(code); }
};

struct MatchDataDeleter
{
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
using MatchData = std::unique_ptr<pcre2_match_data, MatchDataDeleter>;

PCRE2_SPTR units(const std::u16string& text)
{
    return reinterpret_cast<PCRE2_SPTR>(text.data());
}

std::shared_ptr<const CompiledPattern> compilePattern(const Text& pattern, std::uint32_t options)
{
    pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
    if (context == nullptr) {
        return nullptr;
    }
    // A line feed alone ends a line, so "." still consumes a carriage return.
    pcre2_set_newline(context, PCRE2_NEWLINE_LF);
    const std::u16string wide = LocalToUtf16(pattern);
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code* code =
        pcre2_compile(units(wide), wide.size(), options, &errorCode, &errorOffset, context);
    pcre2_compile_context_free(context);
    if (code == nullptr) {
        return nullptr;
    }
    auto compiled = std::make_shared<CompiledPattern>();
    compiled->pattern = pattern;
    compiled->options = options;
    compiled->code = code;
    compiled->jitted = pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) == 0;
    pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &compiled->groupCount);
    return compiled;
}

int matchAt(const CompiledPattern& compiled, const std::u16string& subject, PCRE2_SIZE start,
            std::uint32_t options, pcre2_match_data* data)
{
    if (compiled.jitted) {
        const int result = pcre2_jit_match(compiled.code, units(subject), subject.size(), start,
                                           options, data, nullptr);
        // The interpreter keeps its backtracking on the heap, so it goes on where the
        // machine stack of the compiled matcher ran out.
        if (result != PCRE2_ERROR_JIT_STACKLIMIT) {
            return result;
        }
    }
    return pcre2_match(compiled.code, units(subject), subject.size(), start, options | PCRE2_NO_JIT,
                       data, nullptr);
}

// Translates the usual "$1", "$&" and "$$" of a replacement into the substitution
// syntax; any other "$" stands for itself.
std::u16string substitutionOf(std::u16string_view replacement, std::uint32_t groupCount)
{
    const auto digit = [&](std::size_t i) {
        return i < replacement.size() && replacement[i] >= u'0' && replacement[i] <= u'9'
                   ? static_cast<int>(replacement[i] - u'0')
                   : -1;
    };
    const auto reference = [](int group) {
        std::u16string text = u"${";
        for (const char unit : std::to_string(group)) {
            text += static_cast<char16_t>(unit);
        }
        return text + u"}";
    };
    std::u16string result;
    result.reserve(replacement.size());
    for (std::size_t i = 0; i < replacement.size(); ++i) {
        const char16_t unit = replacement[i];
        if (unit != u'$') {
            result += unit;
            continue;
        }
        const int first = digit(i + 1);
        const int second = digit(i + 2);
        if (i + 1 < replacement.size() && replacement[i + 1] == u'$') {
            result += u"$$";
            ++i;
        } else if (i + 1 < replacement.size() && replacement[i + 1] == u'&') {
            result += u"${0}";
            ++i;
        } else if (first >= 0 && second >= 0 && first * 10 + second >= 1 &&
                   static_cast<std::uint32_t>(first * 10 + second) <= groupCount) {
            result += reference(first * 10 + second);
            i += 2;
        } else if (first >= 1 && static_cast<std::uint32_t>(first) <= groupCount) {
            result += reference(first);
            ++i;
        } else {
            result += u"$$";
        }
    }
    return result;
}

} // namespace

struct RegexObject::State
{
    Text pattern;
    bool global = true;
    std::shared_ptr<const CompiledPattern> compiled;
    std::u16string subject;
    // Per match, the start and end of the whole match and of each group, in UTF-16
    // units of the subject; PCRE2_UNSET for a group that took no part.
    std::vector<PCRE2_SIZE> offsets;
    std::size_t matchCount = 0;

    std::size_t stride() const { return 2 * (static_cast<std::size_t>(compiled->groupCount) + 1); }

    Text textAt(std::size_t match, std::size_t slot) const
    {
        const PCRE2_SIZE begin = offsets[match * stride() + 2 * slot];
        const PCRE2_SIZE end = offsets[match * stride() + 2 * slot + 1];
        if (begin == PCRE2_UNSET || end <= begin) {
            return {};
        }
        return Utf16ToLocal(std::u16string_view(subject).substr(begin, end - begin));
    }

    // Collects the matches from left to right. After an empty match the next search
    // starts at the same place but may not be empty there, which is the anchored retry
    // followed by a step of one unit, in one call the compiled matcher accepts.
    bool collectMatches()
    {
        MatchData data(pcre2_match_data_create_from_pattern(compiled->code, nullptr));
        if (!data) {
            return false;
        }
        const PCRE2_SIZE* vector = pcre2_get_ovector_pointer(data.get());
        const std::size_t slots = stride();
        PCRE2_SIZE start = 0;
        std::uint32_t options = 0;
        for (;;) {
            const int result = matchAt(*compiled, subject, start, options, data.get());
            if (result == PCRE2_ERROR_NOMATCH) {
                return true;
            }
            if (result < 0) {
                return false;
            }
            offsets.insert(offsets.end(), vector, vector + slots);
            ++matchCount;
            // \K inside a lookahead can end a match before its start; stop rather than go back.
            if (!global || vector[1] < vector[0]) {
                return true;
            }
            start = vector[1];
            options = vector[0] == vector[1] ? PCRE2_NOTEMPTY_ATSTART : 0;
        }
    }
};

RegexObject::RegexObject() = default;
RegexObject::~RegexObject() = default;

RegexObject::RegexObject(const RegexObject& other)
    : m_state(other.m_state ? std::make_unique<State>(*other.m_state) : nullptr)
{}

RegexObject& RegexObject::operator=(const RegexObject& other)
{
    if (this != &other) {
        m_state = other.m_state ? std::make_unique<State>(*other.m_state) : nullptr;
    }
    return *this;
}

bool RegexObject::Create(const Text& pattern, const Text& subject, bool caseSensitive,
                         bool multiline, bool global)
{
    if (!m_state) {
        m_state = std::make_unique<State>();
    }
    State& state = *m_state;
    const std::uint32_t options =
        (caseSensitive ? 0u : PCRE2_CASELESS) | (multiline ? PCRE2_MULTILINE : 0u);
    state.pattern = pattern;
    state.global = global;
    state.offsets.clear();
    state.matchCount = 0;
    if (!state.compiled || state.compiled->pattern != pattern ||
        state.compiled->options != options) {
        state.compiled = compilePattern(pattern, options);
    }
    state.subject = LocalToUtf16(subject);
    if (!state.compiled) {
        return false;
    }
    return state.collectMatches();
}

Text RegexObject::GetPattern() const
{
    return m_state ? m_state->pattern : Text();
}

Text RegexObject::Replace(const Text& replacement) const
{
    if (!m_state || !m_state->compiled) {
        return {};
    }
    const State& state = *m_state;
    const std::u16string substitution =
        substitutionOf(LocalToUtf16(replacement), state.compiled->groupCount);
    const std::uint32_t options =
        PCRE2_SUBSTITUTE_OVERFLOW_LENGTH | (state.global ? PCRE2_SUBSTITUTE_GLOBAL : 0u);
    std::u16string result(state.subject.size() + substitution.size() + 16, u'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        PCRE2_SIZE length = result.size();
        const int status =
            pcre2_substitute(state.compiled->code, units(state.subject), state.subject.size(), 0,
                             options, nullptr, nullptr, units(substitution), substitution.size(),
                             reinterpret_cast<PCRE2_UCHAR*>(result.data()), &length);
        if (status >= 0) {
            result.resize(length);
            return Utf16ToLocal(result);
        }
        if (status != PCRE2_ERROR_NOMEMORY) {
            return {};
        }
        // The first call told the length the result needs, terminating zero included.
        result.assign(length, u'\0');
    }
    return {};
}

int RegexObject::MatchCount() const
{
    return m_state ? static_cast<int>(m_state->matchCount) : 0;
}

Text RegexObject::MatchText(int matchIndex) const
{
    if (matchIndex < 1 || matchIndex > MatchCount()) {
        return {};
    }
    return m_state->textAt(static_cast<std::size_t>(matchIndex - 1), 0);
}

Text RegexObject::SubMatchText(int matchIndex, int subMatchIndex) const
{
    if (matchIndex < 1 || matchIndex > MatchCount() || subMatchIndex < 1 ||
        subMatchIndex > SubMatchCount()) {
        return {};
    }
    return m_state->textAt(static_cast<std::size_t>(matchIndex - 1),
                           static_cast<std::size_t>(subMatchIndex));
}

int RegexObject::SubMatchCount() const
{
    return MatchCount() > 0 ? static_cast<int>(m_state->compiled->groupCount) : 0;
}

} // namespace vantrel
