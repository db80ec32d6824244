#pragma once

#include "db/ChannelTable.h"

#include <array>

namespace history {

// Per channel the minimum, maximum and average of its non-NULL values in the last fetch
// that returned rows, and how many there were. All zero until such a fetch.
struct ChannelStatistics {
    struct Record {
        float minimum = 0;
        float maximum = 0;
        float average = 0;
        quint32 sampleCount = 0;
    };
    std::array<Record, db::ChannelTable::Capacity> records{};

    const Record& operator[](quint32 channel) const { return records[channel]; }
};

// Gathers the statistics in the fetch's single sweep over the raw values. The starting
// minimum and maximum are +-3.4e38, the sum is a 64-bit float.
class StatisticsAccumulator {
public:
    explicit StatisticsAccumulator(quint32 channelCount);

    void add(quint32 channel, float value)
    {
        Running& running = m_running[channel];
        running.sum += double(value);
        if (value < running.minimum)
            running.minimum = value;
        if (value > running.maximum)
            running.maximum = value;
        ++running.count;
    }
    // Writes the averages, and zeros for a channel without values, into statistics.
    void storeInto(ChannelStatistics& statistics) const;

private:
    struct Running {
        double sum = 0;
        float minimum = 3.4e38f;
        float maximum = -3.4e38f;
        quint32 count = 0;
    };
    quint32 m_channelCount;
    std::array<Running, db::ChannelTable::Capacity> m_running{};
};

} // namespace history
