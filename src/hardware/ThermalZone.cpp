// SPDX-License-Identifier: GPL-3.0-or-later
#include "ThermalZone.h"

#include "KernelNumber.h"
#include "KernelText.h"
#include "PlausibleTemperature.h"
#include "SysfsFile.h"

#include <dirent.h>
#include <fcntl.h>

#include <algorithm>
#include <cctype>
#include <vector>

namespace calidra {
namespace {

using Clock = std::chrono::steady_clock;

struct Candidate
{
    int rank;
    int number;
    QByteArray folder;
    QByteArray type;

    bool operator<(const Candidate& other) const
    {
        return rank != other.rank ? rank < other.rank : number < other.number;
    }
};

enum class Match { Prefix, Whole };

QString text(std::string_view bytes)
{
    return decodeKernelText(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

// What a zone measures, by the spellings that kernels and firmware give its
// type. The kernel's thermal documentation leaves the type to each driver:
// https://docs.kernel.org/driver-api/thermal/sysfs-api.html
struct ZoneType
{
    std::string_view text; // lower case
    Match match;
    int rank;
};

// clang-format off
constexpr ZoneType ZoneTypes[] = {
    {"x86_pkg_temp", Match::Prefix, 0},     // the package sensor
    {"pkg-temp-", Match::Prefix, 0},        // the same on older kernels
    {"tcpu", Match::Whole, 1},              // the processor participant of the firmware
    {"b0d4", Match::Whole, 1},              // the same, named after its PCI slot
    {"cpu", Match::Prefix, 2},              // cores or clusters of a system on a chip
    {"soc", Match::Prefix, 3},              // the die of a system on a chip
    {"bcm2835_thermal", Match::Whole, 3},   // the Raspberry Pi's die on older kernels
    {"acpitz", Match::Prefix, 4},           // the board, as its firmware reports it
};
// clang-format on

bool equalCaseless(std::string_view lower, std::string_view given)
{
    return lower.size() == given.size() &&
           std::equal(lower.begin(), lower.end(), given.begin(), [](char wanted, char c) {
               return wanted == std::tolower(static_cast<unsigned char>(c));
           });
}

bool matches(const ZoneType& zoneType, std::string_view type)
{
    if (zoneType.match == Match::Prefix) {
        return type.size() >= zoneType.text.size() &&
               equalCaseless(zoneType.text, type.substr(0, zoneType.text.size()));
    }
    return equalCaseless(zoneType.text, type);
}

std::optional<Candidate> candidate(const QByteArray& folder, std::string_view name,
                                   QStringList* seen)
{
    const std::optional<int> number = numberInName(name, "thermal_zone", "");
    if (!number) {
        return std::nullopt;
    }
    const QByteArray zone(name.data(), qsizetype(name.size()));
    // Class entries are links to the zone's device folder, so links are followed;
    // a loop fails to open like any unreadable file.
    const std::optional<QByteArray> type = SysfsFile::readAt(
        AT_FDCWD, (folder + '/' + zone + "/type").constData(), SysfsFile::Links::Follow);
    const std::string_view line = type ? withoutLineFeed(stringView(*type)) : "";
    const std::optional<int> rank = ThermalZone::rank(line);
    if (seen) {
        seen->append(QString::fromLatin1(zone) + u' ' + text(line) +
                     (rank ? u" (rank %1)"_qs.arg(*rank) : u" (not the processor)"_qs));
    }
    if (!rank) {
        return std::nullopt;
    }
    return Candidate{*rank, *number, zone, QByteArray(line.data(), qsizetype(line.size()))};
}

// Every ranked zone of the folder seen before the deadline, best first.
std::vector<Candidate> candidates(const QByteArray& folder, Clock::time_point deadline,
                                  QStringList* seen)
{
    std::vector<Candidate> found;
    DIR* const listing = ::opendir(folder.constData());
    if (listing == nullptr) {
        return found;
    }
    while (Clock::now() < deadline) {
        const dirent* entry = ::readdir(listing);
        if (entry == nullptr) {
            break;
        }
        if (std::optional<Candidate> zone = candidate(folder, entry->d_name, seen)) {
            found.push_back(std::move(*zone));
        }
    }
    ::closedir(listing);
    std::sort(found.begin(), found.end());
    return found;
}

// Whether a zone's `temp` reads a temperature a processor can have now.
bool readsPlausibly(const KeptReading& temp)
{
    const std::optional<qint32> millidegrees = temp.read();
    return millidegrees &&
           PlausibleTemperature::contains(double(ThermalZone::celsius(*millidegrees)));
}

} // namespace

std::optional<int> ThermalZone::rank(std::string_view type)
{
    for (const ZoneType& zoneType : ZoneTypes) {
        if (matches(zoneType, type)) {
            return zoneType.rank;
        }
    }
    return std::nullopt;
}

std::optional<ThermalZone> ThermalZone::find(const QByteArray& systemRoot, QStringList* seen)
{
    return find(systemRoot, Clock::now() + ScanTime, seen);
}

std::optional<ThermalZone> ThermalZone::find(const QByteArray& systemRoot,
                                             Clock::time_point deadline, QStringList* seen)
{
    const QByteArray folder = systemRoot + "/sys/class/thermal";
    for (const Candidate& candidate : candidates(folder, deadline, seen)) {
        if (Clock::now() >= deadline) {
            break;
        }
        std::unique_ptr<KeptReading> temp = KeptReading::open(
            {folder + '/' + candidate.folder + "/temp"}, KeptReading::Form::Whole);
        if (temp && readsPlausibly(*temp)) {
            return ThermalZone{std::move(temp), decodeKernelText(candidate.type) + u" ("_qs +
                                                    QString::fromLatin1(candidate.folder) + u')'};
        }
        if (seen) {
            seen->append(QString::fromLatin1(candidate.folder) + u" gives no plausible reading"_qs);
        }
    }
    return std::nullopt;
}

float ThermalZone::celsius(qint32 millidegrees)
{
    return float(millidegrees) / 1000.0F;
}

} // namespace calidra
