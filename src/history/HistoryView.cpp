#include "history/HistoryView.h"

#include "common/DateTimeText.h"
#include "db/CDataBase.h"
#include "db/ChannelTable.h"
#include "db/Contract.h"
#include "db/MeasurementTable.h"
#include "history/EventFetch.h"
#include "history/GridSources.h"
#include "history/HistoryChart.h"
#include "history/MeasurementFetch.h"
#include "history/RangePickers.h"
#include "history/StringGrid.h"
#include "platform/os/AvailableMemory.h"

#include <QElapsedTimer>
#include <QProgressBar>
#include <stdexcept>

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
    , m_lastFetch(std::make_shared<const FetchResult>(FetchResult::Empty(0)))
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
    showNote({});
    MeasurementFetch measurements(m_query, m_channels);
    const qint64 rows = measurements.countRows(db::contract::DataTable, start.text, end.text);
    requireMemoryFor(rows);
    auto result = std::make_shared<FetchResult>(FetchResult::Empty(m_channels.count, start.value, end.value));
    Fetching fetching{*result};
    const auto showResult = qScopeGuard([&] {
        if (fetching.answered)
            show(result);
    });
    LoadEventHistory(db::contract::EventTable, fetching);
    LoadMeasurementHistory(db::contract::DataTable, measurements, rows, fetching);
    if (result->store->rowCount() == 0)
        showNote(result->events->empty() ? QStringLiteral("Brak danych w wybranym zakresie.")
                                         : QStringLiteral("Brak pomiarów w wybranym zakresie."));
}

void HistoryView::LoadEventHistory(const QString& table, Fetching& fetching)
{
    FetchResult& result = fetching.result;
    EventFetch fetch(m_query);
    const qint64 rows = fetch.open(table, common::RangeBoundText(result.rangeStart), common::RangeBoundText(result.rangeEnd));
    markAnswered(fetching);
    if (rows == 0)
        return;
    FetchProgress progress(*m_controls.progressBar, rows);
    auto events = std::make_shared<EventRows>();
    events->reserve(std::size_t(rows));
    result.events = events;
    fetch.read([&] { progress.step(); }, *events);
}

void HistoryView::LoadMeasurementHistory(const QString& table, MeasurementFetch& fetch, qint64 rows, Fetching& fetching)
{
    FetchResult& result = fetching.result;
    fetch.open(table, common::RangeBoundText(result.rangeStart), common::RangeBoundText(result.rangeEnd), rows);
    markAnswered(fetching);
    if (rows == 0)
        return;
    {
        FetchProgress progress(*m_controls.progressBar, rows);
        const auto keep = qScopeGuard([&] {
            if (const auto store = fetch.store())
                result.store = store;
            fetch.storeStatisticsInto(result.statistics);
        });
        fetch.read([&] { progress.step(); });
    }
    QStringList problems;
    if (!fetch.missingColumns().isEmpty())
        problems.append(db::MissingColumnsText(table, fetch.missingColumns())
                        + QStringLiteral(" Kanały tych kolumn pokazują \"- \"."));
    if (!fetch.valueFaults().empty())
        problems.append(fetch.valueFaults().message(m_channels, true));
    if (!problems.isEmpty())
        throw std::runtime_error(problems.join(QLatin1Char('\n')).toStdString());
}

void HistoryView::requireMemoryFor(qint64 rows) const
{
    const qint64 needed = MeasurementStore::BytesFor(rows, m_channels.count);
    std::optional<qint64> available = os::AvailableMemory();
    // The last fetch's store is let go of before the new one is made, so its room counts.
    const MeasurementStore& held = *m_lastFetch->store;
    if (available)
        *available += MeasurementStore::BytesFor(held.rowCount(), held.channelCount());
    if (!available || needed <= *available)
        return;
    const auto megabytes = [](qint64 bytes) { return QString::number((bytes + (1 << 20) - 1) >> 20); };
    throw std::runtime_error(QStringLiteral("Wybrany zakres ma %1 wierszy pomiarów dla %2 kanałów. Potrzeba na nie około "
                                            "%3 MB pamięci, a dostępne jest %4 MB. Wybierz krótszy zakres.")
                                 .arg(rows)
                                 .arg(m_channels.count)
                                 .arg(megabytes(needed), megabytes(std::max<qint64>(*available, 0)))
                                 .toStdString());
}

void HistoryView::showNote(const QString& note)
{
    QProgressBar& bar = *m_controls.progressBar;
    bar.setFormat(note);
    bar.setAlignment(Qt::AlignCenter);
    bar.setTextVisible(!note.isEmpty());
}

void HistoryView::markAnswered(Fetching& fetching)
{
    if (fetching.answered)
        return;
    fetching.answered = true;
    // Whatever comes now replaces the last fetch: every view lets go of it (its store, the
    // chart's envelopes of it, its events) before the new rows are read, so that two
    // fetches never sit in memory together.
    show(std::make_shared<const FetchResult>(fetching.result));
}

void HistoryView::resetToChannels()
{
    m_controls.chart->setChannels(m_channels);
    m_lastFetch = std::make_shared<const FetchResult>(FetchResult::Empty(m_channels.count));
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
    m_controls.chart->showRangeWhileEmpty(fetch.rangeStart, fetch.rangeEnd);
}

} // namespace history
