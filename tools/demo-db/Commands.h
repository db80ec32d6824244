#pragma once

#include "CommandLine.h"

class MysqlConnection;

// Both return the process exit status.
int runCreate(MysqlConnection& db, const CommandLine& line);
int runLive(MysqlConnection& db, const CommandLine& line);
