// SPDX-License-Identifier: GPL-3.0-or-later
#include "FolderName.h"

#include "KernelText.h"

#include <algorithm>
#include <tuple>

namespace calidra {
namespace {

bool isDigit(char character)
{
    return character >= '0' && character <= '9';
}

bool isDigits(QByteArrayView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), isDigit);
}

bool isBase(QByteArrayView base)
{
    return !base.isEmpty() && !isDigit(base.back());
}

// The position of the "@" that parts a device-tree folder name into a base and
// a unit address, both not empty; -1 when the name is not of that form.
qsizetype unitAt(QByteArrayView folder)
{
    const qsizetype at = folder.indexOf('@');
    return at > 0 && at + 1 < folder.size() ? at : -1;
}

// Locations compare as numbers: device-tree unit addresses are hexadecimal
// ("cpu@f" before "cpu@10"), the digits of "base.N" and "baseN" decimal. Texts
// that are no number (or too long for one) compare as 0 and fall back to the
// folder name.
quint64 locationNumber(QByteArrayView folder, const std::optional<QString>& location)
{
    bool ok = false;
    const quint64 number = location ? location->toULongLong(&ok, unitAt(folder) > 0 ? 16 : 10) : 0;
    return ok ? number : 0;
}

} // namespace

FolderName::FolderName(QString name, std::optional<QString> location)
    : m_name(std::move(name)), m_location(std::move(location))
{}

FolderName FolderName::parse(QByteArrayView folder)
{
    const qsizetype at = unitAt(folder);
    if (at > 0) {
        return {decodeKernelText(folder.first(at)), decodeKernelText(folder.sliced(at + 1))};
    }
    const qsizetype dot = folder.lastIndexOf('.');
    if (dot > 0 && isDigits(folder.sliced(dot + 1)) && isBase(folder.first(dot))) {
        return {decodeKernelText(folder.first(dot)), decodeKernelText(folder.sliced(dot + 1))};
    }
    qsizetype digits = folder.size();
    while (digits > 0 && isDigit(folder[digits - 1])) {
        --digits;
    }
    if (digits > 0 && digits < folder.size()) {
        return {decodeKernelText(folder.first(digits)), decodeKernelText(folder.sliced(digits))};
    }
    return {decodeKernelText(folder), std::nullopt};
}

void FolderName::sort(std::vector<QByteArray>& folders)
{
    struct Keyed
    {
        QString name;
        quint64 location;
        QByteArray folder;
        bool operator<(const Keyed& other) const
        {
            return std::tie(name, location, folder) <
                   std::tie(other.name, other.location, other.folder);
        }
    };
    std::vector<Keyed> keyed;
    keyed.reserve(folders.size());
    for (QByteArray& folder : folders) {
        FolderName parsed = parse(folder);
        const quint64 location = locationNumber(folder, parsed.m_location);
        keyed.push_back({std::move(parsed.m_name), location, std::move(folder)});
    }
    std::sort(keyed.begin(), keyed.end());
    for (size_t i = 0; i < keyed.size(); ++i) {
        folders[i] = std::move(keyed[i].folder);
    }
}

} // namespace calidra
