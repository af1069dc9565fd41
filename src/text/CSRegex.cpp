// SPDX-License-Identifier: GPL-3.0-or-later
#include "CSRegex.h"

#include "CSRegexException.h"
#include "RegexExpansion.h"
#include "ScopedUtf8Locale.h"

#include <array>
#include <vector>

namespace calidra {
namespace {

constexpr size_t ErrorBufferSize = 256;

bool isContinuationByte(char byte)
{
    return (static_cast<uchar>(byte) & 0xc0) == 0x80;
}

// Where the matcher stops reading: the first zero byte, else the end.
qsizetype searchEnd(const QByteArray& bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    return zero < 0 ? bytes.size() : zero;
}

// The byte offset of the character after the one that starts at offset.
qsizetype nextCharacter(const QByteArray& bytes, qsizetype offset)
{
    ++offset;
    while (offset < bytes.size() && isContinuationByte(bytes.at(offset))) {
        ++offset;
    }
    return offset;
}

// The number of UTF-16 code units that the UTF-8 bytes from..to decode into:
// one per sequence, two for a four-byte sequence.
quint32 utf16Length(const QByteArray& bytes, qsizetype from, qsizetype to)
{
    quint32 length = 0;
    for (qsizetype i = from; i < to; ++i) {
        const char byte = bytes.at(i);
        length += (isContinuationByte(byte) ? 0 : 1) + (static_cast<uchar>(byte) >= 0xf0 ? 1 : 0);
    }
    return length;
}

// The text of the UTF-8 bytes from..to; never the null QString, so that an
// empty match stays distinct from CSRegex::null().
QString decodeUtf8(const QByteArray& bytes, qsizetype from, qsizetype to)
{
    if (from == to) {
        return QString(u""_qs);
    }
    return QString::fromUtf8(bytes.constData() + from, to - from);
}

QString compileFailureReason(const QString& pattern, int error, const regex_t& preg)
{
    std::array<char, ErrorBufferSize> message{};
    regerror(error, &preg, message.data(), message.size());
    return u"Could not compile regex \""_qs + pattern + u"\": "_qs +
           QString::fromUtf8(QByteArrayView(message.data()));
}

} // namespace

CSRegex::CSRegex(const QString& pattern, qint32 options)
    : preg{}, m_reportsPositions((options & REG_NOSUB) == 0)
{
    const QByteArray bytes = pattern.toUtf8();
    // A pattern the matcher could not build in bounded time and memory is
    // refused before it tries, with the matcher's own message for the reason.
    int error = RegexExpansion::errorFor(QByteArrayView(bytes.constData()));
    if (error == 0) {
        const ScopedUtf8Locale utf8;
        error = regcomp(&preg, bytes.constData(), options | REG_EXTENDED);
    }
    if (error != 0) {
        throw CSRegexException(compileFailureReason(pattern, error, preg));
    }
}

CSRegex::~CSRegex()
{
    regfree(&preg);
}

std::unique_ptr<CSRegex> CSRegex::regexWithPattern(const QString& pattern, qint32 options)
{
    return std::make_unique<CSRegex>(pattern, options);
}

QString CSRegex::null()
{
    return QString();
}

bool CSRegex::matchesString(const QString& subject) const
{
    const QByteArray bytes = subject.toUtf8();
    regmatch_t whole{0, static_cast<regoff_t>(searchEnd(bytes))};
    const ScopedUtf8Locale utf8;
    return regexec(&preg, bytes.constData(), 1, &whole, REG_STARTEND) == 0;
}

TextRange CSRegex::rangeOfMatchInString(const QString& subject) const
{
    const QByteArray bytes = subject.toUtf8();
    regmatch_t whole{};
    if (!findMatch(bytes, 0, searchEnd(bytes), {&whole, 1})) {
        return TextRange::notFound();
    }
    return TextRange{utf16Length(bytes, 0, whole.rm_so),
                     utf16Length(bytes, whole.rm_so, whole.rm_eo)};
}

std::optional<QString> CSRegex::matchedSubstringOfString(const QString& subject) const
{
    const TextRange range = rangeOfMatchInString(subject);
    if (range.isNotFound()) {
        return std::nullopt;
    }
    if (range.length == 0) {
        return QString(u""_qs);
    }
    return subject.mid(range.location, range.length);
}

std::optional<QStringList> CSRegex::capturedSubstringsOfString(const QString& subject) const
{
    const QByteArray bytes = subject.toUtf8();
    std::vector<regmatch_t> groups(preg.re_nsub + 1);
    if (!findMatch(bytes, 0, searchEnd(bytes), groups)) {
        return std::nullopt;
    }
    QStringList captured;
    captured.reserve(static_cast<qsizetype>(groups.size()));
    for (const regmatch_t& group : groups) {
        const bool tookPart = group.rm_so != -1 || group.rm_eo != -1;
        captured.append(tookPart ? decodeUtf8(bytes, group.rm_so, group.rm_eo) : null());
    }
    return captured;
}

QStringList CSRegex::allMatchedSubstringsOfString(const QString& subject) const
{
    const QByteArray bytes = subject.toUtf8();
    QStringList matches;
    forEachMatch(bytes, [&](qsizetype matchStart, qsizetype matchEnd) {
        matches.append(decodeUtf8(bytes, matchStart, matchEnd));
    });
    return matches;
}

QStringList CSRegex::splitString(const QString& subject) const
{
    const QByteArray bytes = subject.toUtf8();
    QStringList pieces;
    qsizetype pieceStart = 0;
    forEachMatch(bytes, [&](qsizetype matchStart, qsizetype matchEnd) {
        pieces.append(decodeUtf8(bytes, pieceStart, matchStart));
        pieceStart = matchEnd;
    });
    pieces.append(decodeUtf8(bytes, pieceStart, bytes.size()));
    return pieces;
}

// Searches the bytes from start to end as a subject of their own, so that "^"
// matches at start. The range given to the matcher spares it measuring the
// rest again on every call. Positions in groups become offsets in bytes.
bool CSRegex::findMatch(const QByteArray& bytes, qsizetype start, qsizetype end,
                        std::span<regmatch_t> groups) const
{
    groups[0] = regmatch_t{0, static_cast<regoff_t>(end - start)};
    const ScopedUtf8Locale utf8;
    if (!m_reportsPositions || regexec(&preg, bytes.constData() + start, groups.size(),
                                       groups.data(), REG_STARTEND) != 0) {
        return false;
    }
    for (regmatch_t& group : groups) {
        if (group.rm_so != -1) {
            group.rm_so += static_cast<regoff_t>(start);
            group.rm_eo += static_cast<regoff_t>(start);
        }
    }
    return true;
}

// Reports each successive match in byte offsets. After an empty match the next
// search begins one whole character later, so the loop always advances and
// ends once the search start passes the searchable end.
void CSRegex::forEachMatch(const QByteArray& bytes, const MatchHandler& onMatch) const
{
    const qsizetype end = searchEnd(bytes);
    qsizetype start = 0;
    regmatch_t whole{};
    while (start <= end && findMatch(bytes, start, end, {&whole, 1})) {
        onMatch(whole.rm_so, whole.rm_eo);
        start = whole.rm_eo > whole.rm_so ? whole.rm_eo : nextCharacter(bytes, whole.rm_eo);
    }
}

} // namespace calidra
