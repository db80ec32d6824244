#include "history/GridSources.h"

#include "common/DateTimeText.h"
#include "db/Alarm.h"
#include "history/MeasurementStore.h"

namespace history {

namespace {
const QLatin1String NullText("- ");
} // namespace

MeasurementCells::MeasurementCells(std::shared_ptr<const MeasurementStore> store, std::vector<qint32> decimals)
    : m_store(std::move(store))
    , m_decimals(std::move(decimals))
{
}

QString MeasurementCells::cellText(int column, int row) const
{
    const qsizetype storeRow = row - 1;
    if (storeRow < 0 || storeRow >= m_store->rowCount())
        return {};
    if (column == 0)
        return m_dateTimes.text(m_store->rowDateTime(storeRow));
    const auto channel = quint32((column - 1) / 2);
    if (channel >= m_store->channelCount())
        return {};
    if (column % 2 == 1) {
        const float value = m_store->values(channel)[std::size_t(storeRow)];
        return MeasurementStore::isNull(value) ? QString(NullText) : m_format.text(value, m_decimals[channel]);
    }
    const quint8 alarm = m_store->alarms(channel)[std::size_t(storeRow)];
    return alarm == MeasurementStore::NullAlarm ? QString(NullText) : QString(db::AlarmMarkerOfCode(alarm));
}

bool MeasurementCells::appendAsciiCellText(int column, int row, QByteArray& out) const
{
    const qsizetype storeRow = row - 1;
    const auto channel = quint32((column - 1) / 2);
    // The date-time follows the locale's formats, which may hold any letter.
    if (column == 0 || storeRow < 0 || storeRow >= m_store->rowCount() || channel >= m_store->channelCount())
        return false;
    if (column % 2 == 1) {
        const float value = m_store->values(channel)[std::size_t(storeRow)];
        if (MeasurementStore::isNull(value)) {
            out.append(NullText);
            return true;
        }
        if (!m_format.hasAsciiSeparator())
            return false;
        m_format.appendAscii(out, value, m_decimals[channel]);
        return true;
    }
    const quint8 alarm = m_store->alarms(channel)[std::size_t(storeRow)];
    out.append(alarm == MeasurementStore::NullAlarm ? NullText : db::AlarmMarkerOfCode(alarm));
    return true;
}

bool MeasurementCells::appendAsciiRow(int row, int columnCount, QByteArrayView prefix, QByteArrayView suffix,
                                      QByteArray& out) const
{
    const qsizetype storeRow = row - 1;
    const quint32 channels = m_store->channelCount();
    if (storeRow < 0 || storeRow >= m_store->rowCount() || columnCount != int(1 + 2 * channels)
        || !m_format.hasAsciiSeparator())
        return false;
    // Room for the longest texts, written in place and cut to what was written: no append
    // a cell.
    const qsizetype start = out.size();
    out.resize(start + qsizetype(channels) * 2 * (prefix.size() + common::FixedPointFormat::MaxAsciiLength + suffix.size()));
    char* next = out.data() + start;
    const auto put = [&next](const auto& bytes) { next = std::copy(bytes.begin(), bytes.end(), next); };
    for (quint32 channel = 0; channel < channels; ++channel) {
        const float value = m_store->values(channel)[std::size_t(storeRow)];
        put(prefix);
        if (MeasurementStore::isNull(value))
            put(NullText);
        else
            next = m_format.writeAscii(next, value, m_decimals[channel]);
        put(suffix);
        const quint8 alarm = m_store->alarms(channel)[std::size_t(storeRow)];
        put(prefix);
        put(alarm == MeasurementStore::NullAlarm ? NullText : db::AlarmMarkerOfCode(alarm));
        put(suffix);
    }
    out.resize(next - out.constData());
    return true;
}

EventCells::EventCells(std::shared_ptr<const EventRows> rows)
    : m_rows(std::move(rows))
{
}

QString EventCells::cellText(int column, int row) const
{
    const qsizetype index = row - 1;
    if (index < 0 || index >= qsizetype(m_rows->size()) || column < 0 || column >= int(EventRow().size()))
        return {};
    return (*m_rows)[std::size_t(index)][std::size_t(column)];
}

} // namespace history
