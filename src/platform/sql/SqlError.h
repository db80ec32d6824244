#pragma once

#include <QString>
#include <stdexcept>

namespace sql {

// An error of the database layer. The message is the client library's error text
// (the server's own words for a refused login or a bad statement) or one of ours.
class SqlError : public std::runtime_error {
public:
    explicit SqlError(const QString& message) : std::runtime_error(message.toStdString()) {}
    explicit SqlError(const char* message) : std::runtime_error(message) {}
};

} // namespace sql
