#pragma once

#include <QDateTime>
#include <span>
#include <vector>

namespace history {

// The last measurement fetch, held compactly: the row times and, per channel, a 32-bit
// value and an alarm code for every row, each with a NULL mark (about five bytes a cell).
// Every view of the fetch reads it: the grid, the chart, the CSV export and the report.
class MeasurementStore {
public:
    static constexpr quint8 NullAlarm = 0xFF;

    // Where a channel's values lie: the first and the last row with a value, and the
    // smallest and largest value; first is -1 for a channel without any value.
    struct Extent {
        qsizetype first = -1;
        qsizetype last = -1;
        float minimum = 0;
        float maximum = 0;
    };

    explicit MeasurementStore(quint32 channelCount, qsizetype expectedRows = 0);

    // The bytes a store of rows rows and channelCount channels takes: a time per row, a value
    // and an alarm code per cell.
    static qint64 BytesFor(qint64 rows, quint32 channelCount)
    {
        return rows * qint64(sizeof(qint64) + channelCount * (sizeof(float) + sizeof(quint8)));
    }

    quint32 channelCount() const { return quint32(m_values.size()); }
    qsizetype rowCount() const { return qsizetype(m_times.size()); }

    // Row times in milliseconds of the wall clock (zone-free, see common::WallClock).
    std::span<const qint64> rowTimes() const { return m_times; }
    QDateTime rowDateTime(qsizetype row) const;

    // A channel's values, NaN where the database held NULL (the server stores no NaN).
    std::span<const float> values(quint32 channel) const { return {m_values[channel].data(), m_times.size()}; }
    static bool isNull(float value) { return value != value; }
    // A channel's alarm codes, NullAlarm where the database held NULL.
    std::span<const quint8> alarms(quint32 channel) const { return {m_alarms[channel].data(), m_times.size()}; }
    const Extent& extent(quint32 channel) const { return m_extents[channel]; }

    // Filling, row by row: a new row starts with every cell NULL.
    void appendRow(const QDateTime& time);
    void setValue(quint32 channel, float value);
    void setAlarm(quint32 channel, quint8 code) { m_alarms[channel][m_times.size() - 1] = code; }

private:
    // Makes room for rows rows in every channel's cells (which may run ahead of the rows).
    void growCells(qsizetype rows);

    std::vector<qint64> m_times;
    std::vector<std::vector<float>> m_values;
    std::vector<std::vector<quint8>> m_alarms;
    std::vector<Extent> m_extents;
};

} // namespace history
