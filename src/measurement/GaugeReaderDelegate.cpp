// SPDX-License-Identifier: GPL-3.0-or-later
#include "GaugeReaderDelegate.h"

namespace calidra {

GaugeReaderDelegate::~GaugeReaderDelegate() = default;

void GaugeReaderDelegate::gaugeReaderDidUpdate(GaugeReader*)
{}

void GaugeReaderDelegate::gaugeReaderDidMiss(GaugeReader*)
{}

} // namespace calidra
