#pragma once

#include "ChannelSettings.h"
#include "DataLayout.h"

#include <vector>

class MysqlConnection;

// Drops and creates the three tables of the measurement database.
class SchemaBuilder {
public:
    explicit SchemaBuilder(MysqlConnection& db) : m_db(db) {}

    // Drops ZEMLO_SETTINGS, ZEMLO_EVENTS, ZEMLO_DATA (table or view) and any ZEMLO_DATA_n.
    void dropAll();
    void createSettingsAndEvents();
    // Creates the data columns of all channels in as few tables as the server
    // accepts: how many fit into one table depends on the engine's row and table
    // definition limits and on the length of the names, so it is found by trying.
    DataLayout createDataTables(const std::vector<ChannelSettings>& channels);
    // The view ZEMLO_DATA over a layout of several tables.
    void createView(const DataLayout& layout, const std::vector<ChannelSettings>& channels);

private:
    bool tryCreate(const DataLayout& layout, const std::vector<ChannelSettings>& channels);

    MysqlConnection& m_db;
};
