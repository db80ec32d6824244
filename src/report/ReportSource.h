#pragma once

#include "history/AxisRange.h"
#include "history/FetchResult.h"

#include <QColor>
#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

namespace db { struct ChannelTable; }

namespace report {

// The settings of config.ini that a report reads.
struct ReportSettings {
    qint32 Scale = 0;   // 1 or 2: the left axis fixed to Min..Max; 2 first tries the channel's own limits
    float Min = 0;
    float Max = 0;
    QString User;       // printed in the header, "-" when empty
    qint32 AllCharts = 0; // not 0: every channel gets a page, whatever the chart shows
};

// Everything a report prints, as plain data taken at the click: the last fetch, which
// channels are shown and in what colour, and the settings. The report queries nothing; the
// range it prints is the one the fetch asked for, which its curves and statistics come from.
struct ReportSource {
    const db::ChannelTable& channels;
    const history::FetchResult& fetch;
    std::vector<bool> selected;  // by channel: its series is shown in the history chart
    std::vector<QColor> colours; // by channel: its series' colour
    QString dateTimeFormat;      // of the time axis' labels
    QDateTime outputDateTime;    // the time of the click
    ReportSettings settings;
};

// Whether channel has a page: its series is shown, or every channel is reported.
bool IsSelected(const ReportSource& source, quint32 channel);
// The number of pages: the selected channels.
quint32 PageCount(const ReportSource& source);

// The fixed value range of a page's chart, or nothing for automatic scaling. Scale 1:
// Min..Max; Scale 2: the channel's own LIMIT_LO..LIMIT_HI, or Min..Max when those are both
// 0 or reversed. A range needs its ends not both 0 and not reversed.
std::optional<history::AxisRange> LeftAxisRange(const ReportSettings& settings, const db::ChannelTable& channels,
                                                quint32 channel);

} // namespace report
