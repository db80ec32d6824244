#include "report/SummaryTable.h"

#include "common/DateTimeText.h"
#include "common/ValueText.h"
#include "db/ChannelTable.h"
#include "history/ChannelStatistics.h"
#include "report/ReportSource.h"

#include <algorithm>
#include <array>
#include <string>

namespace report {

namespace {

constexpr qint32 NameLength = 18;

} // namespace

bool IsHeaderRow(int row)
{
    return row == 0 || row == 5 || row == 12;
}

QString SummaryLabel(int row)
{
    static const std::array<QString, SummaryRows> labels{
        QStringLiteral("OPIS"),
        QStringLiteral("Nazwa"),
        QStringLiteral("Grupa"),
        QStringLiteral("Podgrupa"),
        QStringLiteral("Jednostka"),
        QStringLiteral("USTAWIENIA"),
        QStringLiteral("A1 :: próg górny"),
        QStringLiteral("A1 :: hist.  +/-"),
        QStringLiteral("A1 :: próg dolny"),
        QStringLiteral("A2 :: próg górny"),
        QStringLiteral("A2 :: hist.  +/-"),
        QStringLiteral("A2 :: próg dolny"),
        QStringLiteral("STATYSTYKA"),
        QStringLiteral("Liczba próbek"),
        QStringLiteral("Start"),
        QStringLiteral("Stop"),
        QStringLiteral("Max"),
        QStringLiteral("Avg"),
        QStringLiteral("Min"),
    };
    return row >= 0 && row < SummaryRows ? labels[std::size_t(row)] : QString();
}

QString SummaryValue(const ReportSource& source, quint32 channel, int row, const common::FixedPointFormat& format)
{
    const db::ChannelTable& channels = source.channels;
    const history::ChannelStatistics::Record& statistics = source.statistics[channel];
    const qint32 dot = channels.DOT[channel];
    switch (row) {
    case 1:
        return ShortenText(db::FieldText(channels.NAME[channel]), NameLength);
    case 2:
        return db::FieldText(channels.POSITION_1[channel]);
    case 3:
        return db::FieldText(channels.POSITION_2[channel]);
    case 4:
        return db::FieldText(channels.UNIT[channel]);
    case 6:
        return db::ThresholdText(channels.A1_H[channel], dot, format);
    case 7:
        return db::ThresholdText(channels.A1_HIS[channel], dot, format);
    case 8:
        return db::ThresholdText(channels.A1_L[channel], dot, format);
    case 9:
        return db::ThresholdText(channels.A2_H[channel], dot, format);
    case 10:
        return db::ThresholdText(channels.A2_HIS[channel], dot, format);
    case 11:
        return db::ThresholdText(channels.A2_L[channel], dot, format);
    case 13:
        return QString::number(statistics.sampleCount);
    case 14:
        return common::DateTimeText(source.rangeStart);
    case 15:
        return common::DateTimeText(source.rangeEnd);
    case 16:
        return format.text(statistics.maximum, dot);
    case 17:
        return format.text(statistics.average, dot);
    case 18:
        return format.text(statistics.minimum, dot);
    default:
        return QString();
    }
}

QString ShortenText(const QString& text, qint32 maxLength)
{
    // Counted in characters, so that a character outside the basic plane is never split.
    const std::u32string characters = text.toStdU32String();
    if (characters.empty() || qsizetype(characters.size()) <= maxLength)
        return text;
    const std::size_t kept = std::size_t(std::max(maxLength - 4, 0));
    return QString::fromStdU32String(characters.substr(0, kept) + U"..." + characters.back());
}

} // namespace report
