#pragma once

#include <QDateTime>
#include <QString>

namespace db { struct ChannelTable; }

namespace history {
struct ChannelStatistics;
class HistoryChart;
}

namespace report {

// The settings of config.ini that a report reads.
struct ReportSettings {
    qint32 Scale = 0;   // 1 or 2: the left axis fixed to Min..Max; 2 first tries the channel's own limits
    float Min = 0;
    float Max = 0;
    QString User;       // printed in the header, "-" when empty
    qint32 AllCharts = 0; // not 0: every channel gets a page, whatever the chart shows
};

// Everything a report prints, as the main window holds it at the click. The report reads
// the last fetch through the history chart's series and queries nothing.
struct ReportSource {
    const db::ChannelTable& channels;
    // Series i is channel i's curve of the last fetch; its active flag selects the channel.
    const history::HistoryChart& chart;
    const history::ChannelStatistics& statistics;
    QDateTime rangeStart; // the range of the pickers at the click (wall clock, held as UTC)
    QDateTime rangeEnd;
    QDateTime outputDateTime; // the time of the click
    ReportSettings settings;
};

// Whether channel has a page: its series is active, or every channel is reported.
bool IsSelected(const ReportSource& source, quint32 channel);

} // namespace report
