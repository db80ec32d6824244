#pragma once

#include "FieldSink.h"

#include <string>

class MysqlConnection;

// Rows as the VALUES list of an INSERT: "(a, b), (c, d)".
class SqlValues : public FieldSink {
public:
    explicit SqlValues(const MysqlConnection& db) : db_(db) {}

    using FieldSink::number;
    void null() override;
    void number(std::string_view digits) override;
    void text(std::string_view text) override;
    void endRow() override;

    const std::string& sql() const { return sql_; }
    bool empty() const { return sql_.empty(); }

private:
    void separate();

    const MysqlConnection& db_;
    std::string sql_;
    bool rowStarted_ = false;
};
