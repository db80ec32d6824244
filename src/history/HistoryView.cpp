#include "history/HistoryView.h"

#include "common/DateTimeText.h"
#include "db/CDataBase.h"
#include "db/ChannelTable.h"
#include "db/Contract.h"
#include "history/EventFetch.h"
#include "history/GridSources.h"
#include "history/HistoryChart.h"
#include "history/MeasurementFetch.h"
#include "history/RangePickers.h"
#include "history/StringGrid.h"

#include <QElapsedTimer>
#include <QProgressBar>

namespace history {

namespace {

// Moves the progress bar through one fetch, a step a row, and puts it back to the start
// however the fetch ends. The bar is repainted at once without letting any other event
// run, which costs about as much as reading a short row: it moves on the first row, on the
// last, and in between at most about 30 times a second.
class FetchProgress {
public:
    FetchProgress(QProgressBar& bar, qint64 rows)
        : m_bar(bar)
        , m_rows(std::min<qint64>(rows, std::numeric_limits<int>::max()))
    {
        m_bar.setMaximum(int(m_rows));
        m_bar.setValue(0);
    }
    ~FetchProgress() { m_bar.setValue(0); }
    FetchProgress(const FetchProgress&) = delete;
    FetchProgress& operator=(const FetchProgress&) = delete;

    void step()
    {
        ++m_done;
        if (m_done == 1 || m_done >= m_rows || m_sinceShown.hasExpired(RepaintMilliseconds)) {
            m_bar.setValue(int(std::min(m_done, m_rows)));
            m_sinceShown.start();
        }
    }

private:
    static constexpr qint64 RepaintMilliseconds = 33;
    QProgressBar& m_bar;
    const qint64 m_rows;
    qint64 m_done = 0;
    QElapsedTimer m_sinceShown;
};

} // namespace

HistoryView::HistoryView(const Controls& controls, const db::CDataBase& database, sql::SqlQuery& query,
                         const db::ChannelTable& channels, QObject* parent)
    : QObject(parent)
    , m_controls(controls)
    , m_database(database)
    , m_query(query)
    , m_channels(channels)
    , m_lastFetch(FetchResult::Empty(0))
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
    const RangeBound start = rangeStart();
    const RangeBound end = rangeEnd();
    if (!m_database.connected())
        return;
    // What a fetch leaves out stays as the last fetch had it.
    auto result = std::make_shared<FetchResult>(*m_lastFetch);
    result->rangeStart = start.value;
    result->rangeEnd = end.value;
    // The rows read before an error stay in every view.
    const auto showResult = qScopeGuard([&] { show(result); });
    LoadEventHistory(db::contract::EventTable, *result);
    LoadMeasurementHistory(db::contract::DataTable, *result);
}

void HistoryView::LoadEventHistory(const QString& table, FetchResult& result)
{
    EventFetch fetch(m_query);
    const qint64 rows = fetch.open(table, common::RangeBoundText(result.rangeStart), common::RangeBoundText(result.rangeEnd));
    if (rows == 0)
        return;
    FetchProgress progress(*m_controls.progressBar, rows);
    auto events = std::make_shared<EventRows>();
    events->reserve(std::size_t(rows));
    result.events = events;
    fetch.read([&] { progress.step(); }, *events);
}

void HistoryView::LoadMeasurementHistory(const QString& table, FetchResult& result)
{
    MeasurementFetch fetch(m_query, m_channels);
    const qint64 rows = fetch.open(table, common::RangeBoundText(result.rangeStart), common::RangeBoundText(result.rangeEnd));
    if (rows == 0)
        return;
    FetchProgress progress(*m_controls.progressBar, rows);
    releaseStore(result);
    const auto keep = qScopeGuard([&] {
        if (const auto store = fetch.store())
            result.store = store;
        fetch.storeStatisticsInto(result.statistics);
    });
    fetch.read([&] { progress.step(); });
}

void HistoryView::releaseStore(FetchResult& result)
{
    // The rows coming replace the last fetch's whatever happens: its store goes before the
    // new one is made, so that two never sit in memory together. Every view lets go of it.
    result.store = std::make_shared<const MeasurementStore>(m_channels.count);
    show(std::make_shared<const FetchResult>(result));
}

void HistoryView::resetToChannels()
{
    m_controls.chart->setChannels(m_channels);
    m_lastFetch = FetchResult::Empty(m_channels.count);
    m_controls.chart->showFetch(m_lastFetch->store);
}

void HistoryView::show(std::shared_ptr<const FetchResult> result)
{
    m_lastFetch = std::move(result);
    const FetchResult& fetch = *m_lastFetch;
    StringGrid& events = *m_controls.eventGrid;
    events.setRowCount(int(std::max<std::size_t>(fetch.events->size(), 1) + 1));
    events.cells().setCellSource(std::make_shared<EventCells>(fetch.events));
    const MeasurementStore& store = *fetch.store;
    std::vector<qint32> decimals(m_channels.DOT.begin(), m_channels.DOT.begin() + store.channelCount());
    StringGrid& data = *m_controls.dataGrid;
    data.setRowCount(int(std::max<qsizetype>(store.rowCount(), 1) + 1));
    data.cells().setCellSource(std::make_shared<MeasurementCells>(fetch.store, std::move(decimals)));
    m_controls.chart->showFetch(fetch.store);
}

} // namespace history
