// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <optional>
#include <vector>

namespace calidra {

/// The object graph of a binary property list, read from its offset table and
/// object references without building any value. A binary property list may
/// refer to one object from many places and nest without bound; a reader that
/// follows every reference recursively could then run out of stack or expand a
/// small file into billions of values. This check lets such files be refused
/// before they are parsed. Each object is visited once, without recursion.
///
/// The parser also cannot hand back a dictionary key that holds U+0000: it
/// stops at a zero byte, cutting a key in ASCII form and aborting the program
/// on one in UTF-16 form. Such keys are refused here too.
class BinaryPropertyListGraph
{
public:
    /// True when `bytes` are a well-formed binary property list whose
    /// containers nest at most `maximumDepth` levels and whose values, every
    /// reference followed, number at most `maximumValues`. False for anything
    /// else: a trailer, offset or reference out of range, a count that runs
    /// past the end, a reference cycle, or a dictionary key that is a string
    /// holding U+0000 (or running past the end).
    static bool isWithin(const QByteArray& bytes, int maximumDepth, quint64 maximumValues);

private:
    // Height and value count of an object once measured.
    struct Measure
    {
        int height = 0;
        quint64 values = 0;
    };
    // An object being measured: its references and how far they are done.
    struct Frame
    {
        quint64 object = 0;
        bool container = false;
        // How many of the references, at the front, are dictionary keys.
        quint64 keys = 0;
        std::vector<quint64> references;
        size_t next = 0;
        Measure measure;
    };
    enum class State : unsigned char { New, Open, Done };
    enum class Key : unsigned char { Unchecked, Admitted, Refused };

    explicit BinaryPropertyListGraph(const QByteArray& bytes);

    bool readTrailer();
    std::optional<quint64> readUnsigned(quint64 at, int size) const;
    std::optional<quint64> offsetOf(quint64 object) const;
    std::optional<Frame> frameOf(quint64 object) const;
    bool keyHoldsNoZero(quint64 object) const;
    bool keysAdmitted(const Frame& frame);
    std::optional<quint64> countAt(quint64& at) const;
    bool open(quint64 object, std::vector<Frame>& stack);
    bool close(std::vector<Frame>& stack, int maximumDepth, quint64 maximumValues);
    bool measureFrom(quint64 top, int maximumDepth, quint64 maximumValues);

    const QByteArray& m_bytes;
    int m_offsetSize = 0;
    int m_referenceSize = 0;
    quint64 m_objects = 0;
    quint64 m_top = 0;
    quint64 m_offsetTable = 0;
    std::vector<State> m_states;
    std::vector<Measure> m_measures;
    std::vector<Key> m_keys;
};

} // namespace calidra
