#include "history/MeasurementStore.h"

#include <limits>

namespace history {

MeasurementStore::MeasurementStore(quint32 channelCount, qsizetype expectedRows)
    : m_values(channelCount)
    , m_alarms(channelCount)
    , m_extents(channelCount)
{
    const auto rows = std::size_t(std::max<qsizetype>(expectedRows, 0));
    m_times.reserve(rows);
    for (quint32 channel = 0; channel < channelCount; ++channel) {
        m_values[channel].reserve(rows);
        m_alarms[channel].reserve(rows);
    }
}

QDateTime MeasurementStore::rowDateTime(qsizetype row) const
{
    return QDateTime::fromMSecsSinceEpoch(m_times[std::size_t(row)], Qt::UTC);
}

void MeasurementStore::appendRow(const QDateTime& time)
{
    m_times.push_back(time.toMSecsSinceEpoch());
    for (auto& values : m_values)
        values.push_back(std::numeric_limits<float>::quiet_NaN());
    for (auto& alarms : m_alarms)
        alarms.push_back(NullAlarm);
}

void MeasurementStore::setValue(quint32 channel, float value)
{
    m_values[channel].back() = value;
    Extent& extent = m_extents[channel];
    const qsizetype row = rowCount() - 1;
    if (extent.first < 0) {
        extent = {row, row, value, value};
        return;
    }
    extent.last = row;
    extent.minimum = std::min(extent.minimum, value);
    extent.maximum = std::max(extent.maximum, value);
}

} // namespace history
