// SPDX-License-Identifier: GPL-3.0-or-later
#include "ThermalZone.h"

#include "KeptReading.h"
#include "KernelNumber.h"
#include "KernelText.h"
#include "SysfsFile.h"

#include <dirent.h>
#include <fcntl.h>

#include <algorithm>
#include <cctype>
#include <vector>

namespace calidra {
namespace {

struct Candidate
{
    int rank;
    qint64 number;
    QByteArray folder;
    QByteArray type;

    bool operator<(const Candidate& other) const
    {
        return rank != other.rank ? rank < other.rank : number < other.number;
    }
};

bool startsWithCaseless(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char wanted, char given) {
               return wanted == std::tolower(static_cast<unsigned char>(given));
           });
}

// The zone number of a "thermal_zoneN" folder name; absent for other names.
std::optional<qint64> zoneNumber(std::string_view name)
{
    constexpr std::string_view Prefix = "thermal_zone";
    if (!name.starts_with(Prefix) || name.size() == Prefix.size() || name.size() > 20 ||
        !std::all_of(name.begin() + Prefix.size(), name.end(),
                     [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return parseKernelInteger(name.substr(Prefix.size()));
}

std::vector<QByteArray> zoneFolders(const QByteArray& folder)
{
    std::vector<QByteArray> names;
    DIR* const listing = ::opendir(folder.constData());
    if (listing == nullptr) {
        return names;
    }
    int seen = 0;
    while (seen++ < ThermalZone::MaximumEntries && names.size() < ThermalZone::MaximumZones) {
        const dirent* entry = ::readdir(listing);
        if (entry == nullptr) {
            break;
        }
        if (zoneNumber(entry->d_name)) {
            names.emplace_back(entry->d_name);
        }
    }
    ::closedir(listing);
    return names;
}

std::vector<Candidate> candidates(const QByteArray& folder)
{
    std::vector<Candidate> found;
    for (const QByteArray& name : zoneFolders(folder)) {
        // Class entries are links to the zone's device folder, so links are followed;
        // a loop fails to open like any unreadable file.
        const std::optional<QByteArray> type = SysfsFile::readAt(
            AT_FDCWD, (folder + '/' + name + "/type").constData(), SysfsFile::Links::Follow);
        const std::string_view line = type ? withoutLineFeed(stringView(*type)) : "";
        if (const std::optional<int> rank = ThermalZone::rank(line)) {
            found.push_back({*rank, *zoneNumber(stringView(name)), name,
                             QByteArray(line.data(), qsizetype(line.size()))});
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace

ThermalZone::ThermalZone(std::unique_ptr<KeptReading> temp, QString type, QString folder)
    : m_temp(std::move(temp)), m_type(std::move(type)), m_folder(std::move(folder))
{}

ThermalZone::~ThermalZone() = default;

std::optional<int> ThermalZone::rank(std::string_view type)
{
    if (startsWithCaseless(type, "x86_pkg_temp")) {
        return 0;
    }
    if (startsWithCaseless(type, "cpu")) {
        return 1;
    }
    if (startsWithCaseless(type, "soc")) {
        return 2;
    }
    if (startsWithCaseless(type, "acpitz")) {
        return 3;
    }
    return std::nullopt;
}

std::unique_ptr<ThermalZone> ThermalZone::find(const QByteArray& systemRoot)
{
    const QByteArray folder = systemRoot + "/sys/class/thermal";
    for (const Candidate& candidate : candidates(folder)) {
        std::unique_ptr<KeptReading> temp = KeptReading::open(
            {folder + '/' + candidate.folder + "/temp"}, KeptReading::Form::Whole);
        std::unique_ptr<ThermalZone> zone(
            temp ? new ThermalZone(std::move(temp), decodeKernelText(candidate.type),
                                   QString::fromLatin1(candidate.folder))
                 : nullptr);
        if (zone && zone->degrees()) {
            return zone;
        }
    }
    return nullptr;
}

std::optional<float> ThermalZone::degrees() const
{
    const std::optional<qint32> millidegrees = m_temp->read();
    if (!millidegrees || *millidegrees <= 0 || *millidegrees > HottestPlausible) {
        return std::nullopt;
    }
    return float(*millidegrees) / 1000.0F;
}

QString ThermalZone::description() const
{
    return m_type + u" ("_qs + m_folder + u')';
}

} // namespace calidra
