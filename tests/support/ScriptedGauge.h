// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "measurement/Gauge.h"

#include <deque>
#include <memory>
#include <utility>

namespace calidra {

/// A gauge that gives its readings in order, then repeats the last one.
struct ScriptedGauge : Gauge
{
    explicit ScriptedGauge(std::deque<float> given = {0.0F}) : readings(std::move(given)) {}

    float gauge() override
    {
        const float reading = readings.front();
        if (readings.size() > 1) {
            readings.pop_front();
        }
        return reading;
    }

    std::deque<float> readings;
};

inline std::shared_ptr<ScriptedGauge> fixedGauge(float reading)
{
    return std::make_shared<ScriptedGauge>(std::deque<float>{reading});
}

} // namespace calidra
