#include "BulkLoad.h"

#include "MysqlConnection.h"
#include "TsvFile.h"

#include <stdexcept>

void bulkLoad(MysqlConnection& db, TsvFile& file, const std::string& table, const std::string& columns)
{
    file.finish();
    db.execute("LOAD DATA LOCAL INFILE " + db.quote(file.path().string()) + " INTO TABLE " + quoteIdentifier(table)
               + " CHARACTER SET utf8mb4 FIELDS TERMINATED BY '\\t' ESCAPED BY '\\\\' LINES TERMINATED BY '\\n'"
               + " (" + columns + ")");
    const unsigned long long loaded = db.affectedRows();
    if (db.warningCount() != 0)
        throw std::runtime_error("loading " + table + " gave warnings, first: " + db.firstWarning());
    if (loaded != static_cast<unsigned long long>(file.rows()))
        throw std::runtime_error("loading " + table + " stored " + std::to_string(loaded) + " of "
                                 + std::to_string(file.rows()) + " rows");
}
