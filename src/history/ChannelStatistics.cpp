#include "history/ChannelStatistics.h"

namespace history {

StatisticsAccumulator::StatisticsAccumulator(quint32 channelCount)
    : m_channelCount(std::min(channelCount, db::ChannelTable::Capacity))
{
}

void StatisticsAccumulator::storeInto(ChannelStatistics& statistics) const
{
    for (quint32 channel = 0; channel < m_channelCount; ++channel) {
        const Running& running = m_running[channel];
        statistics.records[channel] = running.count > 0
            ? ChannelStatistics::Record{running.minimum, running.maximum, float(running.sum / running.count), running.count}
            : ChannelStatistics::Record{};
    }
}

} // namespace history
