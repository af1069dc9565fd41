// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "formatting/FrequencyValueTransformer.h"
#include "formatting/TemperatureValueTransformer.h"
#include "formatting/TimeIntervalValueTransformer.h"
#include "measurement/SampleHistory.h"

#include <QWidget>

#include <memory>
#include <optional>

namespace Ui {
class ExternalWindowView;
}

namespace calidra {

class GaugeReader;
class HistoryGraph;
class StatisticsView;

/// The statistics window: one panel per measurement taken, side by side, a
/// line with the running time, a "Results" pop-up that copies the
/// plain-text report to the clipboard, saves it as a text file or saves the
/// last ten minutes as a CSV file (HistoryCsv), and under
/// all of them the last ten minutes of each panel's measurement as a graph
/// (HistoryGraph) in the panel's column. There is at
/// most one: it is created when first asked for and destroyed, at the end of
/// the current event, when it closes. The window is its own controller.
///
/// Main thread only.
class ExternalWindowController : public QWidget
{
    Q_OBJECT

public:
    /// Panels sit at this height, the first at FirstPanelX and the second at
    /// SecondPanelX; the window is PanelStep wider while both are shown.
    static constexpr double PanelY = 74;
    static constexpr double FirstPanelX = 10;
    static constexpr double SecondPanelX = 350;
    static constexpr int PanelStep = 350;
    /// Under the panels, the running time and the "Results" button, a band
    /// this high holds each panel's history graph, its lower edge GraphY
    /// above the window's.
    static constexpr int GraphBand = 120;
    static constexpr double GraphY = 10;

    /// Creates the one window when there is none, shows it in front and gives
    /// it. Never null.
    static ExternalWindowController* showExternalWindow();

    /// Whether the one window exists.
    static bool isShowing();

    ~ExternalWindowController() override;

    /// Brings the program to the front, then shows the window.
    void showWindow();

    /// Adds, moves and removes panels so that there is one for each reader
    /// given (temperature left of frequency), fills them, widens or narrows
    /// the window keeping its lower-left corner, and shows the running time
    /// of the shorter-lived reader. With neither reader the running time is
    /// left as it was. Each panel's graph takes the reader's history and is
    /// redrawn.
    void updateDisplayWithTemperatureReader(const GaugeReader* temperature,
                                            const GaugeReader* frequency);

    /// The full plain-text report of what the window shows now: the header,
    /// the sensor chosen in place of the processor's where there is one
    /// ("Temperature sensor: amdgpu, edge"), each panel's block and the
    /// running-time line, separated by empty lines.
    QString description() const;

    /// Puts the report, as plain text alone, on the clipboard.
    void copyTextualOutput();

    /// Builds the report, asks for a file in the user's Desktop folder (see
    /// saveStartFolder) proposing "Calidra Report File.txt", and saves the
    /// report there. A cancelled dialog does nothing.
    void saveTextualOutput();

    /// The folder the save dialog starts in: `desktop` when that folder
    /// exists, else `home`.
    static QString saveStartFolder(const QString& desktop, const QString& home);

    /// Writes `report` to `path`; on failure shows a warning naming the file
    /// and the system's reason.
    void saveReport(const QString& path, const QString& report);

    /// The readers' histories as of the last update as the text of a CSV file
    /// (HistoryCsv), the times in the system's time zone.
    QString lastTenMinutesCsv() const;

    /// Asks for an update (updateWanted), takes the CSV text, asks for a file
    /// in the user's Desktop folder (see saveStartFolder) proposing "Calidra
    /// Last Ten Minutes.csv", and saves the text there. A cancelled dialog
    /// does nothing.
    void saveLastTenMinutesAsCsv();

    /// Writes `csv` to `path` as writeReport does; on failure shows a warning
    /// naming the file and the system's reason, as for the report.
    void saveLastTenMinutes(const QString& path, const QString& csv);

    /// Writes `text` as UTF-8 to `path` atomically: the target is replaced
    /// only by a complete file and is left as it was on failure. The system's
    /// reason on failure, nothing on success.
    static std::optional<QString> writeReport(const QString& path, const QString& text);

    /// The panels shown; null while absent.
    StatisticsView* temperaturePanel() const { return tempStatsView; }
    StatisticsView* frequencyPanel() const { return freqStatsView; }
    /// The graphs under the panels; null while their panel is absent.
    HistoryGraph* temperatureGraph() const { return tempGraph; }
    HistoryGraph* frequencyGraph() const { return freqGraph; }

    /// The running-time line.
    QString runningTime() const;

signals:
    /// The window is about to close; the controller goes away afterwards.
    void windowWillClose();

    /// The window wants an update (updateDisplayWithTemperatureReader) now,
    /// before it takes the histories for the CSV file: while both readers
    /// run, updates come with the temperature's samples alone, so the
    /// frequency's latest sample would be missing.
    void updateWanted();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ExternalWindowController();

    void updateTemperaturePanel(const GaugeReader* reader);
    void updateFrequencyPanel(const GaugeReader* reader);
    void updateRunningTime(const GaugeReader* temperature, const GaugeReader* frequency);
    StatisticsView* addPanel(const char* label, double x);
    HistoryGraph* addGraph();
    void placeGraphs();
    void widen(int by);
    std::optional<QString> askForFile(const char* filter, const QString& suffix,
                                      const char* proposedName);
    void saveText(const QString& path, const QString& text, const char* failure);

    std::unique_ptr<Ui::ExternalWindowView> m_ui;
    TimeIntervalValueTransformer tivt;
    TemperatureValueTransformer tvt{2};
    FrequencyValueTransformer fvt;
    // Whole degrees on the graph's axis; the frequency's two decimals suit it.
    TemperatureValueTransformer axisTemperature;
    StatisticsView* tempStatsView = nullptr;
    StatisticsView* freqStatsView = nullptr;
    HistoryGraph* tempGraph = nullptr;
    HistoryGraph* freqGraph = nullptr;
    // The temperature reader's chosen sensor at the last update.
    std::optional<QString> m_chosenSensor;
    // The readers' histories at the last update, for the CSV file: the
    // readers may be gone when it is saved.
    std::optional<SampleHistory> m_temperatureHistory;
    std::optional<SampleHistory> m_frequencyHistory;
};

} // namespace calidra
