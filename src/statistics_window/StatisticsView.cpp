// SPDX-License-Identifier: GPL-3.0-or-later
#include "StatisticsView.h"

#include "formatting/ObjectFormat.h"
#include "formatting/ValueTransformer.h"
#include "measurement/GaugeReader.h"
#include "platform/Localization.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>

namespace calidra {
namespace {

constexpr int CaptionSize = 13;
constexpr int CurrentValueSize = 20;

// The three rows of a statistics box, top to bottom, at these heights.
constexpr double MinimumY = 60;
constexpr double AverageY = 35;
constexpr double MaximumY = 10;

const QString ReportTemplate =
    u"%@\n----------------------\n%@:\n\t%%@\n%@:\n\t%%@: %%@, %%@: %%@, %%@: %%@\n%@:\n\t%%@: "
    u"%%@, %%@: %%@, %%@: %%@"_qs;

// Point sizes are device-independent pixels, as in the rest of the geometry.
QFont systemFont(int pointSize)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(pointSize);
    return font;
}

QString caption(const char* word)
{
    return stringWithFormat(u"%@:"_qs, {localizedString(word)});
}

QString transformed(const ValueTransformer& transformer, float value)
{
    return transformer.transformedValue(QVariant(value));
}

// Shows a value in its field, its font shrunk as far as needed for the whole
// text to fit the field's width: the fields keep their frames, and fonts
// wider than those they were laid out for must not cut values off. A field
// that shows the text already is left alone, so that it is neither measured
// nor repainted.
void showFitted(QLabel* field, const QString& text, int pixelSize)
{
    constexpr int SmallestSize = 7;
    if (field->text() == text) {
        return;
    }
    QFont font = field->font();
    font.setPixelSize(pixelSize);
    while (font.pixelSize() > SmallestSize &&
           QFontMetrics(font).horizontalAdvance(text) > field->width()) {
        font.setPixelSize(font.pixelSize() - 1);
    }
    field->setFont(font);
    field->setText(text);
}

} // namespace

// A box's children stand in its content area, which is the box less its title
// band and shares its lower edge: their frames convert with the box's height.
StatisticsView::StatisticsView(const QString& title, QPointF origin, QWidget* parent)
    : QWidget(parent), label(title)
{
    setFrame({origin.x(), origin.y(), Width, Height});
    QGroupBox* tenMinutes = addBox(QT_TRANSLATE_NOOP("Calidra", "Ten Minutes"), {7, 6, 162, 108});
    addStatistics(tenMinutes, tenmin, tenavg, tenmax);
    QGroupBox* overall = addBox(QT_TRANSLATE_NOOP("Calidra", "Overall"), {171, 6, 162, 108});
    addStatistics(overall, allmin, allavg, allmax);
    QGroupBox* current = addBox(QT_TRANSLATE_NOOP("Calidra", "Current"), {7, 120, 326, 51});
    cv = addText(current, {16, 2, 290, 22}, QString(), Qt::AlignCenter, CurrentValueSize);
}

void StatisticsView::setFrame(const Frame& frame)
{
    m_frame = frame;
    setGeometry(frame.toQt(parentWidget()->height()));
}

QGroupBox* StatisticsView::addBox(const char* title, const Frame& frame)
{
    auto* box = new QGroupBox(localizedString(title), this);
    box->setGeometry(frame.toQt(Height));
    return box;
}

QLabel* StatisticsView::addText(QWidget* box, const Frame& frame, const QString& text,
                                Qt::Alignment alignment, int pointSize)
{
    auto* field = new QLabel(text, box);
    field->setTextFormat(Qt::PlainText);
    field->setAlignment(alignment | Qt::AlignVCenter);
    field->setFont(systemFont(pointSize));
    field->setGeometry(frame.toQt(box->height()));
    return field;
}

// Captions first and values after, each from the bottom row up.
void StatisticsView::addStatistics(QWidget* box, QLabel*& minimum, QLabel*& average,
                                   QLabel*& maximum)
{
    const Qt::Alignment right = Qt::AlignRight;
    addText(box, {13, MaximumY, 75, 17}, caption(QT_TRANSLATE_NOOP("Calidra", "Maximum")), right,
            CaptionSize);
    addText(box, {13, AverageY, 75, 17}, caption(QT_TRANSLATE_NOOP("Calidra", "Average")), right,
            CaptionSize);
    addText(box, {13, MinimumY, 75, 17}, caption(QT_TRANSLATE_NOOP("Calidra", "Minimum")), right,
            CaptionSize);
    maximum = addText(box, {90, MaximumY, 55, 17}, QString(), Qt::AlignLeft, CaptionSize);
    average = addText(box, {90, AverageY, 55, 17}, QString(), Qt::AlignLeft, CaptionSize);
    minimum = addText(box, {90, MinimumY, 55, 17}, QString(), Qt::AlignLeft, CaptionSize);
}

void StatisticsView::updateDisplayWithGaugeReader(const GaugeReader& reader,
                                                  const ValueTransformer& transformer)
{
    showFitted(cv, transformed(transformer, reader.currentValue()), CurrentValueSize);
    showFitted(tenmin, transformed(transformer, reader.tenMinuteMinimum()), CaptionSize);
    showFitted(tenavg, transformed(transformer, reader.tenMinuteAverage()), CaptionSize);
    showFitted(tenmax, transformed(transformer, reader.tenMinuteMaximum()), CaptionSize);
    showFitted(allmin, transformed(transformer, reader.overallMinimum()), CaptionSize);
    showFitted(allavg, transformed(transformer, reader.overallAverage()), CaptionSize);
    showFitted(allmax, transformed(transformer, reader.overallMaximum()), CaptionSize);
}

QString StatisticsView::description() const
{
    const QString headings = stringWithFormat(
        ReportTemplate,
        {localizedFormat(QT_TRANSLATE_NOOP("Calidra", "%@ Report")),
         localizedFormat(QT_TRANSLATE_NOOP("Calidra", "Current %@")),
         localizedString(QT_TRANSLATE_NOOP("Calidra", "Statistics for last ten minutes")),
         localizedString(QT_TRANSLATE_NOOP("Calidra", "Overall statistics"))});
    const QString minimum = localizedString(QT_TRANSLATE_NOOP("Calidra", "Minimum"));
    const QString average = localizedString(QT_TRANSLATE_NOOP("Calidra", "Average"));
    const QString maximum = localizedString(QT_TRANSLATE_NOOP("Calidra", "Maximum"));
    return stringWithFormat(headings,
                            {label, label.toLower(), cv->text(), minimum, tenmin->text(), average,
                             tenavg->text(), maximum, tenmax->text(), minimum, allmin->text(),
                             average, allavg->text(), maximum, allmax->text()});
}

} // namespace calidra
