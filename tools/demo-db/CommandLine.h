#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// A command line that cannot be run as given.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CommandLine {
    enum class Command { Create, Live, Help };

    Command command = Command::Help;
    std::string socket;            // --socket, default $ZEMLO_DB_SOCKET
    std::string database = "zemlo"; // --database
    // create
    int channels = 50;
    double days = 7;
    int step = 60; // seconds
    std::uint64_t seed = 1;
    // live
    double interval = 3; // seconds
};

CommandLine parseCommandLine(int argc, const char* const* argv);
const char* usageText();
