// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/plist/PropertyList.h"

#include "platform/plist/PropertyListGuard.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTimeZone>
#include <plist/plist.h>

#include <cstdlib>
#include <memory>

namespace calidra {
namespace {

struct PlistFree
{
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPointer = std::unique_ptr<void, PlistFree>;

QVariant valueOf(plist_t node, int level);

std::optional<QByteArray> readSmallFile(const QString& path)
{
    // Only regular files: a pipe or a device could block or never end.
    if (!QFileInfo(path).isFile()) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray bytes = file.read(PropertyList::MaximumFileSize + 1);
    if (bytes.size() > PropertyList::MaximumFileSize || file.error() != QFile::NoError) {
        return std::nullopt;
    }
    return bytes;
}

QVariant arrayOf(plist_t node, int level)
{
    QVariantList array;
    const uint32_t size = plist_array_get_size(node);
    for (uint32_t index = 0; index < size; ++index) {
        const QVariant item = valueOf(plist_array_get_item(node, index), level + 1);
        if (item.isValid()) {
            array.append(item);
        }
    }
    return array;
}

QVariant dictionaryOf(plist_t node, int level)
{
    QVariantMap dictionary;
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(node, &iterator);
    for (;;) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, iterator, &key, &item);
        if (!item) {
            std::free(key);
            break;
        }
        const QVariant value = valueOf(item, level + 1);
        if (value.isValid()) {
            dictionary.insert(QString::fromUtf8(key), value);
        }
        std::free(key);
    }
    std::free(iterator);
    return dictionary;
}

// Integers are held as 64 bits; one that is unsigned and beyond the signed
// range is told from a negative one by comparing it with a plain new integer
// of the same bits, which is always taken as signed.
QVariant integerOf(plist_t node)
{
    uint64_t bits = 0;
    plist_get_uint_val(node, &bits);
    const PlistPointer signedForm(plist_new_uint(bits));
    if (plist_compare_node_value(node, signedForm.get())) {
        return qlonglong(bits);
    }
    return qulonglong(bits);
}

// Dates count seconds from the start of 2001 in UTC.
QVariant dateOf(plist_t node)
{
    int32_t seconds = 0;
    int32_t microseconds = 0;
    plist_get_date_val(node, &seconds, &microseconds);
    const QDateTime epoch(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
    return epoch.addSecs(seconds).addMSecs(microseconds / 1000);
}

QVariant stringOf(plist_t node)
{
    uint64_t length = 0;
    const char* text = plist_get_string_ptr(node, &length);
    return QString::fromUtf8(text, qsizetype(length));
}

QVariant dataOf(plist_t node)
{
    uint64_t length = 0;
    const char* bytes = plist_get_data_ptr(node, &length);
    return QByteArray(bytes, qsizetype(length));
}

QVariant scalarOf(plist_t node)
{
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN:
        return bool(plist_bool_val_is_true(node));
    case PLIST_UINT:
        return integerOf(node);
    case PLIST_REAL: {
        double real = 0.0;
        plist_get_real_val(node, &real);
        return real;
    }
    case PLIST_STRING:
        return stringOf(node);
    case PLIST_DATE:
        return dateOf(node);
    case PLIST_DATA:
        return dataOf(node);
    default:
        return {};
    }
}

QVariant valueOf(plist_t node, int level)
{
    switch (plist_get_node_type(node)) {
    case PLIST_ARRAY:
        return level <= PropertyList::MaximumDepth ? arrayOf(node, level) : QVariant();
    case PLIST_DICT:
        return level <= PropertyList::MaximumDepth ? dictionaryOf(node, level) : QVariant();
    default:
        return scalarOf(node);
    }
}

} // namespace

QVariant PropertyList::contentsOfFile(const QString& path)
{
    const std::optional<QByteArray> bytes = readSmallFile(path);
    if (!bytes || bytes->isEmpty() || !PropertyListGuard::admits(*bytes)) {
        return {};
    }
    plist_t root = nullptr;
    plist_from_memory(bytes->constData(), uint32_t(bytes->size()), &root);
    const PlistPointer owned(root);
    return root ? valueOf(root, 1) : QVariant();
}

std::optional<QVariantList> PropertyList::arrayWithContentsOfFile(const QString& path)
{
    const QVariant contents = contentsOfFile(path);
    if (contents.typeId() != QMetaType::QVariantList) {
        return std::nullopt;
    }
    return contents.toList();
}

std::optional<QVariantMap> PropertyList::dictionaryWithContentsOfFile(const QString& path)
{
    const QVariant contents = contentsOfFile(path);
    if (contents.typeId() != QMetaType::QVariantMap) {
        return std::nullopt;
    }
    return contents.toMap();
}

} // namespace calidra
