// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/plist/PropertyListGuard.h"

#include "platform/plist/BinaryPropertyListGraph.h"

#include <QByteArrayView>
#include <QChar>

#include <utility>

namespace calidra {
namespace {

constexpr char BinaryMagic[] = "bplist00";

// Where the markup that opens at `at` ends, just past its ">": comments and
// CDATA sections at their own terminator, tags at the first ">" outside
// quotes. -1 when it does not end.
qsizetype markupEnd(const QByteArray& text, qsizetype at)
{
    for (const auto& [opening, closing] : {std::pair{"<!--", "-->"}, {"<![CDATA[", "]]>"}}) {
        if (QByteArrayView(text).sliced(at).startsWith(opening)) {
            const qsizetype end = text.indexOf(closing, at + qsizetype(qstrlen(opening)));
            return end < 0 ? -1 : end + qsizetype(qstrlen(closing));
        }
    }
    char quote = 0;
    for (qsizetype position = at + 1; position < text.size(); ++position) {
        const char c = text[position];
        if (quote) {
            quote = c == quote ? 0 : quote;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return position + 1;
        }
    }
    return -1;
}

// The element name of a tag's text between "<" and ">", without a leading
// "/" of an end tag.
QByteArrayView tagName(QByteArrayView tag)
{
    if (tag.startsWith('/')) {
        tag = tag.sliced(1);
    }
    qsizetype end = 0;
    while (end < tag.size() && !QChar::isSpace(uchar(tag[end])) && tag[end] != '/') {
        ++end;
    }
    return tag.first(end);
}

// +1 for a start tag of a container, -1 for its end tag, 0 for the rest.
int depthChange(QByteArrayView tag)
{
    const QByteArrayView name = tagName(tag);
    if (name != "array" && name != "dict") {
        return 0;
    }
    if (tag.startsWith('/')) {
        return -1;
    }
    return tag.endsWith('/') ? 0 : 1;
}

bool xmlNestsWithin(const QByteArray& text, int maximumDepth)
{
    int depth = 0;
    for (qsizetype at = text.indexOf('<'); at >= 0;) {
        const qsizetype end = markupEnd(text, at);
        if (end < 0) {
            return true;
        }
        depth += depthChange(QByteArrayView(text).sliced(at + 1, end - at - 2));
        if (depth > maximumDepth) {
            return false;
        }
        at = text.indexOf('<', end);
    }
    return true;
}

} // namespace

bool PropertyListGuard::admits(const QByteArray& document)
{
    if (document.startsWith(BinaryMagic)) {
        return BinaryPropertyListGraph::isWithin(document, MaximumDepth, MaximumValues);
    }
    // XML allows no U+0000, and the parser would cut a key or string at one.
    return !document.contains('\0') && xmlNestsWithin(document, MaximumDepth);
}

} // namespace calidra
