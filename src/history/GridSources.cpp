#include "history/GridSources.h"

#include "common/DateTimeText.h"
#include "db/Alarm.h"
#include "history/MeasurementStore.h"

#include <array>
#include <cstring>

namespace history {

namespace {
const QLatin1String NullText("- ");

// An alarm cell's text: the marker of its code, "- " for NULL.
QLatin1String AlarmText(quint8 code)
{
    return code == MeasurementStore::NullAlarm ? NullText : db::AlarmMarkerOfCode(code);
}

// The wall-clock date-time appended as bytes, only where the locale writes date-times as
// numbers and separators.
bool AppendDateTime(const common::DateTimeFormatter& dateTimes, qint64 wallClockMSecs, QByteArray& out)
{
    std::array<char, common::DateTimeFormatter::MaxAsciiLength> bytes;
    const char* const end = dateTimes.writeAscii(bytes.data(), wallClockMSecs);
    if (end)
        out.append(bytes.data(), end - bytes.data());
    return end != nullptr;
}
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
    return AlarmText(alarm);
}

bool MeasurementCells::appendAsciiCellText(int column, int row, QByteArray& out) const
{
    const qsizetype storeRow = row - 1;
    const auto channel = quint32((column - 1) / 2);
    if (storeRow < 0 || storeRow >= m_store->rowCount())
        return false;
    if (column == 0)
        return AppendDateTime(m_dateTimes, m_store->rowTimes()[std::size_t(storeRow)], out);
    if (channel >= m_store->channelCount())
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
    out.append(AlarmText(alarm));
    return true;
}

namespace {

// The short texts of the measurement cells, each between a prefix and a suffix, as fixed
// 16-byte moves: the markers of every alarm code and the NULL mark, and the frame of a
// value. Millions of cells are written this way.
class CellFrames {
public:
    static constexpr qsizetype Room = 16;

    CellFrames(QByteArrayView prefix, QByteArrayView suffix)
        : m_prefixSize(prefix.size())
        , m_suffixSize(suffix.size())
    {
        std::copy(prefix.begin(), prefix.end(), m_prefix.begin());
        std::copy(suffix.begin(), suffix.end(), m_suffix.begin());
        const auto frame = [&](QLatin1String text) {
            Field field{};
            char* const end = std::copy(suffix.begin(), suffix.end(),
                                        std::copy(text.begin(), text.end(),
                                                  std::copy(prefix.begin(), prefix.end(), field.bytes.begin())));
            field.size = end - field.bytes.begin();
            return field;
        };
        m_null = frame(NullText);
        for (std::size_t code = 0; code < m_alarms.size(); ++code)
            m_alarms[code] = frame(AlarmText(quint8(code)));
    }

    // At out, which has room for Room bytes beyond what it keeps.
    char* null(char* out) const { return put(out, m_null); }
    char* alarm(char* out, quint8 code) const { return put(out, m_alarms[code]); }
    char* prefix(char* out) const
    {
        std::memcpy(out, m_prefix.data(), m_prefix.size());
        return out + m_prefixSize;
    }
    char* suffix(char* out) const
    {
        std::memcpy(out, m_suffix.data(), m_suffix.size());
        return out + m_suffixSize;
    }

private:
    struct Field {
        std::array<char, Room> bytes;
        qsizetype size;
    };
    static char* put(char* out, const Field& field)
    {
        std::memcpy(out, field.bytes.data(), Room);
        return out + field.size;
    }

    std::array<char, GridCellSource::MaxFrameBytes> m_prefix{};
    std::array<char, GridCellSource::MaxFrameBytes> m_suffix{};
    qsizetype m_prefixSize;
    qsizetype m_suffixSize;
    Field m_null;
    std::array<Field, 256> m_alarms;
};
static_assert(2 * GridCellSource::MaxFrameBytes + 5 <= CellFrames::Room, "the longest marker with its frame");

} // namespace

bool MeasurementCells::appendAsciiRows(int firstRow, int endRow, int columnCount, const RowFrame& frame,
                                       QByteArray& out) const
{
    const qsizetype first = firstRow - 1;
    const quint32 channels = m_store->channelCount();
    if (first < 0 || endRow < firstRow || endRow - 1 > m_store->rowCount() || columnCount != int(1 + 2 * channels)
        || !m_format.hasAsciiSeparator() || frame.prefix.size() > MaxFrameBytes || frame.suffix.size() > MaxFrameBytes)
        return false;
    const CellFrames frames(frame.prefix, frame.suffix);
    struct Channel {
        const float* values;
        const quint8* alarms;
        int dot;
    };
    std::vector<Channel> columns;
    columns.reserve(channels);
    for (quint32 channel = 0; channel < channels; ++channel)
        columns.push_back({m_store->values(channel).data() + first, m_store->alarms(channel).data() + first,
                           m_decimals[channel]});
    // Rows are written in place with room for their longest texts, and the bytes are cut to
    // what was written at the end. A row reads one value of every channel; the next rows
    // read the same cache lines.
    const qsizetype rowRoom = qsizetype(channels) * (2 * (frame.prefix.size() + frame.suffix.size()) + CellFrames::Room
                                                     + common::FixedPointFormat::MaxAsciiLength)
                              + 2 * MaxFrameBytes + common::DateTimeFormatter::MaxAsciiLength + frame.rowEnd.size();
    const auto roomAt = [&](qsizetype length) {
        if (out.size() - length < rowRoom)
            out.resize(std::max(2 * out.size(), length + rowRoom));
        return out.data() + length;
    };
    const qint64* const times = m_store->rowTimes().data() + first;
    char* next = roomAt(out.size());
    for (int row = 0; row < endRow - firstRow; ++row) {
        next = roomAt(next - out.constData());
        if (char* const dateTime = m_dateTimes.writeAscii(frames.prefix(next), times[row])) {
            next = frames.suffix(dateTime);
        } else {
            // The locale writes date-times otherwise: the caller writes the first cell.
            out.resize(next - out.constData());
            frame.firstCell(firstRow + row, out);
            next = roomAt(out.size());
        }
        for (const Channel& channel : columns) {
            const float value = channel.values[row];
            next = MeasurementStore::isNull(value)
                       ? frames.null(next)
                       : frames.suffix(m_format.writeAscii(frames.prefix(next), value, channel.dot));
            next = frames.alarm(next, channel.alarms[row]);
        }
        next = std::copy(frame.rowEnd.begin(), frame.rowEnd.end(), next);
    }
    out.resize(next - out.constData());
    return true;
}

EventCells::EventCells(std::shared_ptr<const EventRows> rows)
    : m_rows(std::move(rows))
{
}

const EventRow* EventCells::event(int row) const
{
    const qsizetype index = row - 1;
    return index < 0 || index >= qsizetype(m_rows->size()) ? nullptr : &(*m_rows)[std::size_t(index)];
}

QString EventCells::cellText(int column, int row) const
{
    const EventRow* const shown = event(row);
    if (!shown || column < 0 || column > int(shown->texts.size()))
        return {};
    if (column > 0)
        return shown->texts[std::size_t(column - 1)];
    return shown->time ? m_dateTimes.text(common::WallClockFromMSecs(*shown->time)) : QString(NullText);
}

bool EventCells::appendAsciiCellText(int column, int row, QByteArray& out) const
{
    const EventRow* const shown = event(row);
    return column == 0 && shown && shown->time && AppendDateTime(m_dateTimes, *shown->time, out);
}

} // namespace history
