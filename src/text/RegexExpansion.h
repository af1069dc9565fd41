#pragma once

#include <QByteArrayView>

#include <optional>
#include <vector>

namespace calidra {

/// Decides, before a pattern reaches the POSIX matcher, whether the matcher
/// can build it in bounded time and memory. The matcher makes one node for
/// each character, group, alternation and repetition operator, and copies the
/// operand of a repetition once for each further count it may take
/// ("a{0,255}" becomes 255 copies of "a", "x+" two copies and "x{3,}" four),
/// so nested or stacked repetitions multiply: "((a{0,255}){0,255}){0,255}",
/// 28 bytes, would take it gigabytes and minutes. Building grows faster than
/// linearly in the nodes other than plain characters, too: a thousand stacked
/// stars ("a**...*") take it half a second, four thousand over ten.
///
/// So the nodes beyond one for each character of the pattern are counted, as
/// the matcher would build them, through every level of nesting, and bounded
/// by a small limit. The patterns the program uses add about twenty.
///
/// The check is one pass over the pattern, in time linear in its length.
/// Bracket expressions (with a leading "]", and "[:class:]", "[.x.]" and
/// "[=x=]" inside) and backslash escapes are single characters, so "[{]" and
/// "\{" open no repetition. A "{" that does not begin a well-formed interval
/// counts as a character, and the matcher itself then refuses the pattern, as
/// it does one whose bracket expression never ends.
class RegexExpansion
{
public:
    /// The nodes a pattern may add beyond one for each of its characters: one
    /// for each group, "|" and repetition operator, and one for each node of
    /// a repetition's operand in each copy beyond the first. "a{500}" adds
    /// 500, "(ab){167}" adds 1 + 3 * 166 + 1 = 500.
    static constexpr quint64 MaximumAddedNodes = 500;

    /// True when the UTF-8 bytes of a pattern stay within the limit.
    static bool admits(QByteArrayView pattern);

private:
    // The nodes of one open group so far: of the pieces before the last one
    // (all alternatives), and of the last piece, to which a following
    // repetition applies (0 when there is none yet).
    struct Group
    {
        quint64 earlier = 0;
        quint64 last = 0;
    };

    explicit RegexExpansion(QByteArrayView pattern);

    bool scan();
    bool step();
    void character(qsizetype length);
    bool openGroup();
    void closeGroup();
    bool alternative();
    bool repeat(quint64 copies);
    bool interval();
    std::optional<quint64> intervalCopies(qsizetype& at) const;
    void bracket();
    std::optional<qsizetype> bracketLength() const;
    qsizetype numberAt(qsizetype& at) const;

    QByteArrayView m_pattern;
    qsizetype m_at = 0;
    std::vector<Group> m_groups;
    quint64 m_added = 0;
};

} // namespace calidra
