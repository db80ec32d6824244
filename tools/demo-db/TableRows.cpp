#include "TableRows.h"

#include "MysqlConnection.h"
#include "NumberText.h"
#include "WallClock.h"

#include <array>
#include <span>
#include <stdexcept>
#include <string_view>
#include <type_traits>

namespace table_rows {

namespace {

struct Column {
    std::string_view name;
    std::string_view type;
};

// Column order of ZEMLO_SETTINGS; writeSettings and readSettings follow it.
constexpr std::array<Column, 17> kSettingsColumns = { {
    { "NAME", "VARCHAR(64)" },
    { "UNIT", "VARCHAR(10)" },
    { "POSITION_1", "VARCHAR(24)" },
    { "POSITION_2", "VARCHAR(24)" },
    { "A1_L", "FLOAT" },
    { "A1_H", "FLOAT" },
    { "A1_HIS", "FLOAT" },
    { "A2_L", "FLOAT" },
    { "A2_H", "FLOAT" },
    { "A2_HIS", "FLOAT" },
    { "CH_C", "INT" },
    { "CH_T", "INT" },
    { "CH_S", "INT" },
    { "LIMIT_EN", "INT" },
    { "DOT", "INT" },
    { "LIMIT_LO", "FLOAT" },
    { "LIMIT_HI", "FLOAT" },
} };

// Column order of ZEMLO_EVENTS; writeEvent follows it.
constexpr std::array<Column, 5> kEventColumns = { {
    { db::contract::DateTimeColumn, "DATETIME" },
    { "TYPE", "INT" },
    { "NAME", "VARCHAR(64)" },
    { "VAL", "INT" },
    { "DESCRIPTION", "INT" },
} };

std::string columnList(std::span<const Column> columns)
{
    std::string list;
    for (const Column& column : columns)
        list += (list.empty() ? "" : ", ") + quoteIdentifier(column.name);
    return list;
}

// Every column NOT NULL; the tables keep insertion order, which gives the channel numbers.
std::string createSql(const char* table, std::span<const Column> columns, std::string_view keys)
{
    std::string definitions;
    for (const Column& column : columns)
        definitions += (definitions.empty() ? "" : ", ") + quoteIdentifier(column.name) + " " + std::string(column.type) + " NOT NULL";
    if (!keys.empty())
        definitions += ", " + std::string(keys);
    return "CREATE TABLE " + quoteIdentifier(table) + " (" + definitions + ") ENGINE=InnoDB DEFAULT CHARSET=utf8mb4";
}

// Visits the fields of a channel in the column order of ZEMLO_SETTINGS.
template <typename Settings, typename Visitor>
void forEachField(Settings& c, Visitor&& visit)
{
    visit(c.name);
    visit(c.unit);
    visit(c.position1);
    visit(c.position2);
    visit(c.a1Low);
    visit(c.a1High);
    visit(c.a1Hysteresis);
    visit(c.a2Low);
    visit(c.a2High);
    visit(c.a2Hysteresis);
    visit(c.colour);
    visit(c.chartType);
    visit(c.chartStyle);
    visit(c.limitEnabled);
    visit(c.decimals);
    visit(c.limitLow);
    visit(c.limitHigh);
}

std::string_view notNull(const MysqlResult& row, std::size_t column)
{
    const std::optional<std::string_view> text = row.value(static_cast<unsigned>(column));
    if (!text)
        throw std::runtime_error(std::string(kSettingsColumns[column].name) + " is NULL in " + kSettingsTable);
    return *text;
}

template <typename Field>
Field parseField(const MysqlResult& row, std::size_t column)
{
    const std::string_view text = notNull(row, column);
    if constexpr (std::is_same_v<Field, std::string>) {
        return std::string(text);
    } else {
        const std::optional<Field> number = parseNumber<Field>(text);
        if (!number)
            throw std::runtime_error(std::string(kSettingsColumns[column].name) + " in " + kSettingsTable
                                     + " is not a number: " + std::string(text));
        return *number;
    }
}

} // namespace

std::string settingsColumnList()
{
    return columnList(kSettingsColumns);
}

std::string createSettingsSql()
{
    // No key: a key on NAME would make the server return the channels sorted by name.
    return createSql(kSettingsTable, kSettingsColumns, {});
}

void writeSettings(FieldSink& sink, const ChannelSettings& channel)
{
    forEachField(channel, [&sink](const auto& field) {
        using Field = std::decay_t<decltype(field)>;
        if constexpr (std::is_same_v<Field, std::string>)
            sink.text(field);
        else if constexpr (std::is_same_v<Field, float>)
            sink.number(field);
        else
            sink.number(static_cast<long long>(field));
    });
    sink.endRow();
}

ChannelSettings readSettings(const MysqlResult& row)
{
    ChannelSettings channel;
    std::size_t column = 0;
    forEachField(channel, [&](auto& field) { field = parseField<std::decay_t<decltype(field)>>(row, column++); });
    return channel;
}

std::string eventColumnList()
{
    return columnList(kEventColumns);
}

std::string createEventsSql()
{
    return createSql(kEventsTable, kEventColumns, "KEY `DT` (`DT`)");
}

void writeEvent(FieldSink& sink, const PlantEvent& event, const std::vector<ChannelSettings>& channels)
{
    sink.text(wallclock::format(event.time));
    sink.number(static_cast<long long>(event.type));
    sink.text(channels[event.channel].name);
    sink.number(static_cast<long long>(event.value));
    sink.number(static_cast<long long>(event.description));
    sink.endRow();
}

void writeData(FieldSink& sink, const std::string& time, const DataTable& table, const std::vector<Sample>& row)
{
    sink.text(time);
    for (const std::size_t c : table.channels) {
        if (row[c].value)
            sink.number(*row[c].value);
        else
            sink.null();
        if (row[c].alarm)
            sink.text(*row[c].alarm);
        else
            sink.null();
    }
    sink.endRow();
}

} // namespace table_rows
