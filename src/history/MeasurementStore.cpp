#include "history/MeasurementStore.h"

#include "common/DateTimeText.h"

#include <limits>

namespace history {

MeasurementStore::MeasurementStore(quint32 channelCount, qsizetype expectedRows)
    : m_values(channelCount)
    , m_alarms(channelCount)
    , m_extents(channelCount)
{
    m_times.reserve(std::size_t(std::max<qsizetype>(expectedRows, 0)));
    growCells(expectedRows);
}

void MeasurementStore::growCells(qsizetype rows)
{
    // Every cell is NULL until it is set: filled in bulk, not one push a cell.
    const auto size = std::size_t(std::max<qsizetype>(rows, 0));
    for (auto& values : m_values)
        values.resize(size, std::numeric_limits<float>::quiet_NaN());
    for (auto& alarms : m_alarms)
        alarms.resize(size, NullAlarm);
}

QDateTime MeasurementStore::rowDateTime(qsizetype row) const
{
    return common::WallClockFromMSecs(m_times[std::size_t(row)]);
}

void MeasurementStore::appendRow(const QDateTime& time)
{
    m_times.push_back(time.toMSecsSinceEpoch());
    if (!m_values.empty() && m_values.front().size() < m_times.size())
        growCells(std::max<qsizetype>(2 * rowCount(), 1024));
}

void MeasurementStore::setValue(quint32 channel, float value)
{
    const qsizetype row = rowCount() - 1;
    m_values[channel][std::size_t(row)] = value;
    Extent& extent = m_extents[channel];
    if (extent.first < 0) {
        extent = {row, row, value, value};
        return;
    }
    extent.last = row;
    extent.minimum = std::min(extent.minimum, value);
    extent.maximum = std::max(extent.maximum, value);
}

} // namespace history
