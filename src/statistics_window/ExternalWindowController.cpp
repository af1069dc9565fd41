// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExternalWindowController.h"

#include "HistoryCsv.h"
#include "HistoryGraph.h"
#include "StatisticsView.h"
#include "formatting/ObjectFormat.h"
#include "measurement/GaugeReader.h"
#include "platform/Alerts.h"
#include "platform/ApplicationActivation.h"
#include "platform/Localization.h"
#include "platform/WindowShortcuts.h"
#include "support/SharedWindow.h"
#include "ui_ExternalWindowView.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimeZone>

#include <algorithm>

namespace calidra {
namespace {

SharedWindow<ExternalWindowController> sharedExternalWindowController;

} // namespace

ExternalWindowController::ExternalWindowController()
    : m_ui(std::make_unique<Ui::ExternalWindowView>())
{
    m_ui->setupUi(this);
    const QSize content = m_ui->contentArea->size();
    setFixedSize(content.width(), content.height() + GraphBand);
    addCloseShortcuts(this);
    connect(m_ui->copyAction, &QAction::triggered, this,
            &ExternalWindowController::copyTextualOutput);
    connect(m_ui->saveAction, &QAction::triggered, this,
            &ExternalWindowController::saveTextualOutput);
    connect(m_ui->saveCsvAction, &QAction::triggered, this,
            &ExternalWindowController::saveLastTenMinutesAsCsv);
}

ExternalWindowController::~ExternalWindowController() = default;

ExternalWindowController* ExternalWindowController::showExternalWindow()
{
    return sharedExternalWindowController.show([] { return new ExternalWindowController(); });
}

bool ExternalWindowController::isShowing()
{
    return sharedExternalWindowController.current() != nullptr;
}

void ExternalWindowController::showWindow()
{
    showInFront(this);
}

void ExternalWindowController::closeEvent(QCloseEvent* event)
{
    emit windowWillClose();
    deleteLater();
    QWidget::closeEvent(event);
}

void ExternalWindowController::updateDisplayWithTemperatureReader(const GaugeReader* temperature,
                                                                  const GaugeReader* frequency)
{
    m_chosenSensor = temperature ? temperature->chosenSensor() : std::nullopt;
    for (const auto& [reader, kept] : {std::pair(temperature, &m_temperatureHistory),
                                       std::pair(frequency, &m_frequencyHistory)}) {
        if (reader) {
            *kept = reader->history();
        } else {
            kept->reset();
        }
    }
    updateTemperaturePanel(temperature);
    updateFrequencyPanel(frequency);
    placeGraphs();
    if (temperature) {
        tempGraph->updateWithGaugeReader(*temperature, axisTemperature);
    }
    if (frequency) {
        freqGraph->updateWithGaugeReader(*frequency, fvt);
    }
    updateRunningTime(temperature, frequency);
}

void ExternalWindowController::updateTemperaturePanel(const GaugeReader* reader)
{
    if (reader && !tempStatsView) {
        tempStatsView = addPanel(QT_TRANSLATE_NOOP("Calidra", "Temperature"), FirstPanelX);
        tempGraph = addGraph();
        if (freqStatsView) {
            Frame beside = tempStatsView->frame();
            beside.x = SecondPanelX;
            freqStatsView->setFrame(beside);
            widen(PanelStep);
        }
    }
    if (reader) {
        tempStatsView->updateDisplayWithGaugeReader(*reader, tvt);
    } else if (tempStatsView) {
        const Frame former = tempStatsView->frame();
        delete tempStatsView;
        tempStatsView = nullptr;
        delete tempGraph;
        tempGraph = nullptr;
        if (freqStatsView) {
            freqStatsView->setFrame(former);
            widen(-PanelStep);
        }
    }
}

void ExternalWindowController::updateFrequencyPanel(const GaugeReader* reader)
{
    if (reader && !freqStatsView) {
        freqStatsView = addPanel(QT_TRANSLATE_NOOP("Calidra", "Frequency"),
                                 tempStatsView ? SecondPanelX : FirstPanelX);
        freqGraph = addGraph();
        if (tempStatsView) {
            widen(PanelStep);
        }
    }
    if (reader) {
        freqStatsView->updateDisplayWithGaugeReader(*reader, fvt);
    } else if (freqStatsView) {
        delete freqStatsView;
        freqStatsView = nullptr;
        delete freqGraph;
        freqGraph = nullptr;
        widen(-PanelStep);
    }
}

void ExternalWindowController::updateRunningTime(const GaugeReader* temperature,
                                                 const GaugeReader* frequency)
{
    if (!temperature && !frequency) {
        return;
    }
    const double life = temperature && frequency
                            ? std::min(temperature->overallLife(), frequency->overallLife())
                            : (temperature ? temperature : frequency)->overallLife();
    const QString text = tivt.transformedValue(QVariant(float(life)));
    m_ui->windowRunningTime->setText(
        stringWithFormat(localizedFormat(QT_TRANSLATE_NOOP("Calidra", "Running for %@")), {text}));
}

StatisticsView* ExternalWindowController::addPanel(const char* label, double x)
{
    auto* panel = new StatisticsView(localizedString(label), QPointF(x, PanelY), m_ui->contentArea);
    panel->show();
    return panel;
}

HistoryGraph* ExternalWindowController::addGraph()
{
    auto* graph = new HistoryGraph(QPointF(FirstPanelX, GraphY), this);
    graph->show();
    return graph;
}

// Each graph stands under its panel.
void ExternalWindowController::placeGraphs()
{
    for (const auto& [panel, graph] :
         {std::pair(tempStatsView, tempGraph), std::pair(freqStatsView, freqGraph)}) {
        if (panel) {
            Frame under = graph->frame();
            under.x = panel->frame().x;
            graph->setFrame(under);
        }
    }
}

// The window keeps its height, so its top-left corner stays where it is in
// Qt's coordinates and its lower-left corner stays with it.
void ExternalWindowController::widen(int by)
{
    setFixedWidth(width() + by);
    m_ui->contentArea->resize(width(), m_ui->contentArea->height());
}

QString ExternalWindowController::runningTime() const
{
    return m_ui->windowRunningTime->text();
}

QString ExternalWindowController::description() const
{
    QStringList parts;
    parts.reserve(4);
    parts += stringWithFormat(u"%@\n======================"_qs,
                              {localizedString(QT_TRANSLATE_NOOP("Calidra", "Calidra Report"))});
    if (m_chosenSensor) {
        parts += stringWithFormat(
            localizedFormat(QT_TRANSLATE_NOOP("Calidra", "Temperature sensor: %@")),
            {*m_chosenSensor});
    }
    for (const StatisticsView* panel : {tempStatsView, freqStatsView}) {
        if (panel) {
            parts += panel->description();
        }
    }
    parts += runningTime();
    return parts.join(u"\n\n"_qs);
}

void ExternalWindowController::copyTextualOutput()
{
    QGuiApplication::clipboard()->setText(description());
}

void ExternalWindowController::saveTextualOutput()
{
    const QString report = description();
    if (const std::optional<QString> path =
            askForFile(QT_TRANSLATE_NOOP("Calidra", "Text files (*.txt)"), u"txt"_qs,
                       QT_TRANSLATE_NOOP("Calidra", "Calidra Report File"))) {
        saveReport(*path, report);
    }
}

QString ExternalWindowController::lastTenMinutesCsv() const
{
    return HistoryCsv::text(m_temperatureHistory ? &*m_temperatureHistory : nullptr,
                            m_frequencyHistory ? &*m_frequencyHistory : nullptr,
                            QTimeZone::systemTimeZone());
}

void ExternalWindowController::saveLastTenMinutesAsCsv()
{
    emit updateWanted();
    const QString csv = lastTenMinutesCsv();
    if (const std::optional<QString> path =
            askForFile(QT_TRANSLATE_NOOP("Calidra", "CSV files (*.csv)"), u"csv"_qs,
                       QT_TRANSLATE_NOOP("Calidra", "Calidra Last Ten Minutes"))) {
        saveLastTenMinutes(*path, csv);
    }
}

std::optional<QString> ExternalWindowController::askForFile(const char* filter,
                                                            const QString& suffix,
                                                            const char* proposedName)
{
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDirectory(saveStartFolder(
        QStandardPaths::writableLocation(QStandardPaths::DesktopLocation), QDir::homePath()));
    dialog.setNameFilter(localizedString(filter));
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(localizedString(proposedName) + u'.' + suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

void ExternalWindowController::saveReport(const QString& path, const QString& report)
{
    saveText(path, report, QT_TRANSLATE_NOOP("Calidra", "The report could not be saved to “%@”."));
}

void ExternalWindowController::saveLastTenMinutes(const QString& path, const QString& csv)
{
    saveText(path, csv,
             QT_TRANSLATE_NOOP("Calidra", "The last ten minutes could not be saved to “%@”."));
}

// A failed save must not pass in silence: the user would believe the file
// was kept.
void ExternalWindowController::saveText(const QString& path, const QString& text,
                                        const char* failure)
{
    const std::optional<QString> reason = writeReport(path, text);
    if (!reason) {
        return;
    }
    Alerts::run({stringWithFormat(localizedFormat(failure), {QDir::toNativeSeparators(path)}),
                 *reason,
                 {localizedString(QT_TRANSLATE_NOOP("Calidra", "OK"))},
                 true});
}

QString ExternalWindowController::saveStartFolder(const QString& desktop, const QString& home)
{
    return QDir(desktop).exists() ? desktop : home;
}

std::optional<QString> ExternalWindowController::writeReport(const QString& path,
                                                             const QString& text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    // A write that stops part-way (a disk filling up) gives no reason of its
    // own; writing the rest fails with the system's reason.
    const QByteArray bytes = text.toUtf8();
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            return file.errorString();
        }
        done += written;
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return std::nullopt;
}

} // namespace calidra
