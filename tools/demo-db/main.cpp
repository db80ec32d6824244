// zemlo-demo-db: creates a demo measurement database and keeps it growing.

#include "CommandLine.h"
#include "Commands.h"
#include "MysqlConnection.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    try {
        const CommandLine line = parseCommandLine(argc, argv);
        if (line.command == CommandLine::Command::Help) {
            std::fputs(usageText(), stdout);
            return 0;
        }
        MysqlConnection db(line.socket);
        return line.command == CommandLine::Command::Create ? runCreate(db, line) : runLive(db, line);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "zemlo-demo-db: %s (see zemlo-demo-db --help)\n", error.what());
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zemlo-demo-db: error: %s\n", error.what());
        return 1;
    }
}
