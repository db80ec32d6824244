#pragma once

#include <string>

class MysqlConnection;
class TsvFile;

// Loads a finished file into the listed columns of a table. Fails unless every
// row arrived unchanged: LOAD DATA reports truncated or dropped values only as
// warnings.
void bulkLoad(MysqlConnection& db, TsvFile& file, const std::string& table, const std::string& columns);
