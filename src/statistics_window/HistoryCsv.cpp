// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryCsv.h"

#include "formatting/CFormat.h"
#include "measurement/SampleHistory.h"

#include <QDateTime>
#include <QTimeZone>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <optional>
#include <system_error>

namespace calidra {
namespace {

// Every finite float fits: 39 digits before the point at most, 45 after it.
QString number(float value)
{
    std::array<char, 128> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed);
    return error == std::errc() ? QString::fromLatin1(buffer.data(), end - buffer.data())
                                : QString();
}

QString row(qint64 time, const std::optional<float>& temperature,
            const std::optional<float>& frequency, const QTimeZone& zone)
{
    return HistoryCsv::time(time, zone) + u',' + (temperature ? number(*temperature) : QString()) +
           u',' + (frequency ? number(*frequency) : QString()) + u'\n';
}

// The readers sample on timers of their own, so a temperature and a frequency
// of one moment lie up to a few milliseconds apart; a reader started later
// or a missed sample shifts them by more.
qint64 pairingDistance(const SampleHistory& temperature, const SampleHistory& frequency)
{
    return qint64(std::min(temperature.interval(), frequency.interval()) * 500.0);
}

} // namespace

QString HistoryCsv::text(const SampleHistory* temperature, const SampleHistory* frequency,
                         const QTimeZone& zone)
{
    QString text = QString::fromLatin1(Header) + u'\n';
    const int temperatures = temperature ? temperature->size() : 0;
    const int frequencies = frequency ? frequency->size() : 0;
    const qint64 distance =
        temperature && frequency ? pairingDistance(*temperature, *frequency) : 0;
    for (int t = 0, f = 0; t < temperatures || f < frequencies;) {
        const bool hasT = t < temperatures;
        const bool hasF = f < frequencies;
        const qint64 tTime = hasT ? temperature->timeAt(t) : 0;
        const qint64 fTime = hasF ? frequency->timeAt(f) : 0;
        if (hasT && hasF && std::abs(tTime - fTime) < distance) {
            text += row(std::min(tTime, fTime), temperature->at(t++), frequency->at(f++), zone);
        } else if (hasT && (!hasF || tTime <= fTime)) {
            text += row(tTime, temperature->at(t++), std::nullopt, zone);
        } else {
            text += row(fTime, std::nullopt, frequency->at(f++), zone);
        }
    }
    return text;
}

QString HistoryCsv::time(qint64 milliseconds, const QTimeZone& zone)
{
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(milliseconds, zone);
    const int offset = local.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return local.toString(u"yyyy-MM-ddTHH:mm:ss.zzz"_qs) +
           cFormat("%c%02d:%02d", offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
}

} // namespace calidra
