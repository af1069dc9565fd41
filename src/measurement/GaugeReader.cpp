// SPDX-License-Identifier: GPL-3.0-or-later
#include "GaugeReader.h"

#include "Gauge.h"
#include "GaugeReaderDelegate.h"
#include "defaults/Settings.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <limits>

namespace calidra {
namespace {

// A reading below this is no reading; a minimum below it is replaced.
constexpr double RejectionThreshold = 0.1;
// The time scale of the ten-minute statistics, in seconds.
constexpr double TenMinutes = 600.0;

// A gauge's reading as the reader takes it: one that is not a finite number
// (the base gauge's NaN, an infinity) is no reading, like 0. Every test below
// then compares finite numbers and never relies on NaN failing a comparison.
float intake(float reading)
{
    return std::isfinite(reading) ? reading : 0.0F;
}

bool isAccepted(float reading)
{
    return static_cast<double>(reading) >= RejectionThreshold;
}

// Moves `average` towards `reading` by the fraction `weight`: the difference
// in single precision, the blend in double, the result stored as a float.
float blended(float average, float reading, double weight)
{
    const float difference = reading - average;
    return static_cast<float>(average + difference * weight);
}

} // namespace

GaugeReader::GaugeReader(std::shared_ptr<Gauge> gauge, double frequency)
    : theGauge(std::move(gauge)), m_history(frequency)
{
    _currentValue = intake(theGauge->gauge());
    // The first reading of some sensors is stale; the second one seeds the
    // statistics and counts as one interval of history.
    const float seed = intake(theGauge->gauge());
    m_hasAcceptedReading = isAccepted(seed);
    _currentValue = _tenMinuteAverage = _tenMinuteMaximum = _tenMinuteMinimum = seed;
    _overallAverage = _overallMaximum = _overallMinimum = seed;
    _tenMinuteMaximumLife = _tenMinuteMinimumLife = _overallLife = frequency;

    theTimer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&theTimer, &QTimer::timeout, [this] { _gaugeTimerFired(); });
    startTimer(frequency);
}

GaugeReader::~GaugeReader() = default;

std::unique_ptr<GaugeReader> GaugeReader::initWithGauge(std::shared_ptr<Gauge> gauge,
                                                        double frequency)
{
    if (!gauge || !(frequency > 0)) {
        return nullptr;
    }
    return std::unique_ptr<GaugeReader>(new GaugeReader(std::move(gauge), frequency));
}

std::shared_ptr<GaugeReader> GaugeReader::gaugeReaderWithGauge(std::shared_ptr<Gauge> gauge,
                                                               double frequency)
{
    return initWithGauge(std::move(gauge), frequency);
}

std::shared_ptr<GaugeReader>
GaugeReader::CPUTemperatureGaugeReaderWithFrequency(double frequency, const QString& sensorChoice)
{
    return gaugeReaderWithGauge(Gauge::temperatureGauge(sensorChoice), frequency);
}

std::shared_ptr<GaugeReader> GaugeReader::CPUFrequencyGaugeReaderWithFrequency(double frequency)
{
    return gaugeReaderWithGauge(Gauge::CPUFrequencyGauge(), frequency);
}

int GaugeReader::timerPeriod(double frequency)
{
    const double milliseconds = std::round(frequency * 1000.0);
    if (!(milliseconds >= 1.0)) {
        return 1;
    }
    const double largest = std::numeric_limits<int>::max();
    return milliseconds >= largest ? std::numeric_limits<int>::max()
                                   : static_cast<int>(milliseconds);
}

bool GaugeReader::hasNoReading() const
{
    // A gauge that has never read and finds nothing to read will not read by waiting.
    return m_missedSamples >= NoReadingSamples ||
           (m_missedSamples > 0 && !m_hasAcceptedReading && !theGauge->hasSource());
}

std::optional<QString> GaugeReader::sensorInUse() const
{
    return theGauge->sensorInUse();
}

QString GaugeReader::noReadingReason() const
{
    return theGauge->noReadingReason();
}

std::optional<QString> GaugeReader::chosenSensor() const
{
    return theGauge->chosenSensor();
}

void GaugeReader::startTimer(double frequency)
{
    m_frequency = frequency;
    theTimer.start(timerPeriod(frequency));
}

void GaugeReader::setFrequency(double requested)
{
    if (!(requested > 0)) {
        return;
    }
    const double frequency = Settings::Frequency::bounded(requested);
    if (frequency != m_frequency) {
        m_history.rebuild(frequency);
    }
    theTimer.stop();
    startTimer(frequency);
    _gaugeTimerFired();
}

void GaugeReader::_gaugeTimerFired()
{
    const float reading = intake(theGauge->gauge());
    _currentValue = reading;
    if (!isAccepted(reading)) {
        ++m_missedSamples;
        if (m_delegate) {
            m_delegate->gaugeReaderDidMiss(this);
        }
        return;
    }
    m_missedSamples = 0;
    m_hasAcceptedReading = true;
    updateTenMinuteStatistics(reading, m_frequency);
    updateOverallStatistics(reading, m_frequency);
    m_history.push(reading, QDateTime::currentMSecsSinceEpoch());
    if (m_delegate) {
        m_delegate->gaugeReaderDidUpdate(this);
    }
}

void GaugeReader::updateTenMinuteStatistics(float reading, double interval)
{
    const float previousMinimum = _tenMinuteMinimum;
    // While the held minimum is above the average (after a failed seed), the
    // average jumps to it instead of crawling up.
    // An interval longer than the time scale weighs the reading fully rather
    // than past it, which would push the average beyond every reading.
    _tenMinuteAverage =
        previousMinimum > _tenMinuteAverage
            ? previousMinimum
            : blended(_tenMinuteAverage, reading, std::min(interval / TenMinutes, 1.0));

    // An expired extreme restarts from the average, so that one last spike
    // does not linger as the new extreme.
    if (_tenMinuteMaximumLife > TenMinutes) {
        _tenMinuteMaximum = _tenMinuteAverage > reading ? _tenMinuteAverage : reading;
        _tenMinuteMaximumLife = interval;
    } else if (reading > _tenMinuteMaximum) {
        _tenMinuteMaximum = reading;
        _tenMinuteMaximumLife = interval;
    } else {
        _tenMinuteMaximumLife += interval;
    }

    if (_tenMinuteMinimumLife > TenMinutes) {
        _tenMinuteMinimum = _tenMinuteAverage < reading ? _tenMinuteAverage : reading;
        _tenMinuteMinimumLife = interval;
    } else if (previousMinimum > reading) {
        _tenMinuteMinimum = reading;
        _tenMinuteMinimumLife = interval;
    } else {
        _tenMinuteMinimumLife += interval;
    }
    if (static_cast<double>(_tenMinuteMinimum) < RejectionThreshold) {
        _tenMinuteMinimum = reading;
    }
}

void GaugeReader::updateOverallStatistics(float reading, double interval)
{
    _overallLife += interval;
    _overallAverage = _overallAverage > _overallMaximum
                          ? _overallMaximum
                          : blended(_overallAverage, reading, interval / _overallLife);
    if (reading > _overallMaximum) {
        _overallMaximum = reading;
    }
    if (_overallMinimum > reading || static_cast<double>(_overallMinimum) < RejectionThreshold) {
        _overallMinimum = reading;
    }
}

} // namespace calidra
