#pragma once

#include <QDateTime>
#include <QString>

namespace history {

class StringGrid;

// Writes every cell of the grid, header row and column included, as
// "text"; per cell and CR LF per line, in Windows-1250 (a character that the code page
// cannot hold becomes "?"). A quotation mark inside a text is doubled, a text ending in ";"
// gets a "'" after it, and a text that a spreadsheet would run as a formula (=, +, -, @ in
// front, not a number) gets a "'" in front. The file appears complete or not at all: it is
// written under a temporary name in the same folder and renamed at the end, so a file of
// that name is either replaced whole or left as it was. Throws std::runtime_error naming the
// file and the system's reason when it cannot be written (a full disk included).
void SaveGridToCsv(const QString& path, const StringGrid& grid);

// The two files of one export, "data_<stamp>.csv" and "events_<stamp>.csv" in folder (which
// ends with a separator), put in place in that order (the events file is written while the
// data file's commit waits for the disk, and dropped if that fails); lastPath names the data
// file until it is in place, then the events file, so after an error it names the file that
// failed.
void SaveGridsToCsv(const QString& folder, const QDateTime& dateTime, const StringGrid& dataGrid,
                    const StringGrid& eventGrid, QString& lastPath);

} // namespace history
