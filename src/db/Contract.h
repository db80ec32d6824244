#pragma once

// What the program relies on in the measurement database: the names of its three tables,
// the date-time column, and how a channel's columns are named after the channel. Free of
// Qt, so that the demo database tool builds its tables from the same names.
namespace db::contract {

inline constexpr char SettingsTable[] = "ZEMLO_SETTINGS";
inline constexpr char DataTable[] = "ZEMLO_DATA";
inline constexpr char EventTable[] = "ZEMLO_EVENTS";
inline constexpr char DateTimeColumn[] = "DT";
inline constexpr char AlarmColumnSuffix[] = "_AL";

// A channel's value column is named exactly like the channel; its alarm column is the name
// followed by "_AL". For QString and std::string alike.
template <class Text>
Text AlarmColumn(const Text& channelName)
{
    return channelName + AlarmColumnSuffix;
}

} // namespace db::contract
