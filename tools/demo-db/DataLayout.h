#pragma once

#include "db/Contract.h"

#include "ChannelSettings.h"

#include <cstddef>
#include <string>
#include <vector>

class MysqlConnection;

// One table that stores the DT column and the value and alarm columns of some channels.
struct DataTable {
    std::string name;
    std::vector<std::size_t> channels;
};

// Where the channels' columns live. One table named ZEMLO_DATA while all channels
// fit into one MariaDB table; otherwise tables ZEMLO_DATA_1..k behind a view
// ZEMLO_DATA that joins them on DT.
class DataLayout {
public:
    static constexpr const char* kName = db::contract::DataTable;

    // Consecutive channels in equal shares over the given number of tables.
    static DataLayout split(std::size_t channelCount, std::size_t tableCount);
    // The layout found in the current database for these channels.
    static DataLayout discover(MysqlConnection& db, const std::vector<ChannelSettings>& channels);
    // The table number of a part table name, 0 for any other name.
    static std::size_t partNumber(const std::string& tableName);

    const std::vector<DataTable>& tables() const { return m_tables; }
    bool isView() const { return m_tables.size() > 1; }

    // "`DT`, `a`, `a_AL`, ..." for one table.
    static std::string columnList(const DataTable& table, const std::vector<ChannelSettings>& channels);
    static std::string createTableSql(const DataTable& table, const std::vector<ChannelSettings>& channels);
    std::string createViewSql(const std::vector<ChannelSettings>& channels) const;

private:
    explicit DataLayout(std::vector<DataTable> tables) : m_tables(std::move(tables)) {}

    std::vector<DataTable> m_tables;
};

std::string alarmColumn(const ChannelSettings& channel);
