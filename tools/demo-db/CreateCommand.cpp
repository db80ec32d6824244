#include "BulkLoad.h"
#include "ChannelCatalog.h"
#include "Commands.h"
#include "DataLayout.h"
#include "MysqlConnection.h"
#include "PlantSimulator.h"
#include "SchemaBuilder.h"
#include "TableRows.h"
#include "TsvFile.h"
#include "WallClock.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

std::string describe(const DataLayout& layout)
{
    if (!layout.isView())
        return "table ZEMLO_DATA";
    return "view ZEMLO_DATA over " + std::to_string(layout.tables().size()) + " tables ZEMLO_DATA_1.."
        + std::to_string(layout.tables().size());
}

} // namespace

int runCreate(MysqlConnection& db, const CommandLine& line)
{
    const auto started = std::chrono::steady_clock::now();
    db.execute("CREATE DATABASE IF NOT EXISTS " + quoteIdentifier(line.database) + " CHARACTER SET utf8mb4");
    db.useDatabase(line.database);

    Random random(line.seed);
    const std::vector<ChannelSettings> channels = inventChannels(static_cast<std::size_t>(line.channels), random);

    SchemaBuilder schema(db);
    schema.dropAll();
    schema.createSettingsAndEvents();
    const DataLayout layout = schema.createDataTables(channels);

    TsvFile settingsFile;
    for (const ChannelSettings& channel : channels)
        table_rows::writeSettings(settingsFile, channel);

    std::vector<std::unique_ptr<TsvFile>> dataFiles;
    for (std::size_t t = 0; t < layout.tables().size(); ++t)
        dataFiles.push_back(std::make_unique<TsvFile>());
    TsvFile eventFile;

    const auto rows = static_cast<long long>(std::floor(line.days * 86400 / line.step));
    const wallclock::Seconds last = wallclock::now();
    const wallclock::Seconds first = last - (rows - 1) * line.step;
    PlantSimulator plant(channels, random);
    std::vector<PlantEvent> events;
    // The plant ran before the history starts: alarms already on then are no news at its first row.
    plant.step(first - line.step, line.step, events);
    events.clear();
    for (long long r = 0; r < rows; ++r) {
        const wallclock::Seconds time = first + r * line.step;
        const std::vector<Sample>& row = plant.step(time, line.step, events);
        const std::string timeText = wallclock::format(time);
        for (std::size_t t = 0; t < layout.tables().size(); ++t)
            table_rows::writeData(*dataFiles[t], timeText, layout.tables()[t], row);
        for (const PlantEvent& event : events)
            table_rows::writeEvent(eventFile, event, channels);
        events.clear();
    }

    bulkLoad(db, settingsFile, table_rows::kSettingsTable, table_rows::settingsColumnList());
    for (std::size_t t = 0; t < layout.tables().size(); ++t) {
        const DataTable& table = layout.tables()[t];
        bulkLoad(db, *dataFiles[t], table.name, DataLayout::columnList(table, channels));
    }
    bulkLoad(db, eventFile, table_rows::kEventsTable, table_rows::eventColumnList());
    if (layout.isView())
        schema.createView(layout, channels);

    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    std::printf("zemlo-demo-db: %zu channels in the %s, %lld rows from %s to %s, %lld events, %.1f s\n",
                channels.size(), describe(layout).c_str(), rows, wallclock::format(first).c_str(),
                wallclock::format(last).c_str(), eventFile.rows(), took.count());
    return 0;
}
