#include "platform/sql/SqlQuery.h"

#include "platform/sql/SqlConnection.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/ValueText.h"

namespace sql {

namespace {

QString lastError(MYSQL* handle)
{
    return QString::fromUtf8(mysql_error(handle));
}

} // namespace

SqlQuery::~SqlQuery()
{
    setConnection(nullptr);
}

void SqlQuery::setConnection(SqlConnection* connection)
{
    close();
    if (connection_)
        connection_->detach(this);
    connection_ = connection;
    if (connection_)
        connection_->attach(this);
}

void SqlQuery::open(ResultMode mode)
{
    close();
    if (!connection_ || !connection_->isOpen())
        throw SqlError("The query has no open connection");

    MYSQL* const handle = connection_->handle();
    const QByteArray statement = sql_.toUtf8();
    if (mysql_real_query(handle, statement.constData(), statement.size()) != 0)
        throw SqlError(lastError(handle));
    ResultHandle result(mode == ResultMode::Buffered ? mysql_store_result(handle)
                                                     : mysql_use_result(handle));
    if (!result) {
        if (mysql_field_count(handle) == 0)
            throw SqlError("The statement returned no result set");
        throw SqlError(lastError(handle));
    }

    fieldCount_ = int(mysql_num_fields(result.get()));
    takeFieldLayout(mysql_fetch_fields(result.get()), fieldCount_);
    result_ = std::move(result);
    mode_ = mode;
    fetchRow();
}

void SqlQuery::takeFieldLayout(const MYSQL_FIELD* fields, int count)
{
    QByteArray key;
    for (int i = 0; i < count; ++i)
        key.append(fields[i].name, qsizetype(fields[i].name_length)).append('\0');
    if (key == layoutKey_)
        return;
    layoutKey_ = key;
    ++layoutVersion_;
    fieldNames_.clear();
    indexByFoldedName_.clear();
    fieldNames_.reserve(count);
    indexByFoldedName_.reserve(count);
    for (int i = 0; i < count; ++i) {
        fieldNames_.append(QString::fromUtf8(fields[i].name, qsizetype(fields[i].name_length)));
        const QString folded = fieldNames_.back().toCaseFolded();
        if (!indexByFoldedName_.contains(folded))
            indexByFoldedName_.insert(folded, i);
    }
}

void SqlQuery::close()
{
    result_.reset();
    row_ = nullptr;
    lengths_ = nullptr;
    fieldCount_ = 0;
}

void SqlQuery::fetchRow()
{
    row_ = mysql_fetch_row(result_.get());
    if (row_) {
        lengths_ = mysql_fetch_lengths(result_.get());
        return;
    }
    lengths_ = nullptr;
    // A streamed result ends early when the connection breaks.
    MYSQL* const handle = connection_->handle();
    if (mode_ == ResultMode::Streamed && mysql_errno(handle) != 0)
        throw SqlError(lastError(handle));
}

void SqlQuery::requireOpen() const
{
    if (!result_)
        throw SqlError("The query is not open");
}

void SqlQuery::requireField(int index) const
{
    requireOpen();
    if (index < 0 || index >= fieldCount_)
        throw SqlError(QStringLiteral("Field index %1 out of range").arg(index));
}

void SqlQuery::requireCell(int index) const
{
    requireField(index);
    if (!row_)
        throw SqlError("The query has no current record");
}

qint64 SqlQuery::recordCount() const
{
    requireOpen();
    if (mode_ == ResultMode::Streamed && row_)
        return -1;
    return qint64(mysql_num_rows(result_.get()));
}

bool SqlQuery::eof() const
{
    return row_ == nullptr;
}

void SqlQuery::next()
{
    if (row_)
        fetchRow();
}

int SqlQuery::fieldCount() const
{
    return fieldCount_;
}

QString SqlQuery::fieldName(int index) const
{
    requireField(index);
    return fieldNames_[index];
}

int SqlQuery::fieldIndex(const QString& name) const
{
    requireOpen();
    const auto found = indexByFoldedName_.constFind(name.toCaseFolded());
    if (found == indexByFoldedName_.cend())
        throw SqlError(QStringLiteral("Field '%1' not found").arg(name));
    return found.value();
}

bool SqlQuery::isNull(int index) const
{
    requireCell(index);
    return row_[index] == nullptr;
}

void SqlQuery::checkNotNull(int index) const
{
    if (isNull(index))
        throw SqlError(QStringLiteral("Field '%1' is NULL").arg(fieldNames_[index]));
}

QByteArrayView SqlQuery::raw(int index) const
{
    requireCell(index);
    return QByteArrayView(row_[index], qsizetype(lengths_[index]));
}

QByteArrayView SqlQuery::value(int index) const
{
    checkNotNull(index);
    return QByteArrayView(row_[index], qsizetype(lengths_[index]));
}

QString SqlQuery::text(int index) const
{
    const QByteArrayView bytes = raw(index);
    return bytes.data() ? QString::fromUtf8(bytes) : QString();
}

float SqlQuery::toFloat(int index) const
{
    return parseFloat(value(index));
}

double SqlQuery::toDouble(int index) const
{
    return parseDouble(value(index));
}

qint32 SqlQuery::toInt(int index) const
{
    return parseInt32(value(index));
}

QDateTime SqlQuery::toDateTime(int index) const
{
    return parseDateTime(value(index));
}

} // namespace sql
