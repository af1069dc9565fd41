#include "Gauge.h"

#include <limits>

namespace calidra {

Gauge::~Gauge() = default;

float Gauge::gauge()
{
    return std::numeric_limits<float>::quiet_NaN();
}

} // namespace calidra
