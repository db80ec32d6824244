#pragma once

#include "FieldSink.h"

#include <string>

class MysqlConnection;

// Rows as the VALUES list of an INSERT: "(a, b), (c, d)".
class SqlValues : public FieldSink {
public:
    explicit SqlValues(const MysqlConnection& db) : m_db(db) {}

    using FieldSink::number;
    void null() override;
    void number(std::string_view digits) override;
    void text(std::string_view text) override;
    void endRow() override;

    const std::string& sql() const { return m_sql; }
    bool empty() const { return m_sql.empty(); }

private:
    void separate();

    const MysqlConnection& m_db;
    std::string m_sql;
    bool m_rowStarted = false;
};
