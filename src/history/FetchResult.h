#pragma once

#include "history/ChannelStatistics.h"
#include "history/MeasurementStore.h"

#include <QDateTime>
#include <QString>
#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace history {

// One event of a fetch as the event grid shows it: its date-time, kept as a number (the wall
// clock's WallClock(date, time).toMSecsSinceEpoch(); none for NULL) and written when shown,
// then the texts of its kind, device, value and description.
struct EventRow {
    std::optional<qint64> time;
    std::array<QString, 4> texts;
};
using EventRows = std::vector<EventRow>;

// What one press of "Pobierz dane" brought: the range that was asked for, the measurement
// rows, the statistics over them and the events. The grids, the chart, the CSV export and the
// report all read this one value, so none of them can show another range than the others.
struct FetchResult {
    QDateTime rangeStart; // wall clock, held as UTC; invalid before any fetch
    QDateTime rangeEnd;
    std::shared_ptr<const MeasurementStore> store; // never null
    ChannelStatistics statistics;
    std::shared_ptr<const EventRows> events; // never null

    // No rows of channelCount channels and no events, for the range start..end (none: nothing
    // was fetched yet).
    static FetchResult Empty(quint32 channelCount, const QDateTime& start = {}, const QDateTime& end = {});
};

} // namespace history
