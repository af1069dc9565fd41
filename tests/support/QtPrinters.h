// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <ostream>

// Readable GoogleTest output for the Qt types that tests compare.

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << (text.isNull() ? std::string("(null QString)") : '"' + text.toStdString() + '"');
}

inline void PrintTo(const QByteArray& bytes, std::ostream* out)
{
    *out << "QByteArray(" << bytes.toHex().toStdString() << ')';
}

inline void PrintTo(const QVariant& value, std::ostream* out)
{
    *out << "QVariant(" << value.typeName() << ", " << value.toString().toStdString() << ')';
}
