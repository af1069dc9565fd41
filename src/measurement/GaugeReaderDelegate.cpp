#include "GaugeReaderDelegate.h"

namespace calidra {

GaugeReaderDelegate::~GaugeReaderDelegate() = default;

void GaugeReaderDelegate::gaugeReaderDidUpdate(GaugeReader*)
{}

} // namespace calidra
