#pragma once

#include <qcustomplot.h>

namespace history {

// Date-time ticks for keys that are wall-clock times held as UTC. QCustomPlot's own ticker
// labels them in UTC when asked, but snaps day and month ticks to the time of day of its
// origin in the machine's zone (23:00 or 22:00 in Europe/Warsaw): here they are placed in
// UTC too, so a day tick sits at 00:00:00 whatever the zone and the season.
class WallClockTicker final : public QCPAxisTickerDateTime {
public:
    WallClockTicker();

protected:
    QVector<double> createTickVector(double tickStep, const QCPRange& range) override;
};

} // namespace history
