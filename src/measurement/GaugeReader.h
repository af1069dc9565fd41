// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Kept name: "frequency" is the sampling interval in seconds; see docs/GLOSSARY.md.

#include "SampleHistory.h"

#include <QString>
#include <QTimer>

#include <memory>
#include <optional>

namespace calidra {

class Gauge;
class GaugeReaderDelegate;

/// Samples one gauge on a repeating timer and keeps running statistics of
/// what it reads: the current value; a ten-minute average (an exponential
/// moving average over 600 seconds), maximum and minimum (held values that
/// expire after 600 seconds without renewal); and the average, maximum and
/// minimum of the whole run with the time it has counted.
///
/// Time is counted, not measured: each accepted sample adds the nominal
/// interval, so a suspended machine adds nothing. The accepted samples of
/// the last ten minutes are kept for the graph (history()), whether or not
/// anything shows them.
/// A reading below 0.1 is no reading: only the current value shows it. A
/// reading that is not a finite number counts as 0, so no NaN or infinity
/// ever reaches the statistics, the current value or the history.
/// Runs on the thread that owns it; the delegate is called synchronously.
class GaugeReader
{
public:
    /// A running reader over `gauge`, sampling every `frequency` seconds; the
    /// first sample comes one interval later. Null when there is no gauge or
    /// the interval is not greater than 0 (zero, negative or not a number).
    static std::unique_ptr<GaugeReader> initWithGauge(std::shared_ptr<Gauge> gauge,
                                                      double frequency);
    /// The same reader, for owners that share it.
    static std::shared_ptr<GaugeReader> gaugeReaderWithGauge(std::shared_ptr<Gauge> gauge,
                                                             double frequency);
    /// A reader over the temperature gauge of the sensor choice `sensorChoice`
    /// (Gauge::temperatureGauge: the chosen input, or this machine's processor
    /// temperature gauge for the automatic choice); null when there is no
    /// gauge or the interval is unusable.
    static std::shared_ptr<GaugeReader>
    CPUTemperatureGaugeReaderWithFrequency(double frequency, const QString& sensorChoice);
    /// A reader over this machine's processor frequency gauge; null when the
    /// machine has none (off the Intel model list) or the interval is unusable.
    static std::shared_ptr<GaugeReader> CPUFrequencyGaugeReaderWithFrequency(double frequency);

    GaugeReader(const GaugeReader&) = delete;
    GaugeReader& operator=(const GaugeReader&) = delete;
    ~GaugeReader();

    GaugeReaderDelegate* delegate() const { return m_delegate; }
    /// Replaces the delegate, which is not owned; null for none.
    void setDelegate(GaugeReaderDelegate* delegate) { m_delegate = delegate; }

    /// The sampling interval in seconds.
    double frequency() const { return m_frequency; }
    /// Re-times the reader and takes one sample at once, counting the new
    /// interval, held to the range the preferences offer
    /// (Settings::Frequency::shortest to longest). A different
    /// interval empties the history and resizes it. An interval that is not
    /// greater than 0 is ignored.
    void setFrequency(double frequency);

    /// The accepted samples of the last ten minutes with the times they were
    /// taken (the system clock's), oldest first; the seed is not one of them.
    const SampleHistory& history() const { return m_history; }

    float currentValue() const { return _currentValue; }
    float tenMinuteAverage() const { return _tenMinuteAverage; }
    float tenMinuteMaximum() const { return _tenMinuteMaximum; }
    float tenMinuteMinimum() const { return _tenMinuteMinimum; }
    float overallAverage() const { return _overallAverage; }
    float overallMaximum() const { return _overallMaximum; }
    float overallMinimum() const { return _overallMinimum; }
    /// The time the run has counted, in seconds: the seed's interval plus one
    /// interval per accepted sample.
    double overallLife() const { return _overallLife; }

    /// After this many rejected samples in a row the reader has no reading.
    static constexpr int NoReadingSamples = 3;
    /// Rejected samples since the last accepted one.
    int missedSamples() const { return m_missedSamples; }
    /// Whether the statistics hold an accepted reading: the seed was one, or
    /// a sample since was accepted.
    bool hasAcceptedReading() const { return m_hasAcceptedReading; }
    /// Whether the reader has no reading to show: NoReadingSamples rejected
    /// in a row, or one before any accepted reading while the gauge finds
    /// nothing to read at all. The next accepted sample ends it.
    bool hasNoReading() const;
    /// What the gauge reads now; absent when it reads nothing or cannot tell.
    std::optional<QString> sensorInUse() const;
    /// Why the gauge gives no reading, as the user is told it.
    QString noReadingReason() const;
    /// The sensor the user chose that the gauge reads, by name; absent for
    /// the processor's own (see Gauge::chosenSensor).
    std::optional<QString> chosenSensor() const;

    /// The sampling step that the timer runs at every interval: asks the gauge
    /// and, when the reading is accepted, updates the statistics counting one
    /// interval and tells the delegate that it updated; a rejected reading
    /// only counts as missed, and the delegate is told of the miss.
    void _gaugeTimerFired();

    /// The timer's period for an interval: whole milliseconds, never below 1 ms
    /// (a tiny interval must not keep the processor busy) nor above what the
    /// timer can hold.
    static int timerPeriod(double frequency);

private:
    GaugeReader(std::shared_ptr<Gauge> gauge, double frequency);

    void startTimer(double frequency);
    void updateTenMinuteStatistics(float reading, double interval);
    void updateOverallStatistics(float reading, double interval);

    std::shared_ptr<Gauge> theGauge;
    QTimer theTimer;
    GaugeReaderDelegate* m_delegate = nullptr;
    double m_frequency = 0;
    SampleHistory m_history;
    int m_missedSamples = 0;
    bool m_hasAcceptedReading = false;

    float _currentValue = 0;
    float _tenMinuteAverage = 0;
    float _tenMinuteMaximum = 0;
    double _tenMinuteMaximumLife = 0;
    float _tenMinuteMinimum = 0;
    double _tenMinuteMinimumLife = 0;
    float _overallAverage = 0;
    double _overallLife = 0;
    float _overallMaximum = 0;
    float _overallMinimum = 0;
};

} // namespace calidra
