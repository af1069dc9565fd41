// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>

#include <regex.h>

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
/// Building also takes exponential time when an operand that can match the
/// empty string is copied and repeated again ("(a?b?){40,}", "^(){3,}{3,}{3,}",
/// "(\b){3,}{3,}"), or is repeated when it can match the empty string in more
/// than one way already ("(a?|b?)*" inside further repetitions). So such an
/// operand may take only one uncopied repetition: "(a?b?)*", "(x*)?" and
/// "(a|)*" are admitted, "(a?b?)+", "(x*)?*", "(a?|b?)*" and "x???" are not.
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

    /// 0 when the UTF-8 bytes of a pattern may be given to the matcher;
    /// otherwise the matcher's error code for the reason: REG_ESIZE ("Regular
    /// expression too big") past the limit, REG_BADRPT ("Invalid preceding
    /// regular expression") for a repetition of an operand that can match the
    /// empty string, when it would be copied or can do so in several ways.
    static int errorFor(QByteArrayView pattern);

private:
    // The nodes of one open group so far: of the pieces before the last one
    // (all alternatives), and of the last piece, to which a following
    // repetition applies (0 when there is none yet). Beside them, the ways
    // each can match the empty string, up to two: summed over the finished
    // alternatives, multiplied over the pieces of the current one.
    struct Group
    {
        quint64 earlier = 0;
        quint64 last = 0;
        int earlierEmptyWays = 0;
        int branchEmptyWays = 1;
        int lastEmptyWays = 1;

        void commitLast();
    };

    explicit RegexExpansion(QByteArrayView pattern);

    bool scan();
    bool step();
    void character(qsizetype length, int emptyWays = 0);
    bool isAnchorEscape(qsizetype at) const;
    bool openGroup();
    void closeGroup();
    bool alternative();
    bool repeat(quint64 copies, bool optional);
    bool interval();
    std::optional<quint64> intervalCopies(qsizetype& at, bool& optional) const;
    void bracket();
    std::optional<qsizetype> bracketLength() const;
    qsizetype numberAt(qsizetype& at) const;

    QByteArrayView m_pattern;
    qsizetype m_at = 0;
    std::vector<Group> m_groups;
    quint64 m_added = 0;
    int m_error = REG_ESIZE;
};

} // namespace calidra
