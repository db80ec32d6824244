#pragma once

#include <mysql.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

// A failed call of the client library, with the server's error number (0 when the
// failure did not come from the server).
class MysqlError : public std::runtime_error {
public:
    MysqlError(unsigned code, const std::string& message) : std::runtime_error(message), m_code(code) {}
    unsigned code() const { return m_code; }

private:
    unsigned m_code;
};

// A stored result set; rows are read front to back.
class MysqlResult {
public:
    explicit MysqlResult(MYSQL_RES* result) : m_result(result) {}

    unsigned columnCount() const;
    // The index of the named column; throws when the result has no such column.
    unsigned columnIndex(std::string_view name) const;
    // Moves to the next row; false after the last one.
    bool next();
    // The current row's value of a column, nullopt for SQL NULL.
    std::optional<std::string_view> value(unsigned column) const;

private:
    struct Free {
        void operator()(MYSQL_RES* r) const { mysql_free_result(r); }
    };
    std::unique_ptr<MYSQL_RES, Free> m_result;
    MYSQL_ROW m_row = nullptr;
    unsigned long* m_lengths = nullptr;
};

// One administrative connection over a Unix socket, utf8mb4, with LOAD DATA LOCAL allowed.
class MysqlConnection {
public:
    // Connects as root without password; reads no option files.
    explicit MysqlConnection(const std::string& socketPath);

    void execute(std::string_view sql);
    MysqlResult query(std::string_view sql);
    void useDatabase(const std::string& name);

    unsigned long long affectedRows() const;
    unsigned warningCount() const;
    // The first warning of the last statement, or an empty text.
    std::string firstWarning();

    // A text as a quoted SQL string literal.
    std::string quote(std::string_view text) const;

private:
    [[noreturn]] void fail(std::string_view what) const;

    struct Close {
        void operator()(MYSQL* m) const { mysql_close(m); }
    };
    std::unique_ptr<MYSQL, Close> m_mysql;
};

// A name as a quoted SQL identifier.
std::string quoteIdentifier(std::string_view name);
