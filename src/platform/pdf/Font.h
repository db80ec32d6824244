#pragma once

namespace pdf {

// A face of the standard Helvetica family at a size in points.
struct Font {
    double size = 10;
    bool bold = false;
    bool italic = false;
};

} // namespace pdf
