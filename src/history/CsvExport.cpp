#include "history/CsvExport.h"

#include "common/FileTimeStamp.h"
#include "history/StringGrid.h"
#include "platform/os/Windows1250.h"

#include <QCoreApplication>
#include <QLocale>
#include <QSaveFile>
#include <stdexcept>

namespace history {

namespace {

constexpr qsizetype FlushSize = 1 << 20;

[[noreturn]] void FailToWrite(const QString& path, const QFileDevice& file)
{
    // Qt names a few reasons (a full disk among them) in fixed English words that its own
    // translations cover; the others come from the system in the user's language already.
    const QByteArray reason = file.errorString().toUtf8();
    throw std::runtime_error(QStringLiteral("Nie można zapisać pliku %1: %2")
                                 .arg(path, QCoreApplication::translate("QIODevice", reason.constData()))
                                 .toStdString());
}

void Write(QSaveFile& file, QByteArray& buffer)
{
    // A write cut short (the disk filled up on the way) is tried again for the rest, which
    // then fails with the system's reason.
    for (qsizetype written = 0; written < buffer.size();) {
        const qint64 step = file.write(buffer.constData() + written, buffer.size() - written);
        if (step <= 0)
            FailToWrite(file.fileName(), file);
        written += qsizetype(step);
    }
    buffer.resize(0); // keeps its room for the next rows
}

// A text that a spreadsheet would take for a formula: it starts with one of = + - @ (or a tab
// or a carriage return, which some read past) and is not a number. The grids' own markers
// ("- " for NULL) are left alone.
bool LooksLikeFormula(const QString& text)
{
    static const QString Starts = QStringLiteral("=+-@\t\r");
    if (text.isEmpty() || !Starts.contains(text.front()) || text == QLatin1String("- "))
        return false;
    bool number = false;
    QLocale().toDouble(text, &number);
    if (!number)
        QLocale::c().toDouble(text, &number);
    return !number;
}

// The cell as a CSV field's content: quotation marks doubled, a formula-like text behind an
// apostrophe so that it stays text, and an apostrophe after a final semicolon.
void AppendCellText(QString text, os::Windows1250& encoder, QByteArray& buffer)
{
    if (LooksLikeFormula(text))
        text.prepend(QLatin1Char('\''));
    text.replace(QLatin1Char('"'), QLatin1String("\"\""));
    encoder.append(text, buffer);
}

} // namespace

void SaveGridToCsv(const QString& path, const StringGrid& grid)
{
    QSaveFile file(path);
    // Unbuffered: every write reaches the system at once and its error is seen (a buffered
    // QSaveFile may lose the error of its last flush and commit an empty file).
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        FailToWrite(path, file);
    const StringGridModel& cells = grid.cells();
    os::Windows1250 encoder;
    QByteArray buffer;
    // A measurement row of 1800 channels takes up to 190 kB.
    buffer.reserve(2 * FlushSize);
    const auto appendCell = [&](int column, int row) {
        buffer.append('"');
        const qsizetype start = buffer.size();
        // The byte path gives only the program's own numbers and markers.
        if (!cells.appendAsciiCell(column, row, buffer))
            AppendCellText(cells.cell(column, row), encoder, buffer);
        if (buffer.size() > start && buffer.back() == ';')
            buffer.append('\'');
        buffer.append("\";", 2);
    };
    for (int row = 0; row < grid.rowCount(); ++row) {
        for (int column = 0; column < grid.colCount(); ++column) {
            // After the first column, the measurements' numbers and markers: the rest of the
            // row at once, straight from the fetch's data.
            if (column == 1 && cells.appendAsciiRow(row, "\"", "\";", buffer))
                break;
            appendCell(column, row);
        }
        buffer.append("\r\n", 2);
        if (buffer.size() >= FlushSize)
            Write(file, buffer);
    }
    Write(file, buffer);
    if (!file.commit())
        FailToWrite(path, file);
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
