#include "Commands.h"
#include "DataLayout.h"
#include "MysqlConnection.h"
#include "NumberText.h"
#include "PlantSimulator.h"
#include "SqlValues.h"
#include "TableRows.h"
#include "WallClock.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int)
{
    stopRequested = 1;
}

// SIGINT and SIGTERM end the run between two rows.
void installStopHandlers()
{
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

using Clock = std::chrono::steady_clock;

// Sleeps until the given time or until a stop is requested; false on a stop.
bool waitUntil(Clock::time_point until)
{
    while (!stopRequested && Clock::now() < until)
        std::this_thread::sleep_for(std::min<Clock::duration>(until - Clock::now(), std::chrono::milliseconds(100)));
    return !stopRequested;
}

std::vector<ChannelSettings> loadChannels(MysqlConnection& db)
{
    MysqlResult result = db.query("SELECT " + table_rows::settingsColumnList() + " FROM " + table_rows::kSettingsTable);
    std::vector<ChannelSettings> channels;
    while (result.next())
        channels.push_back(table_rows::readSettings(result));
    if (channels.empty())
        throw std::runtime_error(std::string(table_rows::kSettingsTable) + " has no channels; run create first");
    return channels;
}

// Continues every channel from the newest stored row; returns that row's time.
std::optional<wallclock::Seconds> resumeFromNewestRow(MysqlConnection& db, const std::vector<ChannelSettings>& channels,
                                                      PlantSimulator& plant)
{
    MysqlResult newest = db.query(std::string("SELECT * FROM ") + DataLayout::kName + " ORDER BY DT DESC LIMIT 1");
    if (!newest.next())
        return std::nullopt;
    const std::optional<wallclock::Seconds> time = wallclock::parse(newest.value(newest.columnIndex(db::contract::DateTimeColumn)).value_or(""));
    if (!time)
        throw std::runtime_error("the newest row of ZEMLO_DATA has no readable DT");
    for (std::size_t c = 0; c < channels.size(); ++c) {
        Sample stored;
        if (const auto value = newest.value(newest.columnIndex(channels[c].name))) {
            stored.value = parseNumber<float>(*value);
            if (!stored.value)
                throw std::runtime_error("the newest value of \"" + channels[c].name + "\" is not a number");
        }
        if (const auto alarm = newest.value(newest.columnIndex(alarmColumn(channels[c]))))
            stored.alarm = std::string(*alarm);
        plant.resume(c, stored, *time);
    }
    return time;
}

// Writes one row into every data table, and the events, as one transaction.
void insertRow(MysqlConnection& db, const DataLayout& layout, const std::vector<ChannelSettings>& channels,
               wallclock::Seconds time, const std::vector<Sample>& row, const std::vector<PlantEvent>& events)
{
    const std::string timeText = wallclock::format(time);
    db.execute("START TRANSACTION");
    for (const DataTable& table : layout.tables()) {
        SqlValues values(db);
        table_rows::writeData(values, timeText, table, row);
        db.execute("INSERT INTO " + quoteIdentifier(table.name) + " (" + DataLayout::columnList(table, channels)
                   + ") VALUES " + values.sql());
    }
    if (!events.empty()) {
        SqlValues values(db);
        for (const PlantEvent& event : events)
            table_rows::writeEvent(values, event, channels);
        db.execute(std::string("INSERT INTO ") + table_rows::kEventsTable + " (" + table_rows::eventColumnList()
                   + ") VALUES " + values.sql());
    }
    db.execute("COMMIT");
}

} // namespace

int runLive(MysqlConnection& db, const CommandLine& line)
{
    db.useDatabase(line.database);
    const std::vector<ChannelSettings> channels = loadChannels(db);
    const DataLayout layout = DataLayout::discover(db, channels);
    Random random(std::random_device {}());
    PlantSimulator plant(channels, random);
    std::optional<wallclock::Seconds> newest = resumeFromNewestRow(db, channels, plant);

    installStopHandlers();
    const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(line.interval));
    const Clock::time_point started = Clock::now();
    Clock::time_point tick = started + period;
    std::printf("zemlo-demo-db: live, %zu channels, a row every %g s; stop with Ctrl+C or SIGTERM\n",
                channels.size(), line.interval);
    std::fflush(stdout);
    long long rows = 0;
    long long eventCount = 0;
    std::vector<PlantEvent> events;
    // Ticks keep their cadence however long an insert takes; a late tick is not made up.
    for (; waitUntil(tick); tick = std::max(tick + period, Clock::now())) {
        const wallclock::Seconds now = wallclock::now();
        if (newest && now <= *newest)
            continue; // DT is the key: at most one row per second, and none behind the newest
        const double elapsed = newest ? static_cast<double>(now - *newest) : line.interval;
        events.clear();
        const std::vector<Sample>& row = plant.step(now, elapsed, events);
        insertRow(db, layout, channels, now, row, events);
        newest = now;
        ++rows;
        eventCount += static_cast<long long>(events.size());
    }
    const std::chrono::duration<double> took = Clock::now() - started;
    const std::string target = layout.isView()
        ? "each of ZEMLO_DATA_1.." + std::to_string(layout.tables().size())
        : std::string(DataLayout::kName);
    std::printf("zemlo-demo-db: live stopped after %.1f s: %lld rows into %s, %lld events\n", took.count(), rows,
                target.c_str(), eventCount);
    return 0;
}
