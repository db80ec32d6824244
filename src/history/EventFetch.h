#pragma once

#include "history/FetchResult.h"

#include <QString>
#include <array>
#include <functional>

namespace sql { class SqlQuery; }

namespace history {

// One fetch of the events of a range, oldest first, into the texts of the event grid.
class EventFetch {
public:
    explicit EventFetch(sql::SqlQuery& query);
    ~EventFetch();
    EventFetch(const EventFetch&) = delete;
    EventFetch& operator=(const EventFetch&) = delete;

    // Opens the range's statement and finds the five columns (a missing one throws, naming
    // it). Returns the number of rows; with 0 the query is closed.
    qint64 open(const QString& table, const QString& from, const QString& to);
    // Appends a line of texts per row to rows; beforeRow runs before each. An error ends
    // the sweep where it arises; the lines appended until then stay.
    void read(const std::function<void()>& beforeRow, EventRows& rows);

private:
    sql::SqlQuery& m_query;
    std::array<int, 5> m_columns{}; // DT, TYPE, NAME, VAL, DESCRIPTION
};

} // namespace history
