// SPDX-License-Identifier: GPL-3.0-or-later
#include "statistics_window/HistoryGraph.h"

#include "formatting/FrequencyValueTransformer.h"
#include "measurement/Gauge.h"
#include "measurement/GaugeReader.h"
#include "statistics_window/GraphScale.h"

#include <QCoreApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace calidra {
namespace {

TEST(GraphScaleTest, ValuesSpanThePlotAndEqualOrNoValuesLieInTheMiddle)
{
    const QRectF plot(10, 20, 300, 100); // right 310, bottom 120
    const float largest = std::numeric_limits<float>::max();
    // clang-format off
    const struct { const char* name; std::vector<float> values; double lowest, highest; } cases[] = {
        {"none", {}, -1, 1},
        {"equal", {50, 50, 50}, 49, 51},
        {"closer than the smallest span", {50, 50.5F}, 49.25, 51.25},
        {"wide", {40, 90, 60}, 40, 90},
        {"huge", {-largest, largest}, -double(largest), double(largest)},
        {"not finite", {std::nanf(""), 50, std::numeric_limits<float>::infinity()}, 49, 51},
    };
    // clang-format on
    for (const auto& [name, values, lowest, highest] : cases) {
        SCOPED_TRACE(name);
        GraphScale scale(plot, 300);
        for (const float value : values)
            scale.include(value);
        EXPECT_EQ(std::pair(scale.lowest(), scale.highest()), std::pair(lowest, highest));
        EXPECT_DOUBLE_EQ(scale.y(lowest), 120);
        EXPECT_DOUBLE_EQ(scale.y(highest), 20);
        EXPECT_DOUBLE_EQ(scale.y((lowest + highest) / 2), 70);
        EXPECT_EQ(std::pair(scale.y(-double(largest) * 4), scale.y(double(largest) * 4)),
                  std::pair(120.0, 20.0));
    }
    // The newest sample stands at the right, and a full history reaches the left.
    EXPECT_EQ(GraphScale(plot, 301).x(300, 301), 310);
    EXPECT_EQ(GraphScale(plot, 301).x(0, 301), 10);
    EXPECT_EQ(GraphScale(plot, 301).x(0, 151), 160); // half full: starts half way
    EXPECT_EQ(GraphScale(plot, 1).x(0, 1), 310);
    EXPECT_EQ(GraphScale(plot, 0).x(0, 1), 310);
}

// A gauge that reads what the test sets, or rises by 7.5 at each reading.
struct SettableGauge : Gauge
{
    float gauge() override { return reading += step; }
    float reading = 800, step = 7.5F;
};

struct HistoryGraphTest : testing::Test
{
    void update() { graph.updateWithGaugeReader(*reader, transformer); }

    const FrequencyValueTransformer transformer;
    QWidget parent;
    const bool sized = [this] {
        parent.resize(360, 130);
        return true;
    }();
    HistoryGraph graph{QPointF(10, 10), &parent};
    std::shared_ptr<SettableGauge> gauge = std::make_shared<SettableGauge>();
    std::unique_ptr<GaugeReader> reader = GaugeReader::initWithGauge(gauge, 60);
};

// Each history paints differently from the one before, and a rising one
// rises to the right, the newest samples last.
TEST_F(HistoryGraphTest, PaintsEmptyOneFullAndWrappedHistories)
{
    EXPECT_EQ(graph.geometry(), QRect(10, 10, 340, 110));
    QImage before;
    for (const int samples : {0, 1, 9, 5}) {
        for (int sample = 0; sample < samples; ++sample)
            reader->_gaugeTimerFired();
        update();
        QImage image(graph.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        graph.draw(painter);
        painter.end();
        EXPECT_NE(image, before) << reader->history().size();
        before = image;
    }
    EXPECT_EQ(reader->history().size(), 10);
    // The line is the one coloured thing drawn: its top at its first and last column.
    std::vector<QPoint> tops;
    for (int x = 0; x < before.width(); ++x) {
        for (int y = 0; y < before.height(); ++y) {
            const QColor pixel(before.pixel(x, y));
            const int r = pixel.red(), g = pixel.green(), b = pixel.blue();
            if (std::max({r, g, b}) - std::min({r, g, b}) > 40) {
                tops.emplace_back(x, y);
                break;
            }
        }
    }
    ASSERT_FALSE(tops.empty());
    EXPECT_GT(tops.back().x() - tops.front().x(), 200);
    EXPECT_LT(tops.back().y(), tops.front().y() - 20);
}

// The regions the graph was asked to paint.
struct PaintedRegions : QObject
{
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            regions.append(static_cast<QPaintEvent*>(event)->region());
        return false;
    }
    QList<QRegion> regions;
};

// While the axis keeps its labels, a sample repaints the plot alone; a
// sample that moves the axis repaints the whole graph, frame and labels.
TEST_F(HistoryGraphTest, ASampleRepaintsThePlotAloneWhileTheAxisStays)
{
    gauge->step = 0;
    reader = GaugeReader::initWithGauge(gauge, 2);
    PaintedRegions painted;
    graph.installEventFilter(&painted);
    parent.show();
    const auto sample = [&](float reading) {
        gauge->reading = reading;
        reader->_gaugeTimerFired();
        update();
        painted.regions.clear();
        QCoreApplication::processEvents();
        return painted.regions.isEmpty() ? QRegion() : painted.regions.constLast();
    };
    const QRect whole = graph.rect();
    EXPECT_EQ(sample(50), QRegion(whole)) << "the first samples";
    sample(50.4F);
    // The same labels: the frame's rows and sides are not painted again.
    const QRegion plot = sample(50.2F);
    EXPECT_FALSE(plot.isEmpty());
    EXPECT_FALSE(plot.intersects(QRect(whole.left(), 0, whole.width(), 1)));
    EXPECT_FALSE(plot.intersects(QRect(whole.left(), whole.bottom(), whole.width(), 1)));
    EXPECT_FALSE(plot.contains(QPoint(whole.right(), whole.center().y())));
    EXPECT_LT(plot.boundingRect().height(), 96);
    EXPECT_EQ(sample(900), QRegion(whole)); // a new top of the scale changes the labels
}

} // namespace
} // namespace calidra
