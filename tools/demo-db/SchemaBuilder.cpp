#include "SchemaBuilder.h"

#include "MysqlConnection.h"
#include "TableRows.h"

#include <mysqld_error.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

// The errors by which the server refuses a table that is too wide: too many
// columns or too large a definition (1117), too long a row (1118), and InnoDB's
// column limit, which arrives as a general "can't create table" (1005).
bool tooWide(const MysqlError& error)
{
    const std::string_view message = error.what();
    return error.code() == ER_TOO_MANY_FIELDS || error.code() == ER_TOO_BIG_ROWSIZE
        || (error.code() == ER_CANT_CREATE_TABLE && message.find("Too many columns") != std::string_view::npos);
}

} // namespace

void SchemaBuilder::dropAll()
{
    MysqlResult found = m_db.query(
        "SELECT TABLE_NAME, TABLE_TYPE FROM information_schema.TABLES WHERE TABLE_SCHEMA = DATABASE()"
        " AND (TABLE_NAME IN ('ZEMLO_SETTINGS', 'ZEMLO_EVENTS') OR TABLE_NAME LIKE 'ZEMLO\\_DATA%')");
    std::vector<std::string> drops;
    while (found.next()) {
        const std::string name(*found.value(0));
        if (name.starts_with("ZEMLO_DATA") && name != DataLayout::kName && DataLayout::partNumber(name) == 0)
            continue; // some other table that only shares the prefix
        const bool view = *found.value(1) == "VIEW";
        drops.push_back((view ? "DROP VIEW " : "DROP TABLE ") + quoteIdentifier(name));
    }
    for (const std::string& drop : drops)
        m_db.execute(drop);
}

void SchemaBuilder::createSettingsAndEvents()
{
    m_db.execute(table_rows::createSettingsSql());
    m_db.execute(table_rows::createEventsSql());
}

bool SchemaBuilder::tryCreate(const DataLayout& layout, const std::vector<ChannelSettings>& channels)
{
    std::vector<std::string> created;
    try {
        for (const DataTable& table : layout.tables()) {
            m_db.execute(DataLayout::createTableSql(table, channels));
            created.push_back(table.name);
        }
        return true;
    } catch (const MysqlError& error) {
        if (!tooWide(error))
            throw;
        for (const std::string& name : created)
            m_db.execute("DROP TABLE " + quoteIdentifier(name));
        return false;
    }
}

DataLayout SchemaBuilder::createDataTables(const std::vector<ChannelSettings>& channels)
{
    // A failed attempt ends at the first table the server refuses, so trying upwards is cheap.
    for (std::size_t tableCount = 1; tableCount <= std::max<std::size_t>(channels.size(), 1); ++tableCount) {
        DataLayout layout = DataLayout::split(channels.size(), tableCount);
        if (tryCreate(layout, channels))
            return layout;
    }
    throw std::runtime_error("the server refuses even a data table for a single channel");
}

void SchemaBuilder::createView(const DataLayout& layout, const std::vector<ChannelSettings>& channels)
{
    m_db.execute(layout.createViewSql(channels));
}
