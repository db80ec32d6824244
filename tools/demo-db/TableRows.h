#pragma once

#include "db/Contract.h"

#include "ChannelSettings.h"
#include "DataLayout.h"
#include "FieldSink.h"
#include "PlantSimulator.h"

#include <string>
#include <vector>

class MysqlResult;

// The column lists and row layouts of ZEMLO_SETTINGS and ZEMLO_EVENTS, and the
// data rows of one data table, in the one order every writer and reader uses.
namespace table_rows {

inline constexpr const char* kSettingsTable = db::contract::SettingsTable;
inline constexpr const char* kEventsTable = db::contract::EventTable;

std::string settingsColumnList();
std::string createSettingsSql();
void writeSettings(FieldSink& sink, const ChannelSettings& channel);
// Reads the current row of a result selected with settingsColumnList().
ChannelSettings readSettings(const MysqlResult& row);

std::string eventColumnList();
std::string createEventsSql();
void writeEvent(FieldSink& sink, const PlantEvent& event, const std::vector<ChannelSettings>& channels);

void writeData(FieldSink& sink, const std::string& time, const DataTable& table, const std::vector<Sample>& row);

} // namespace table_rows
