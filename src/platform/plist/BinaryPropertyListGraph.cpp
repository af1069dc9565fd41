// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/plist/BinaryPropertyListGraph.h"

#include <algorithm>

namespace calidra {
namespace {

constexpr qsizetype HeaderSize = 8;
constexpr qsizetype TrailerSize = 32;
constexpr unsigned char AsciiStringKind = 0x5;
constexpr unsigned char Utf16StringKind = 0x6;
constexpr unsigned char ArrayKind = 0xA;
constexpr unsigned char SetKind = 0xC;
constexpr unsigned char DictionaryKind = 0xD;

bool isContainer(unsigned char kind)
{
    return kind == ArrayKind || kind == SetKind || kind == DictionaryKind;
}

} // namespace

BinaryPropertyListGraph::BinaryPropertyListGraph(const QByteArray& bytes) : m_bytes(bytes)
{}

bool BinaryPropertyListGraph::isWithin(const QByteArray& bytes, int maximumDepth,
                                       quint64 maximumValues)
{
    BinaryPropertyListGraph graph(bytes);
    return graph.readTrailer() && graph.measureFrom(graph.m_top, maximumDepth, maximumValues);
}

std::optional<quint64> BinaryPropertyListGraph::readUnsigned(quint64 at, int size) const
{
    if (at > quint64(m_bytes.size()) || quint64(size) > quint64(m_bytes.size()) - at) {
        return std::nullopt;
    }
    quint64 value = 0;
    for (int byte = 0; byte < size; ++byte) {
        value = value << 8 | static_cast<unsigned char>(m_bytes[qsizetype(at) + byte]);
    }
    return value;
}

bool BinaryPropertyListGraph::readTrailer()
{
    if (m_bytes.size() < HeaderSize + TrailerSize) {
        return false;
    }
    const quint64 trailer = quint64(m_bytes.size() - TrailerSize);
    m_offsetSize = static_cast<unsigned char>(m_bytes[qsizetype(trailer) + 6]);
    m_referenceSize = static_cast<unsigned char>(m_bytes[qsizetype(trailer) + 7]);
    m_objects = *readUnsigned(trailer + 8, 8);
    m_top = *readUnsigned(trailer + 16, 8);
    m_offsetTable = *readUnsigned(trailer + 24, 8);
    const bool sizesValid =
        m_offsetSize >= 1 && m_offsetSize <= 8 && m_referenceSize >= 1 && m_referenceSize <= 8;
    // The offset table lies between the objects and the trailer.
    if (!sizesValid || m_top >= m_objects || m_offsetTable < quint64(HeaderSize) ||
        m_offsetTable > trailer || m_objects > (trailer - m_offsetTable) / quint64(m_offsetSize)) {
        return false;
    }
    m_states.assign(m_objects, State::New);
    m_measures.assign(m_objects, Measure());
    m_keys.assign(m_objects, Key::Unchecked);
    return true;
}

// A container's count: in the marker's low four bits, or, when they are all
// set, in the integer object that follows the marker.
std::optional<quint64> BinaryPropertyListGraph::countAt(quint64& at) const
{
    const unsigned char low = static_cast<unsigned char>(m_bytes[qsizetype(at)]) & 0x0F;
    ++at;
    if (low != 0x0F) {
        return low;
    }
    const std::optional<quint64> marker = readUnsigned(at, 1);
    if (!marker || (*marker & 0xF0) != 0x10 || (*marker & 0x0F) > 3) {
        return std::nullopt;
    }
    const int size = 1 << (*marker & 0x0F);
    const std::optional<quint64> count = readUnsigned(at + 1, size);
    at += 1 + quint64(size);
    return count;
}

// Where an object starts: within the objects, between the header and the
// offset table.
std::optional<quint64> BinaryPropertyListGraph::offsetOf(quint64 object) const
{
    const std::optional<quint64> offset =
        readUnsigned(m_offsetTable + object * quint64(m_offsetSize), m_offsetSize);
    if (!offset || *offset < quint64(HeaderSize) || *offset >= m_offsetTable) {
        return std::nullopt;
    }
    return offset;
}

std::optional<BinaryPropertyListGraph::Frame> BinaryPropertyListGraph::frameOf(quint64 object) const
{
    const std::optional<quint64> offset = offsetOf(object);
    if (!offset) {
        return std::nullopt;
    }
    Frame frame;
    frame.object = object;
    const unsigned char kind = static_cast<unsigned char>(m_bytes[qsizetype(*offset)]) >> 4;
    frame.container = isContainer(kind);
    if (!frame.container) {
        return frame;
    }
    quint64 at = *offset;
    const std::optional<quint64> count = countAt(at);
    const quint64 perEntry = kind == DictionaryKind ? 2 : 1;
    if (!count || at > m_offsetTable ||
        *count > (m_offsetTable - at) / quint64(m_referenceSize) / perEntry) {
        return std::nullopt;
    }
    frame.keys = kind == DictionaryKind ? *count : 0;
    frame.references.reserve(*count * perEntry);
    for (quint64 entry = 0; entry < *count * perEntry; ++entry) {
        const quint64 reference =
            *readUnsigned(at + entry * quint64(m_referenceSize), m_referenceSize);
        if (reference >= m_objects) {
            return std::nullopt;
        }
        frame.references.push_back(reference);
    }
    return frame;
}

// True unless the string object holds a zero character or runs past the
// objects. Objects of other kinds are left to the parser, which refuses them
// as keys.
bool BinaryPropertyListGraph::keyHoldsNoZero(quint64 object) const
{
    const std::optional<quint64> offset = offsetOf(object);
    if (!offset) {
        return false;
    }
    const unsigned char kind = static_cast<unsigned char>(m_bytes[qsizetype(*offset)]) >> 4;
    if (kind != AsciiStringKind && kind != Utf16StringKind) {
        return true;
    }
    quint64 at = *offset;
    const std::optional<quint64> count = countAt(at);
    const quint64 unitSize = kind == Utf16StringKind ? 2 : 1;
    if (!count || at > m_offsetTable || *count > (m_offsetTable - at) / unitSize) {
        return false;
    }
    for (quint64 unit = 0; unit < *count; ++unit) {
        if (readUnsigned(at + unit * unitSize, int(unitSize)) == 0U) {
            return false;
        }
    }
    return true;
}

// Each key object is read once, however many dictionaries share it.
bool BinaryPropertyListGraph::keysAdmitted(const Frame& frame)
{
    for (quint64 entry = 0; entry < frame.keys; ++entry) {
        const quint64 key = frame.references[size_t(entry)];
        if (m_keys[key] == Key::Unchecked) {
            m_keys[key] = keyHoldsNoZero(key) ? Key::Admitted : Key::Refused;
        }
        if (m_keys[key] == Key::Refused) {
            return false;
        }
    }
    return true;
}

bool BinaryPropertyListGraph::open(quint64 object, std::vector<Frame>& stack)
{
    std::optional<Frame> frame = frameOf(object);
    if (!frame || !keysAdmitted(*frame)) {
        return false;
    }
    m_states[object] = State::Open;
    stack.push_back(std::move(*frame));
    return true;
}

// Ends the measure of the innermost open object and adds it to its parent's.
bool BinaryPropertyListGraph::close(std::vector<Frame>& stack, int maximumDepth,
                                    quint64 maximumValues)
{
    const Frame& frame = stack.back();
    Measure measure = frame.measure;
    measure.height += frame.container ? 1 : 0;
    measure.values += 1;
    if (measure.height > maximumDepth || measure.values > maximumValues) {
        return false;
    }
    m_states[frame.object] = State::Done;
    m_measures[frame.object] = measure;
    stack.pop_back();
    if (!stack.empty()) {
        Measure& parent = stack.back().measure;
        parent.height = std::max(parent.height, measure.height);
        parent.values += measure.values;
    }
    return true;
}

// Depth first with an explicit stack: an object met again while it is still
// open is a cycle; one met after it is done adds its kept measure at once.
bool BinaryPropertyListGraph::measureFrom(quint64 top, int maximumDepth, quint64 maximumValues)
{
    std::vector<Frame> stack;
    if (!open(top, stack)) {
        return false;
    }
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.references.size()) {
            if (!close(stack, maximumDepth, maximumValues)) {
                return false;
            }
            continue;
        }
        const quint64 child = frame.references[frame.next++];
        if (m_states[child] == State::Done) {
            frame.measure.height = std::max(frame.measure.height, m_measures[child].height);
            frame.measure.values += m_measures[child].values;
        } else if (m_states[child] == State::Open || stack.size() > size_t(maximumDepth) ||
                   !open(child, stack)) {
            return false;
        }
    }
    return true;
}

} // namespace calidra
