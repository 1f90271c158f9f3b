#include "MulDiv.h"

#include <cstdint>
#include <cstdlib>
#include <limits>

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    const std::int64_t product = std::int64_t(number) * numerator;
    const std::int64_t divisor = std::llabs(denominator);
    const std::int64_t magnitude = (std::llabs(product) + divisor / 2) / divisor;
    const std::int64_t result = (product < 0) != (denominator < 0) ? -magnitude : magnitude;
    if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min())
        return -1;
    return int(result);
}
