#pragma once

namespace pdf {

// A face of the embedded Liberation Sans (the widths of Arial and Helvetica) at a size in points.
struct Font {
    double size = 10;
    bool bold = false;
    bool italic = false;
};

} // namespace pdf
