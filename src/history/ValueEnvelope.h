#pragma once

#include <QtGlobal>
#include <limits>
#include <span>
#include <vector>

namespace history {

// The lowest and highest value of one series over any run of rows, read from a few levels
// of per-block extremes (blocks of 32, 1024, 32768, ... rows) instead of every value: a run
// of a million rows costs some dozens of reads. Built once for the values of a fetch, in one
// pass, at about a sixteenth of their size. NULL (NaN) values count for nothing.
class ValueEnvelope {
public:
    struct Span {
        float low = std::numeric_limits<float>::infinity();
        float high = -std::numeric_limits<float>::infinity();
        bool isEmpty() const { return !(low <= high); }
        void add(float value)
        {
            // NaN compares false both ways and changes nothing.
            low = value < low ? value : low;
            high = value > high ? value : high;
        }
        void add(const Span& other)
        {
            low = other.low < low ? other.low : low;
            high = other.high > high ? other.high : high;
        }
    };

    // The rows of the smallest block.
    static constexpr qsizetype BlockRows = 32;

    ValueEnvelope() = default;
    explicit ValueEnvelope(std::span<const float> values);

    // The extremes of values [begin, end) of the values it was built from (given again).
    Span span(std::span<const float> values, qsizetype begin, qsizetype end) const;

private:
    // Level l holds one Span per whole block of 32^(l+1) rows.
    std::vector<std::vector<Span>> m_levels;
};

} // namespace history
