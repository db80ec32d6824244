#include "report/SummaryTable.h"

#include "common/DateTimeText.h"
#include "common/ValueText.h"
#include "db/ChannelTable.h"
#include "history/ChannelStatistics.h"
#include "report/ReportSource.h"

#include <algorithm>
#include <string>

namespace report {

namespace {

constexpr qint32 NameLength = 18;

} // namespace

SummaryTable SummaryTableOf(const ReportSource& source, quint32 channel, const common::FixedPointFormat& format)
{
    const db::ChannelTable& channels = source.channels;
    const history::ChannelStatistics::Record& statistics = source.fetch.statistics[channel];
    const qint32 dot = channels.DOT[channel];
    const auto threshold = [&](float value) { return db::ThresholdText(value, dot, format); };
    // A channel without samples has no extremes and no average: its zeros are not measured.
    const auto statistic = [&](float value) {
        return statistics.sampleCount > 0 ? format.text(value, dot) : QStringLiteral("-");
    };
    return {{
        {QStringLiteral("OPIS"), true, {}},
        {QStringLiteral("Nazwa"), false, ShortenText(db::FieldText(channels.NAME[channel]), NameLength)},
        {QStringLiteral("Grupa"), false, db::FieldText(channels.POSITION_1[channel])},
        {QStringLiteral("Podgrupa"), false, db::FieldText(channels.POSITION_2[channel])},
        {QStringLiteral("Jednostka"), false, db::FieldText(channels.UNIT[channel])},
        {QStringLiteral("USTAWIENIA"), true, {}},
        {QStringLiteral("A1 :: próg górny"), false, threshold(channels.A1_H[channel])},
        {QStringLiteral("A1 :: hist.  +/-"), false, threshold(channels.A1_HIS[channel])},
        {QStringLiteral("A1 :: próg dolny"), false, threshold(channels.A1_L[channel])},
        {QStringLiteral("A2 :: próg górny"), false, threshold(channels.A2_H[channel])},
        {QStringLiteral("A2 :: hist.  +/-"), false, threshold(channels.A2_HIS[channel])},
        {QStringLiteral("A2 :: próg dolny"), false, threshold(channels.A2_L[channel])},
        {QStringLiteral("STATYSTYKA"), true, {}},
        {QStringLiteral("Liczba próbek"), false, QString::number(statistics.sampleCount)},
        {QStringLiteral("Start"), false, common::DateTimeText(source.fetch.rangeStart)},
        {QStringLiteral("Stop"), false, common::DateTimeText(source.fetch.rangeEnd)},
        {QStringLiteral("Max"), false, statistic(statistics.maximum)},
        {QStringLiteral("Avg"), false, statistic(statistics.average)},
        {QStringLiteral("Min"), false, statistic(statistics.minimum)},
    }};
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
