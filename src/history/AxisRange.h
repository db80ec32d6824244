#pragma once

#include <optional>

namespace history {

// A fixed span of a value axis.
struct AxisRange {
    double lower = 0;
    double upper = 0;
    bool operator==(const AxisRange&) const = default;
};

// The fixed range of the left axis that the chart settings ask for, or nothing for
// automatic scaling: modes 1 and 2 with a minimum not above the maximum, not both 0.
inline std::optional<AxisRange> FixedLeftAxisRange(int scale, float min, float max)
{
    if ((scale == 1 || scale == 2) && !(min == 0 && max == 0) && !(min > max))
        return AxisRange{double(min), double(max)};
    return std::nullopt;
}

} // namespace history
