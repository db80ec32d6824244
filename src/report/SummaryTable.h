#pragma once

#include <QString>
#include <array>

namespace common { class FixedPointFormat; }

namespace report {

struct ReportSource;

// The settings and statistics table beside each page's chart: 2 columns by 19 rows, with
// the header rows "OPIS", "USTAWIENIA" and "STATYSTYKA".
constexpr int SummaryColumns = 2;
constexpr int SummaryRows = 19;

// One row of the table: what it shows (the left cell), whether it is a header row (white on
// black), and the channel's value (the right cell, empty for a header row).
struct SummaryRow {
    QString label;
    bool header = false;
    QString value;
};
using SummaryTable = std::array<SummaryRow, SummaryRows>;

// The table of channel: its text fields ("-" for "NULL"), thresholds ("-" when not set),
// sample count, the fetch's range and the statistics, numbers with the channel's decimals
// ("-" for the minimum, average and maximum of a channel without samples).
SummaryTable SummaryTableOf(const ReportSource& source, quint32 channel, const common::FixedPointFormat& format);

// text when it has at most maxLength characters; otherwise its first maxLength - 4
// characters, "..." and its last character, maxLength characters in all.
QString ShortenText(const QString& text, qint32 maxLength);

} // namespace report
