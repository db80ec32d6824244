#include "history/CsvExport.h"

#include "common/FileTimeStamp.h"
#include "history/StringGrid.h"
#include "platform/os/Windows1250.h"

#include <QSaveFile>
#include <stdexcept>

namespace history {

namespace {

constexpr qsizetype FlushSize = 1 << 20;

[[noreturn]] void FailToWrite(const QString& path, const QString& reason)
{
    throw std::runtime_error(QStringLiteral("Unable to write to %1: %2").arg(path, reason).toStdString());
}

void Write(QSaveFile& file, QByteArray& buffer)
{
    if (file.write(buffer) != buffer.size())
        FailToWrite(file.fileName(), file.errorString());
    buffer.clear();
}

} // namespace

void SaveGridToCsv(const QString& path, const StringGrid& grid)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        FailToWrite(path, file.errorString());
    const StringGridModel& cells = grid.cells();
    os::Windows1250 encoder;
    QByteArray buffer;
    buffer.reserve(FlushSize + 4096);
    for (int row = 0; row < grid.rowCount(); ++row) {
        for (int column = 0; column < grid.colCount(); ++column) {
            buffer.append('"');
            const qsizetype start = buffer.size();
            if (!cells.appendAsciiCell(column, row, buffer))
                encoder.append(cells.cell(column, row), buffer);
            if (buffer.size() > start && buffer.back() == ';')
                buffer.append('\'');
            buffer.append("\";", 2);
        }
        buffer.append("\r\n", 2);
        if (buffer.size() >= FlushSize)
            Write(file, buffer);
    }
    Write(file, buffer);
    if (!file.commit())
        FailToWrite(path, file.errorString());
}

void SaveGridsToCsv(const QString& folder, const QDateTime& dateTime, const StringGrid& dataGrid,
                    const StringGrid& eventGrid, QString& lastPath)
{
    const QString csv = QStringLiteral(".csv");
    lastPath = common::OutputFilePath(folder, QStringLiteral("data_"), dateTime, csv);
    SaveGridToCsv(lastPath, dataGrid);
    lastPath = common::OutputFilePath(folder, QStringLiteral("events_"), dateTime, csv);
    SaveGridToCsv(lastPath, eventGrid);
}

} // namespace history
