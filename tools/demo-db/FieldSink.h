#pragma once

#include <string_view>

// Receives the fields of table rows, one row after another. Rows are written once
// and sent either as a bulk-load file or as SQL VALUES, so every table's row
// layout lives in one place (TableRows).
class FieldSink {
public:
    virtual ~FieldSink() = default;

    virtual void null() = 0;
    // A number already in SQL decimal notation.
    virtual void number(std::string_view digits) = 0;
    virtual void text(std::string_view text) = 0;
    virtual void endRow() = 0;

    // The shortest decimal text that reads back as the same 32-bit float.
    void number(float value);
    void number(long long value);
};
