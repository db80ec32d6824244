#include "history/CsvExport.h"

#include "common/FileTimeStamp.h"
#include "common/OrderedBlocks.h"
#include "history/StringGrid.h"
#include "platform/os/Windows1250.h"
#include "platform/os/WriteBack.h"

#include <QCoreApplication>
#include <QLocale>
#include <QSaveFile>
#include <algorithm>
#include <exception>
#include <future>
#include <memory>
#include <stdexcept>

namespace history {

namespace {

// Rows formatted and written together: 128 rows of a grid of 1800 channels (about 2.4 MB,
// which stays in the processor's shared cache until it is written), and as many cells in
// more rows of a narrower grid, up to 1024 rows, so that a block is worth handing between
// threads.
int BlockRows(int columnCount)
{
    constexpr int Cells = 128 * 3601;
    return std::clamp(Cells / std::max(columnCount, 1), 128, 1024);
}

[[noreturn]] void FailToWrite(const QString& path, const QFileDevice& file)
{
    // Qt names a few reasons (a full disk among them) in fixed English words that its own
    // translations cover; the others come from the system in the user's language already.
    const QByteArray reason = file.errorString().toUtf8();
    throw std::runtime_error(QStringLiteral("Nie można zapisać pliku %1: %2")
                                 .arg(path, QCoreApplication::translate("QIODevice", reason.constData()))
                                 .toStdString());
}

void Write(QSaveFile& file, const QByteArray& bytes)
{
    // A write cut short (the disk filled up on the way) is tried again for the rest, which
    // then fails with the system's reason.
    for (qsizetype written = 0; written < bytes.size();) {
        const qint64 step = file.write(bytes.constData() + written, bytes.size() - written);
        if (step <= 0)
            FailToWrite(file.fileName(), file);
        written += qsizetype(step);
    }
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
void AppendCellText(QString text, const os::Windows1250& encoder, QByteArray& buffer)
{
    if (LooksLikeFormula(text))
        text.prepend(QLatin1Char('\''));
    if (text.contains(QLatin1Char('"')))
        text.replace(QLatin1Char('"'), QLatin1String("\"\""));
    encoder.append(text, buffer);
}

// The grid's CSV file written whole under its temporary name; Commit puts it in place.
std::unique_ptr<QSaveFile> WriteUncommitted(const QString& path, const StringGrid& grid)
{
    auto saved = std::make_unique<QSaveFile>(path);
    QSaveFile& file = *saved;
    // Unbuffered: every write reaches the system at once and its error is seen (a buffered
    // QSaveFile may lose the error of its last flush and commit an empty file).
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        FailToWrite(path, file);
    const StringGridModel& cells = grid.cells();
    const os::Windows1250 encoder;
    const auto appendCell = [&](int column, int row, QByteArray& buffer) {
        buffer.append('"');
        const qsizetype start = buffer.size();
        // The byte path gives only the program's own numbers and markers.
        if (!cells.appendAsciiCell(column, row, buffer))
            AppendCellText(cells.cell(column, row), encoder, buffer);
        if (buffer.size() > start && buffer.back() == ';')
            buffer.append('\'');
        buffer.append("\";", 2);
    };
    // Blocks of rows, formatted on every core and written in order, each by the thread that
    // formatted it. A measurement row's date-time, numbers and markers come at once from the
    // fetch's data; the first block starts with the header row.
    const GridCellSource::RowFrame frame{"\"", "\";", "\r\n", [&](int row, QByteArray& out) { appendCell(0, row, out); }};
    const int rowCount = grid.rowCount();
    const int blockRows = BlockRows(grid.colCount());
    const auto appendRows = [&](int firstRow, int endRow, QByteArray& out) {
        if (firstRow > 0 && grid.colCount() > 1 && cells.appendAsciiRows(firstRow, endRow, frame, out))
            return;
        for (int row = firstRow; row < endRow; ++row) {
            for (int column = 0; column < grid.colCount(); ++column)
                appendCell(column, row, out);
            out.append("\r\n", 2);
        }
    };
    common::MakeInOrder<QByteArray>(
        (rowCount + blockRows - 1) / blockRows,
        [&](int block, QByteArray& made) {
            const int firstRow = block * blockRows;
            const int endRow = std::min(rowCount, firstRow + blockRows);
            made.resize(0);
            if (firstRow == 0)
                appendRows(0, std::min(endRow, 1), made);
            appendRows(std::max(firstRow, 1), endRow, made);
        },
        [&](int, const QByteArray& made) {
            const qint64 offset = file.pos();
            Write(file, made);
            os::StartWriteBack(file, offset, made.size());
        });
    return saved;
}

void Commit(QSaveFile& file)
{
    if (!file.commit())
        FailToWrite(file.fileName(), file);
}

} // namespace

void SaveGridToCsv(const QString& path, const StringGrid& grid)
{
    Commit(*WriteUncommitted(path, grid));
}

void SaveGridsToCsv(const QString& folder, const QDateTime& dateTime, const StringGrid& dataGrid,
                    const StringGrid& eventGrid, QString& lastPath)
{
    const QString csv = QStringLiteral(".csv");
    lastPath = common::OutputFilePath(folder, QStringLiteral("data_"), dateTime, csv);
    const std::unique_ptr<QSaveFile> data = WriteUncommitted(lastPath, dataGrid);
    // The data file's commit waits for the disk; meanwhile the events file is written.
    std::future<void> dataCommitted = std::async(std::launch::async, [&] { Commit(*data); });
    const QString eventsPath = common::OutputFilePath(folder, QStringLiteral("events_"), dateTime, csv);
    std::unique_ptr<QSaveFile> events;
    std::exception_ptr eventsFailure;
    try {
        events = WriteUncommitted(eventsPath, eventGrid);
    } catch (...) {
        eventsFailure = std::current_exception();
    }
    // The data file's error is the first one; the events file, unless committed, is discarded.
    dataCommitted.get();
    lastPath = eventsPath;
    if (eventsFailure)
        std::rethrow_exception(eventsFailure);
    Commit(*events);
}

} // namespace history
