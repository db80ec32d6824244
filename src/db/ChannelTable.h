#pragma once

#include <QString>
#include <array>
#include <bit>

namespace common { class FixedPointFormat; }
namespace sql {
class SqlQuery;
}

namespace db {

class CDataBase;

// A threshold holding exactly this value is not set and is shown as "-".
constexpr float ThresholdUnset = std::bit_cast<float>(quint32(0x4F800005));
// A text field (group, subgroup, and in the report name and unit) holding exactly this
// text means "none".
inline const QString NoText = QStringLiteral("NULL");

// A text field as shown where "none" shows as "-".
QString FieldText(const QString& text);
// A threshold as shown: "-" when not set, else its fixed-point text with dot decimals.
QString ThresholdText(float threshold, qint32 dot, const common::FixedPointFormat& format);

// The per-channel settings of the settings table, as parallel arrays indexed by channel
// number. Only entries 0 to count - 1 are meaningful; later entries may hold stale values.
struct ChannelTable {
    static constexpr quint32 Capacity = 1800;
    template <typename T>
    using Column = std::array<T, Capacity>;

    Column<QString> NAME;
    Column<QString> UNIT;
    Column<QString> POSITION_1;  // group; the text "NULL" means none
    Column<QString> POSITION_2;  // subgroup; the text "NULL" means none
    Column<qint32> CH_C {};      // series colour 0x00BBGGRR
    Column<qint32> CH_T {};
    Column<qint32> CH_S {};
    Column<qint32> DOT {};       // decimals shown
    Column<qint32> LIMIT_EN {};
    Column<float> LIMIT_LO {};   // the channel's own axis range
    Column<float> LIMIT_HI {};
    Column<float> A1_L {};
    Column<float> A1_H {};
    Column<float> A1_HIS {};
    Column<float> A2_L {};
    Column<float> A2_H {};
    Column<float> A2_HIS {};

    quint32 count = 0;
    // Rows of the last load beyond the capacity, which were counted but not stored.
    quint32 leftOut = 0;
};

// Fills the table from "SELECT *from " + table, one channel per row in the server's order,
// at most ChannelTable::Capacity of them. Not connected, a NULL, a missing column, a value
// that does not convert or a failing query throws sql::SqlError, whose message names the
// table and, for a value, the row (from 1) and its channel; not connected changes nothing,
// else the rows read before the error stay loaded.
void LoadChannelSettings(const CDataBase& database, sql::SqlQuery& query, const QString& table,
                         ChannelTable& channels);

} // namespace db
