#include "report/ReportSource.h"

#include "db/ChannelTable.h"

namespace report {

bool IsSelected(const ReportSource& source, quint32 channel)
{
    return source.settings.AllCharts != 0 || (channel < source.selected.size() && source.selected[channel]);
}

quint32 PageCount(const ReportSource& source)
{
    quint32 pages = 0;
    for (quint32 i = 0; i < source.channels.count; ++i)
        pages += IsSelected(source, i) ? 1 : 0;
    return pages;
}

std::optional<history::AxisRange> LeftAxisRange(const ReportSettings& settings, const db::ChannelTable& channels,
                                                quint32 channel)
{
    if (settings.Scale == 2) {
        if (const auto own = history::FixedLeftAxisRange(settings.Scale, channels.LIMIT_LO[channel],
                                                         channels.LIMIT_HI[channel]))
            return own;
    }
    return history::FixedLeftAxisRange(settings.Scale, settings.Min, settings.Max);
}

} // namespace report
