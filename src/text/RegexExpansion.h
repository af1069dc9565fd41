#pragma once

#include <QByteArrayView>

#include <optional>
#include <vector>

namespace calidra {

/// Decides, before a pattern reaches the POSIX matcher, whether the matcher
/// can build it in bounded memory. The matcher copies the operand of a
/// repetition once for each count it may take ("a{0,255}" becomes 255 copies
/// of "a", "x+" two and "x{3,}" four), so nested or stacked repetitions
/// multiply: "((a{0,255}){0,255}){0,255}", 28 bytes, would take it gigabytes
/// and minutes. It also recurses once per level of parentheses. The patterns
/// the program uses add a handful of copies and nest two levels deep.
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
    /// The copies that repetitions may add to the pattern's own characters
    /// and groups, counted through every level of nesting and summed over the
    /// whole pattern: "a{1001}" adds 1000, "(a{0,10}){10}" adds 9 + 11 * 9.
    static constexpr quint64 MaximumAddedCopies = 1000;
    /// The deepest nesting of parentheses admitted.
    static constexpr int MaximumNesting = 256;

    /// True when the UTF-8 bytes of a pattern stay within both limits.
    static bool admits(QByteArrayView pattern);

private:
    // The copies made so far in one open group: of the pieces before the
    // last one (all alternatives), and of the last piece, to which a
    // following repetition applies (0 when there is none yet).
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
    void alternative();
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
