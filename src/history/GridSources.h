#pragma once

#include "common/DateTimeText.h"
#include "common/ValueText.h"
#include "history/FetchResult.h"
#include "history/StringGrid.h"

#include <array>
#include <memory>
#include <vector>

namespace history {

class MeasurementStore;

// The measurement grid's cells below the header, formatted from the store as they are
// shown or saved: the row's date-time, then per channel the value ("- " for NULL, else
// fixed-point with the channel's decimals) and the alarm marker ("- " for NULL).
class MeasurementCells final : public GridCellSource {
public:
    MeasurementCells(std::shared_ptr<const MeasurementStore> store, std::vector<qint32> decimals);

    QString cellText(int column, int row) const override;
    bool appendAsciiCellText(int column, int row, QByteArray& out) const override;
    bool appendAsciiRows(int firstRow, int endRow, int columnCount, const RowFrame& frame,
                         QByteArray& out) const override;

private:
    std::shared_ptr<const MeasurementStore> m_store;
    std::vector<qint32> m_decimals; // DOT per channel, as at the fetch
    common::FixedPointFormat m_format;
    common::DateTimeFormatter m_dateTimes;
};

// The event grid's cells: the fetched events' date-times ("- " for NULL) and their texts.
class EventCells final : public GridCellSource {
public:
    explicit EventCells(std::shared_ptr<const EventRows> rows);

    QString cellText(int column, int row) const override;
    bool appendAsciiCellText(int column, int row, QByteArray& out) const override;

private:
    const EventRow* event(int row) const;

    std::shared_ptr<const EventRows> m_rows;
    common::DateTimeFormatter m_dateTimes;
};

} // namespace history
