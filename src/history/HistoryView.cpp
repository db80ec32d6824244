#include "history/HistoryView.h"

#include "db/CDataBase.h"
#include "db/ChannelTable.h"
#include "db/Contract.h"
#include "history/EventFetch.h"
#include "history/GridSources.h"
#include "history/HistoryChart.h"
#include "history/MeasurementFetch.h"
#include "history/RangePickers.h"
#include "history/StringGrid.h"

#include <QProgressBar>

namespace history {

namespace {

// Moves the progress bar through one fetch, one step a row, and puts it back to the
// start however the fetch ends. QProgressBar repaints itself at once when its value moves
// far enough to show, without letting any other event run.
class FetchProgress {
public:
    FetchProgress(QProgressBar& bar, qint64 rows)
        : m_bar(bar)
    {
        m_bar.setMaximum(int(std::min<qint64>(rows, std::numeric_limits<int>::max())));
        m_bar.setValue(0);
    }
    ~FetchProgress() { m_bar.setValue(0); }
    FetchProgress(const FetchProgress&) = delete;
    FetchProgress& operator=(const FetchProgress&) = delete;

    void step() { m_bar.setValue(m_bar.value() + 1); }

private:
    QProgressBar& m_bar;
};

} // namespace

HistoryView::HistoryView(const Controls& controls, const db::CDataBase& database, sql::SqlQuery& query,
                         const db::ChannelTable& channels, QObject* parent)
    : QObject(parent)
    , m_controls(controls)
    , m_database(database)
    , m_query(query)
    , m_channels(channels)
{
    for (QDateTimeEdit* picker : {static_cast<QDateTimeEdit*>(controls.startDate), static_cast<QDateTimeEdit*>(controls.startTime),
                                  static_cast<QDateTimeEdit*>(controls.endDate), static_cast<QDateTimeEdit*>(controls.endTime)})
        connect(picker, &QDateTimeEdit::dateTimeChanged, this, &HistoryView::followRangeWhileEmpty);
}

RangeBound HistoryView::rangeStart() const
{
    return ReadRangeBound(*m_controls.startDate, *m_controls.startTime);
}

RangeBound HistoryView::rangeEnd() const
{
    return ReadRangeBound(*m_controls.endDate, *m_controls.endTime);
}

void HistoryView::followRangeWhileEmpty()
{
    m_controls.chart->showRangeWhileEmpty(rangeStart().value, rangeEnd().value);
}

void HistoryView::GetDataButtonClick()
{
    LoadEventHistory(db::contract::EventTable, *m_controls.eventGrid);
    LoadMeasurementHistory(db::contract::DataTable, *m_controls.dataGrid);
}

void HistoryView::LoadEventHistory(const QString& table, StringGrid& grid)
{
    const QString from = rangeStart().text;
    const QString to = rangeEnd().text;
    if (!m_database.connected())
        return;
    EventFetch fetch(m_query);
    const qint64 rows = fetch.open(table, from, to);
    if (rows == 0)
        return;
    FetchProgress progress(*m_controls.progressBar, rows);
    auto events = std::make_shared<EventCells>();
    // The events read before an error stay in the grid.
    const auto show = qScopeGuard([&] {
        grid.setRowCount(int(rows + 1));
        grid.cells().setCellSource(events);
    });
    fetch.read([&] { progress.step(); }, *events);
}

void HistoryView::LoadMeasurementHistory(const QString& table, StringGrid& grid)
{
    const QString from = rangeStart().text;
    const QString to = rangeEnd().text;
    if (!m_database.connected())
        return;
    MeasurementFetch fetch(m_query, m_channels);
    const qint64 rows = fetch.open(table, from, to);
    if (rows == 0)
        return;
    FetchProgress progress(*m_controls.progressBar, rows);
    // The rows read before an error stay in the grid, the chart and the statistics.
    const auto show = qScopeGuard([&] { showMeasurements(fetch, grid); });
    fetch.read([&] { progress.step(); });
}

void HistoryView::showMeasurements(const MeasurementFetch& fetch, StringGrid& grid)
{
    const std::shared_ptr<const MeasurementStore> store = fetch.store();
    std::vector<qint32> decimals(m_channels.DOT.begin(), m_channels.DOT.begin() + store->channelCount());
    grid.setRowCount(int(std::max<qsizetype>(store->rowCount(), 1) + 1));
    grid.cells().setCellSource(std::make_shared<MeasurementCells>(store, std::move(decimals)));
    m_controls.chart->showFetch(store);
    fetch.storeStatisticsInto(m_statistics);
}

} // namespace history
