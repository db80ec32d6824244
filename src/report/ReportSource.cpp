#include "report/ReportSource.h"

#include "history/HistoryChart.h"

namespace report {

bool IsSelected(const ReportSource& source, quint32 channel)
{
    return source.settings.AllCharts != 0 || source.chart.seriesActive(int(channel));
}

} // namespace report
