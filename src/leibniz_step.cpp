#include "leibniz_step.hpp"

#include <cassert>

#include "extended.hpp"

namespace pigreco {

double leibniz_step(double sum, double sign_factor, std::uint32_t index)
{
    assert(index < (std::uint32_t{1} << 31));
    extended numerator = to_extended(sign_factor);
    numerator.exponent += 2; // times 4.0: exact for every finite sign factor
    const extended term = divide(numerator, 2 * index + 1);
    return to_double(add(to_extended(sum), term));
}

} // namespace pigreco
