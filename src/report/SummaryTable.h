#pragma once

#include <QString>

namespace common { class FixedPointFormat; }

namespace report {

struct ReportSource;

// The settings and statistics table beside each page's chart: 2 columns by 19 rows, with
// the header rows "OPIS", "USTAWIENIA" and "STATYSTYKA".
constexpr int SummaryColumns = 2;
constexpr int SummaryRows = 19;

bool IsHeaderRow(int row);
// The left cell of row: what the row shows.
QString SummaryLabel(int row);
// The right cell of row for channel: its text fields ("-" for "NULL"), thresholds ("-"
// when not set), sample count, the report range and the statistics, numbers with the
// channel's decimals. Empty for a header row.
QString SummaryValue(const ReportSource& source, quint32 channel, int row, const common::FixedPointFormat& format);

// text when it has at most maxLength characters; otherwise its first maxLength - 4
// characters, "..." and its last character, maxLength characters in all.
QString ShortenText(const QString& text, qint32 maxLength);

} // namespace report
