// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Frame.h"

#include <QPointF>
#include <QWidget>

class QGroupBox;
class QLabel;

namespace calidra {

class GaugeReader;
class ValueTransformer;

/// One fixed-size panel of the statistics window for one measurement: a wide
/// "Current" box above a "Ten Minutes" and an "Overall" box, each listing
/// minimum, average and maximum. Built in code from standard controls; the
/// value fields stay empty until the first update. It renders what it shows
/// as a block of the plain-text report.
///
/// Main thread only.
class StatisticsView : public QWidget
{
    Q_OBJECT

public:
    static constexpr double Width = 340;
    static constexpr double Height = 179;

    /// A panel for the measurement called `label` (localised), with its
    /// lower-left corner at `origin` in `parent`, 340 × 179 points. Child of
    /// `parent`, which must not be null and which owns it.
    StatisticsView(const QString& label, QPointF origin, QWidget* parent);

    /// Shows the reader's current value and its ten-minute and overall
    /// minimum, average and maximum, each formatted by `transformer`. Neither
    /// is kept.
    void updateDisplayWithGaugeReader(const GaugeReader& reader,
                                      const ValueTransformer& transformer);

    /// The panel's block of the report: eight lines from the texts shown at
    /// this moment, with no line feed after the last.
    QString description() const;

    /// Where the panel stands in its parent.
    const Frame& frame() const { return m_frame; }
    /// Moves and sizes the panel within its parent.
    void setFrame(const Frame& frame);

private:
    QGroupBox* addBox(const char* title, const Frame& frame);
    QLabel* addText(QWidget* box, const Frame& frame, const QString& text, Qt::Alignment alignment,
                    int pointSize);
    void addStatistics(QWidget* box, QLabel*& minimum, QLabel*& average, QLabel*& maximum);

    const QString label;
    QLabel* cv = nullptr;
    QLabel* tenmin = nullptr;
    QLabel* tenavg = nullptr;
    QLabel* tenmax = nullptr;
    QLabel* allmin = nullptr;
    QLabel* allavg = nullptr;
    QLabel* allmax = nullptr;
    Frame m_frame;
};

} // namespace calidra
