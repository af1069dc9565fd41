#include "RegexExpansion.h"

#include <algorithm>

namespace calidra {
namespace {

// The matcher refuses counts beyond 32767; larger ones are read as this.
constexpr qsizetype CountCap = 32768;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

RegexExpansion::RegexExpansion(QByteArrayView pattern) : m_pattern(pattern), m_groups(1)
{}

bool RegexExpansion::admits(QByteArrayView pattern)
{
    return RegexExpansion(pattern).scan();
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
        return repeat(1);
    case '+':
        ++m_at;
        return repeat(2);
    case '{':
        return interval();
    case '[':
        bracket();
        return true;
    case '\\':
        character(2);
        return true;
    default:
        character(1);
        return true;
    }
}

void RegexExpansion::character(qsizetype length)
{
    Group& group = m_groups.back();
    group.earlier += group.last;
    group.last = 1;
    m_at = std::min(m_at + length, m_pattern.size());
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
    const Group inner = m_groups.back();
    m_groups.pop_back();
    Group& outer = m_groups.back();
    outer.earlier += outer.last;
    outer.last = 1 + inner.earlier + inner.last;
    ++m_at;
}

bool RegexExpansion::alternative()
{
    Group& group = m_groups.back();
    group.earlier += group.last + 1;
    group.last = 0;
    ++m_at;
    return ++m_added <= MaximumAddedNodes;
}

// The operator's node wraps the copies. Every piece stays below the pattern's
// length plus the limit until the check fails, so the products cannot
// overflow.
bool RegexExpansion::repeat(quint64 copies)
{
    Group& group = m_groups.back();
    m_added += group.last * (copies - 1) + 1;
    group.last = group.last * copies + 1;
    return m_added <= MaximumAddedNodes;
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
std::optional<quint64> RegexExpansion::intervalCopies(qsizetype& at) const
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
    const qsizetype copies = unbounded ? std::max<qsizetype>(least, 0) + 1 : most;
    return quint64(std::max<qsizetype>(copies, 1));
}

// An interval repeats the last piece; a "{" that begins none is a character.
bool RegexExpansion::interval()
{
    qsizetype end = 0;
    const std::optional<quint64> copies = intervalCopies(end);
    if (!copies) {
        character(1);
        return true;
    }
    m_at = end;
    return repeat(*copies);
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
