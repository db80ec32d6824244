#pragma once

#include "platform/sql/FloatCell.h"

#include <QByteArrayView>
#include <QDateTime>

// Conversions of the text that the server sends for a column value. Numbers are in the
// server's notation (a point as decimal separator), whatever the user's locale says.
// Each parse function accepts the whole text or throws sql::SqlError naming the text.
namespace sql {

// The whole text as a float, or why it is none; an empty text is not a number.
FloatCell readFloatText(QByteArrayView text);
float parseFloat(QByteArrayView text);
double parseDouble(QByteArrayView text);
qint32 parseInt32(QByteArrayView text);
// "yyyy-MM-dd hh:mm:ss" with an optional fraction of a second, or a bare date, as a
// wall-clock value without a zone (Qt::UTC). A zero date such as 0000-00-00 is invalid.
QDateTime parseDateTime(QByteArrayView text);

} // namespace sql
