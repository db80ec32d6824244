#include "platform/pdf/PdfError.h"

namespace pdf {

namespace {

std::string LibraryMessage(unsigned long number, unsigned long detail)
{
    return QStringLiteral("Biblioteka PDF zgłosiła błąd 0x%1 (szczegół %2)")
        .arg(number, 4, 16, QLatin1Char('0'))
        .arg(detail)
        .toStdString();
}

} // namespace

LibraryError::LibraryError(unsigned long number, unsigned long detail)
    : PdfError(LibraryMessage(number, detail))
    , m_number(number)
    , m_detail(detail)
{
}

FileError::FileError(const QString& path, const QString& reason)
    : PdfError(QStringLiteral("Nie można zapisać pliku PDF %1: %2").arg(path, reason).toStdString())
    , m_path(path)
{
}

} // namespace pdf
