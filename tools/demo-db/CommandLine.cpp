#include "CommandLine.h"

#include "NumberText.h"

#include <charconv>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

namespace {

constexpr int kMaxChannels = 10000;

template <typename Number>
std::string numberText(Number number)
{
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, number).ptr);
}

template <typename Number>
Number parseOption(std::string_view option, std::string_view text, Number low, Number high)
{
    const std::optional<Number> number = parseNumber<Number>(text);
    if (!number || *number < low || *number > high)
        throw UsageError(std::string(option) + " needs a number from " + numberText(low) + " to "
                         + numberText(high) + ", not \"" + std::string(text) + "\"");
    return *number;
}

struct Option {
    std::optional<CommandLine::Command> only; // the one command it belongs to, if not to both
    std::function<void(CommandLine&, std::string_view)> set;
};

const std::map<std::string_view, Option>& options()
{
    using C = CommandLine::Command;
    static const std::map<std::string_view, Option> table = {
        { "--socket", { std::nullopt, [](CommandLine& c, std::string_view v) { c.socket = v; } } },
        { "--database", { std::nullopt, [](CommandLine& c, std::string_view v) { c.database = v; } } },
        { "--channels", { C::Create, [](CommandLine& c, std::string_view v) { c.channels = parseOption("--channels", v, 1, kMaxChannels); } } },
        { "--days", { C::Create, [](CommandLine& c, std::string_view v) { c.days = parseOption("--days", v, 0.001, 3660.0); } } },
        { "--step", { C::Create, [](CommandLine& c, std::string_view v) { c.step = parseOption("--step", v, 1, 86400); } } },
        { "--seed", { C::Create, [](CommandLine& c, std::string_view v) { c.seed = parseOption<std::uint64_t>("--seed", v, 0, UINT64_MAX); } } },
        { "--interval", { C::Live, [](CommandLine& c, std::string_view v) { c.interval = parseOption("--interval", v, 0.1, 86400.0); } } },
    };
    return table;
}

CommandLine::Command parseCommand(std::string_view word)
{
    if (word == "create")
        return CommandLine::Command::Create;
    if (word == "live")
        return CommandLine::Command::Live;
    if (word == "help" || word == "--help" || word == "-h")
        return CommandLine::Command::Help;
    throw UsageError("unknown command \"" + std::string(word) + "\"");
}

} // namespace

CommandLine parseCommandLine(int argc, const char* const* argv)
{
    const std::vector<std::string_view> words(argv + 1, argv + argc);
    if (words.empty())
        throw UsageError("no command given");
    CommandLine line;
    line.command = parseCommand(words.front());
    if (line.command == CommandLine::Command::Help)
        return line;
    if (const char* socket = std::getenv("ZEMLO_DB_SOCKET"))
        line.socket = socket;

    for (std::size_t i = 1; i < words.size(); ++i) {
        std::string_view name = words[i];
        std::string_view value;
        const bool inlineValue = name.find('=') != std::string_view::npos;
        if (inlineValue) {
            value = name.substr(name.find('=') + 1);
            name = name.substr(0, name.find('='));
        }
        const auto option = options().find(name);
        if (option == options().end())
            throw UsageError("unknown option \"" + std::string(name) + "\"");
        if (option->second.only && option->second.only != line.command)
            throw UsageError(std::string(name) + " does not apply to " + std::string(words.front()));
        if (!inlineValue) {
            if (++i == words.size())
                throw UsageError(std::string(name) + " needs a value");
            value = words[i];
        }
        option->second.set(line, value);
    }
    if (line.socket.empty())
        throw UsageError("no server socket: give --socket PATH or set ZEMLO_DB_SOCKET");
    if (line.database.empty())
        throw UsageError("--database needs a name");
    if (line.command == CommandLine::Command::Create && line.days * 86400 < line.step)
        throw UsageError("--days must cover at least one --step");
    return line;
}

const char* usageText()
{
    return "usage: zemlo-demo-db create [--channels N] [--days D] [--step S] [--seed K] [--socket PATH] [--database NAME]\n"
           "       zemlo-demo-db live [--interval SECONDS] [--socket PATH] [--database NAME]\n"
           "\n"
           "create  drops and recreates ZEMLO_SETTINGS, ZEMLO_DATA and ZEMLO_EVENTS with N channels\n"
           "        (default 50) and D days (default 7) of history ending now, one row every S\n"
           "        seconds (default 60); the same seed K (default 1) gives the same channels.\n"
           "live    appends a row every SECONDS (default 3) and now and then an event, continuing\n"
           "        from the newest stored row, until SIGINT or SIGTERM.\n"
           "\n"
           "Connects as root over the Unix socket PATH (default $ZEMLO_DB_SOCKET) to the database\n"
           "NAME (default zemlo; create makes it when missing).\n"
           "Exit status: 0 done, 1 database or file error, 2 wrong command line.\n";
}
