#include "db/ChannelTable.h"

#include "common/ValueText.h"
#include "db/CDataBase.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/SqlQuery.h"

#include <cmath>

namespace db {

namespace {

// The settings columns of one opened result, resolved to indexes once.
class SettingsColumns {
public:
    explicit SettingsColumns(const sql::SqlQuery& query)
        : name(query.fieldIndex(QStringLiteral("NAME"))),
          unit(query.fieldIndex(QStringLiteral("UNIT"))),
          position1(query.fieldIndex(QStringLiteral("POSITION_1"))),
          position2(query.fieldIndex(QStringLiteral("POSITION_2"))),
          a1Low(query.fieldIndex(QStringLiteral("A1_L"))),
          a1High(query.fieldIndex(QStringLiteral("A1_H"))),
          a1Hysteresis(query.fieldIndex(QStringLiteral("A1_HIS"))),
          a2Low(query.fieldIndex(QStringLiteral("A2_L"))),
          a2High(query.fieldIndex(QStringLiteral("A2_H"))),
          a2Hysteresis(query.fieldIndex(QStringLiteral("A2_HIS"))),
          colour(query.fieldIndex(QStringLiteral("CH_C"))),
          chT(query.fieldIndex(QStringLiteral("CH_T"))),
          chS(query.fieldIndex(QStringLiteral("CH_S"))),
          dot(query.fieldIndex(QStringLiteral("DOT"))),
          limitEnabled(query.fieldIndex(QStringLiteral("LIMIT_EN"))),
          limitLow(query.fieldIndex(QStringLiteral("LIMIT_LO"))),
          limitHigh(query.fieldIndex(QStringLiteral("LIMIT_HI")))
    {
    }

    // Reads the current row into entry i, column by column.
    void read(const sql::SqlQuery& query, ChannelTable& channels, quint32 i) const
    {
        channels.NAME[i] = requiredText(query, name);
        channels.UNIT[i] = requiredText(query, unit);
        channels.POSITION_1[i] = requiredText(query, position1);
        channels.POSITION_2[i] = requiredText(query, position2);
        channels.A1_L[i] = query.toFloat(a1Low);
        channels.A1_H[i] = query.toFloat(a1High);
        channels.A1_HIS[i] = query.toFloat(a1Hysteresis);
        channels.A2_L[i] = query.toFloat(a2Low);
        channels.A2_H[i] = query.toFloat(a2High);
        channels.A2_HIS[i] = query.toFloat(a2Hysteresis);
        channels.CH_C[i] = query.toInt(colour);
        channels.CH_T[i] = query.toInt(chT);
        channels.CH_S[i] = query.toInt(chS);
        channels.DOT[i] = query.toInt(dot);
        channels.LIMIT_EN[i] = truncatedInt(query, limitEnabled);
        channels.LIMIT_LO[i] = query.toFloat(limitLow);
        channels.LIMIT_HI[i] = query.toFloat(limitHigh);
    }

    // Where the current row stands, for an error: its number in the result from 1 and, when
    // it has one, the channel's name.
    QString rowPlace(const sql::SqlQuery& query, const QString& table, quint32 row) const
    {
        QString place = QStringLiteral("Tabela %1, wiersz %2").arg(table).arg(row);
        if (!query.isNull(name))
            place += QStringLiteral(" (kanał %1)").arg(query.text(name));
        return place;
    }

private:
    static QString requiredText(const sql::SqlQuery& query, int index)
    {
        query.checkNotNull(index);
        return query.text(index);
    }

    // The number truncated toward zero; a value outside the 32-bit range is an error,
    // not an undefined conversion.
    static qint32 truncatedInt(const sql::SqlQuery& query, int index)
    {
        const double truncated = std::trunc(query.toDouble(index));
        if (truncated < -2147483648.0 || truncated > 2147483647.0)
            throw sql::SqlError(QStringLiteral("Kolumna '%1': '%2' nie jest poprawną liczbą całkowitą")
                                    .arg(query.fieldName(index), query.text(index)));
        return qint32(truncated);
    }

    int name, unit, position1, position2;
    int a1Low, a1High, a1Hysteresis, a2Low, a2High, a2Hysteresis;
    int colour, chT, chS, dot, limitEnabled, limitLow, limitHigh;
};

} // namespace

QString FieldText(const QString& text)
{
    return text == NoText ? QStringLiteral("-") : text;
}

QString ThresholdText(float threshold, qint32 dot, const common::FixedPointFormat& format)
{
    return threshold == ThresholdUnset ? QStringLiteral("-") : format.text(threshold, dot);
}

void LoadChannelSettings(const CDataBase& database, sql::SqlQuery& query, const QString& table,
                         ChannelTable& channels)
{
    if (!database.connected())
        throw sql::SqlError("Brak połączenia z bazą danych", sql::SqlError::Cause::Connection);

    query.setSql(QStringLiteral("SELECT *from ") + table);
    query.open();
    const sql::QueryCloser closer(query);
    channels.count = 0;
    channels.leftOut = 0;
    if (query.eof())
        return;

    // An error names the table, and the row and channel when it is a value's: the operator
    // must find the cell to mend it.
    const auto located = [&](const QString& place, const sql::SqlError& error) {
        return sql::SqlError(place + QStringLiteral(": ") + QString::fromUtf8(error.what()), error.cause());
    };
    const SettingsColumns columns = [&] {
        try {
            return SettingsColumns(query);
        } catch (const sql::SqlError& error) {
            throw located(QStringLiteral("Tabela ") + table, error);
        }
    }();
    for (; !query.eof(); query.next()) {
        if (channels.count < ChannelTable::Capacity) {
            try {
                columns.read(query, channels, channels.count);
            } catch (const sql::SqlError& error) {
                throw located(columns.rowPlace(query, table, channels.count + 1), error);
            }
            ++channels.count;
        } else {
            ++channels.leftOut;
        }
    }
}

} // namespace db
