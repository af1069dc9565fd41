// SPDX-License-Identifier: GPL-3.0-or-later
#include "RegexExpansion.h"

#include <regex.h>

#include <algorithm>

namespace calidra {
namespace {

// The matcher refuses counts beyond 32767; larger ones are read as this.
constexpr qsizetype CountCap = 32768;

// Ways to match the empty string are told apart only up to "more than one".
int cappedWays(int ways)
{
    return std::min(ways, 2);
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

void RegexExpansion::Group::commitLast()
{
    earlier += last;
    branchEmptyWays = cappedWays(branchEmptyWays * lastEmptyWays);
    last = 0;
    lastEmptyWays = 1;
}

RegexExpansion::RegexExpansion(QByteArrayView pattern) : m_pattern(pattern), m_groups(1)
{}

int RegexExpansion::errorFor(QByteArrayView pattern)
{
    RegexExpansion expansion(pattern);
    return expansion.scan() ? 0 : expansion.m_error;
}

bool RegexExpansion::scan()
{
    while (m_at < m_pattern.size()) {
        if (!step()) {
            return false;
        }
    }
    return true;
}

// Takes the construct at the current position; false once the limit is passed.
bool RegexExpansion::step()
{
    switch (m_pattern[m_at]) {
    case '(':
        return openGroup();
    case ')':
        closeGroup();
        return true;
    case '|':
        return alternative();
    case '*':
    case '?':
        ++m_at;
        return repeat(1, true);
    case '+':
        ++m_at;
        return repeat(2, false);
    case '{':
        return interval();
    case '[':
        bracket();
        return true;
    case '^':
    case '$':
        character(1, 1);
        return true;
    case '\\':
        character(2, isAnchorEscape(m_at + 1) ? 1 : 0);
        return true;
    default:
        character(1);
        return true;
    }
}

void RegexExpansion::character(qsizetype length, int emptyWays)
{
    Group& group = m_groups.back();
    group.commitLast();
    group.last = 1;
    group.lastEmptyWays = emptyWays;
    m_at = std::min(m_at + length, m_pattern.size());
}

// "\b", "\B", "\<", "\>", "\`" and "\'" match the empty string.
bool RegexExpansion::isAnchorEscape(qsizetype at) const
{
    return at < m_pattern.size() && QByteArrayView("bB<>`'").contains(m_pattern[at]);
}

// The group's node counts when it opens, so that deep nesting is bounded too.
bool RegexExpansion::openGroup()
{
    m_groups.emplace_back();
    ++m_at;
    return ++m_added <= MaximumAddedNodes;
}

// A closed group is one piece of the group around it: its contents and the
// group node itself.
void RegexExpansion::closeGroup()
{
    if (m_groups.size() == 1) {
        character(1); // an unmatched ")" is a character
        return;
    }
    Group inner = m_groups.back();
    m_groups.pop_back();
    inner.commitLast();
    Group& outer = m_groups.back();
    outer.commitLast();
    outer.last = 1 + inner.earlier;
    outer.lastEmptyWays = cappedWays(inner.earlierEmptyWays + inner.branchEmptyWays);
    ++m_at;
}

bool RegexExpansion::alternative()
{
    Group& group = m_groups.back();
    group.commitLast();
    group.earlier += 1;
    group.earlierEmptyWays = cappedWays(group.earlierEmptyWays + group.branchEmptyWays);
    group.branchEmptyWays = 1;
    ++m_at;
    return ++m_added <= MaximumAddedNodes;
}

// The operator's node wraps the copies. Every piece stays below the pattern's
// length plus the limit until the check fails, so the products cannot
// overflow. An operand that can match the empty string is refused when it
// would be copied, or when it can match it in more than one way already: the
// matcher's building time grows exponentially with such repetitions
// ("(a?\?){40,}", "(a?|b?){40,}", "^(){3,}{3,}{3,}").
bool RegexExpansion::repeat(quint64 copies, bool optional)
{
    Group& group = m_groups.back();
    m_added += group.last * (copies - 1) + 1;
    if (m_added > MaximumAddedNodes) {
        return false;
    }
    if (group.last > 0 && group.lastEmptyWays > 0 && (copies > 1 || group.lastEmptyWays > 1)) {
        m_error = REG_BADRPT;
        return false;
    }
    group.last = group.last * copies + 1;
    group.lastEmptyWays = cappedWays(group.lastEmptyWays + (optional ? 1 : 0));
    return true;
}

// The digits at `at`, moving past them: -1 when there are none.
qsizetype RegexExpansion::numberAt(qsizetype& at) const
{
    qsizetype number = -1;
    for (; at < m_pattern.size() && isDigit(m_pattern[at]); ++at) {
        number = std::min(CountCap, std::max<qsizetype>(number, 0) * 10 + (m_pattern[at] - '0'));
    }
    return number;
}

// The copies of an interval "{m}", "{m,}", "{m,n}" or "{,n}" at the current
// "{": "{m,n}" makes n copies, "{m,}" m and one more starred, "{0}" one that
// is dropped. Absent for anything else.
std::optional<quint64> RegexExpansion::intervalCopies(qsizetype& at, bool& optional) const
{
    at = m_at + 1;
    const qsizetype least = numberAt(at);
    qsizetype most = least;
    bool unbounded = false;
    if (at < m_pattern.size() && m_pattern[at] == ',') {
        ++at;
        most = numberAt(at);
        unbounded = most < 0;
    } else if (least < 0) {
        return std::nullopt;
    }
    if (at >= m_pattern.size() || m_pattern[at] != '}') {
        return std::nullopt;
    }
    ++at;
    optional = least <= 0;
    const qsizetype copies = unbounded ? std::max<qsizetype>(least, 0) + 1 : most;
    return quint64(std::max<qsizetype>(copies, 1));
}

// An interval repeats the last piece; a "{" that begins none is a character.
bool RegexExpansion::interval()
{
    qsizetype end = 0;
    bool optional = false;
    const std::optional<quint64> copies = intervalCopies(end, optional);
    if (!copies) {
        character(1);
        return true;
    }
    m_at = end;
    return repeat(*copies, optional);
}

// A bracket expression is one character; one that never ends takes the rest.
void RegexExpansion::bracket()
{
    character(bracketLength().value_or(m_pattern.size() - m_at));
}

// The length of the bracket expression at the current "["; absent when it
// does not end. Each "[:", "[." or "[=" inside ends at the first matching
// ":]", ".]" or "=]", as the matcher reads it.
std::optional<qsizetype> RegexExpansion::bracketLength() const
{
    qsizetype at = m_at + 1;
    if (at < m_pattern.size() && m_pattern[at] == '^') {
        ++at;
    }
    if (at < m_pattern.size() && m_pattern[at] == ']') {
        ++at;
    }
    while (at < m_pattern.size()) {
        const char c = m_pattern[at];
        if (c == ']') {
            return at + 1 - m_at;
        }
        const char next = at + 1 < m_pattern.size() ? m_pattern[at + 1] : '\0';
        if (c == '[' && (next == ':' || next == '.' || next == '=')) {
            const char closing[] = {next, ']'};
            const qsizetype end = m_pattern.indexOf(QByteArrayView(closing, 2), at + 2);
            if (end < 0) {
                return std::nullopt;
            }
            at = end + 2;
        } else {
            ++at;
        }
    }
    return std::nullopt;
}

} // namespace calidra
