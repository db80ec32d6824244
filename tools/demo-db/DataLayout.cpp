#include "DataLayout.h"

#include "MysqlConnection.h"
#include "NumberText.h"

#include <algorithm>
#include <stdexcept>
#include <unordered_map>

namespace {

// MyISAM fits about four times as many channels into one table as InnoDB, whose
// rows must fit into half a page, and loads a wide file fast.
constexpr const char* kDataEngine = "MyISAM";

std::string partName(std::size_t number)
{
    return std::string(DataLayout::kName) + "_" + std::to_string(number);
}

} // namespace

std::string alarmColumn(const ChannelSettings& channel)
{
    return db::contract::AlarmColumn(channel.name);
}

DataLayout DataLayout::split(std::size_t channelCount, std::size_t tableCount)
{
    std::vector<DataTable> tables(tableCount);
    for (std::size_t t = 0; t < tableCount; ++t) {
        tables[t].name = tableCount == 1 ? kName : partName(t + 1);
        for (std::size_t c = channelCount * t / tableCount; c < channelCount * (t + 1) / tableCount; ++c)
            tables[t].channels.push_back(c);
    }
    return DataLayout(std::move(tables));
}

std::size_t DataLayout::partNumber(const std::string& tableName)
{
    const std::string prefix = std::string(kName) + "_";
    if (!tableName.starts_with(prefix))
        return 0;
    return parseNumber<std::size_t>(std::string_view(tableName).substr(prefix.size())).value_or(0);
}

DataLayout DataLayout::discover(MysqlConnection& db, const std::vector<ChannelSettings>& channels)
{
    MysqlResult found = db.query(
        "SELECT TABLE_NAME, TABLE_TYPE FROM information_schema.TABLES"
        " WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME LIKE 'ZEMLO\\_DATA%'");
    std::vector<std::pair<std::size_t, std::string>> parts;
    bool plainTable = false;
    while (found.next()) {
        const std::string name(*found.value(0));
        if (name == kName)
            plainTable = *found.value(1) == "BASE TABLE";
        else if (const std::size_t number = partNumber(name))
            parts.emplace_back(number, name);
    }
    std::sort(parts.begin(), parts.end());
    if (plainTable)
        parts = { { 1, kName } };
    if (parts.empty())
        throw std::runtime_error("the database has no table ZEMLO_DATA and no tables ZEMLO_DATA_1..k");

    std::unordered_map<std::string, std::size_t> channelOfColumn;
    for (std::size_t c = 0; c < channels.size(); ++c)
        channelOfColumn.emplace(channels[c].name, c);
    std::vector<DataTable> tables;
    std::vector<bool> placed(channels.size(), false);
    for (const auto& [number, name] : parts) {
        DataTable table { name, {} };
        MysqlResult columns = db.query("SELECT COLUMN_NAME FROM information_schema.COLUMNS"
                                       " WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = "
                                       + db.quote(name) + " ORDER BY ORDINAL_POSITION");
        while (columns.next()) {
            const auto channel = channelOfColumn.find(std::string(*columns.value(0)));
            if (channel != channelOfColumn.end() && !placed[channel->second]) {
                table.channels.push_back(channel->second);
                placed[channel->second] = true;
            }
        }
        tables.push_back(std::move(table));
    }
    const auto missing = std::find(placed.begin(), placed.end(), false);
    if (missing != placed.end())
        throw std::runtime_error("no data table has a column for the channel \""
                                 + channels[static_cast<std::size_t>(missing - placed.begin())].name + "\"");
    return DataLayout(std::move(tables));
}

std::string DataLayout::columnList(const DataTable& table, const std::vector<ChannelSettings>& channels)
{
    std::string list = "`DT`";
    for (const std::size_t c : table.channels)
        list += ", " + quoteIdentifier(channels[c].name) + ", " + quoteIdentifier(alarmColumn(channels[c]));
    return list;
}

std::string DataLayout::createTableSql(const DataTable& table, const std::vector<ChannelSettings>& channels)
{
    std::string sql = "CREATE TABLE " + quoteIdentifier(table.name) + " (`DT` DATETIME NOT NULL PRIMARY KEY";
    for (const std::size_t c : table.channels) {
        sql += ", " + quoteIdentifier(channels[c].name) + " FLOAT NULL";
        sql += ", " + quoteIdentifier(alarmColumn(channels[c])) + " VARCHAR(10) NULL";
    }
    return sql + ") ENGINE=" + kDataEngine + " DEFAULT CHARSET=utf8mb4";
}

std::string DataLayout::createViewSql(const std::vector<ChannelSettings>& channels) const
{
    std::string select = "t1.`DT`";
    std::string from;
    for (std::size_t t = 0; t < m_tables.size(); ++t) {
        // Built in two steps: "t" + std::to_string(...) trips GCC 12's -Wrestrict.
        std::string alias = "t";
        alias += std::to_string(t + 1);
        for (const std::size_t c : m_tables[t].channels) {
            select += ", " + alias + "." + quoteIdentifier(channels[c].name);
            select += ", " + alias + "." + quoteIdentifier(alarmColumn(channels[c]));
        }
        from += t == 0 ? quoteIdentifier(m_tables[t].name) + " " + alias
                       : " JOIN " + quoteIdentifier(m_tables[t].name) + " " + alias + " ON " + alias + ".`DT` = t1.`DT`";
    }
    return "CREATE VIEW " + quoteIdentifier(kName) + " AS SELECT " + select + " FROM " + from;
}
