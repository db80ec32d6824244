#include "platform/pdf/DocumentWriter.h"

#include "platform/pdf/Canvas.h"
#include "platform/pdf/HaruDocument.h"
#include "platform/pdf/Page.h"
#include "platform/pdf/PdfError.h"

#include <QSaveFile>

namespace pdf {

DocumentWriter::DocumentWriter() = default;
DocumentWriter::~DocumentWriter() = default;

HaruDocument& DocumentWriter::document() const
{
    if (!m_document)
        throw PdfError("Nie rozpoczęto dokumentu PDF.");
    return *m_document;
}

void DocumentWriter::beginDoc()
{
    m_document = std::make_unique<HaruDocument>();
}

void DocumentWriter::print(const Page& page)
{
    HaruDocument& target = document();
    target.throwIfFailed();
    const HPDF_Page added = target.addPage(page.size());
    target.throwIfFailed();
    Canvas canvas(target, added, page.size().height());
    page.print(canvas);
}

void DocumentWriter::endDoc()
{
    HaruDocument& finished = document();
    if (m_creationDate.isValid())
        finished.setCreationDate(m_creationDate);
    finished.setInformation("Title", m_title);
    finished.setInformation("Author", m_author);
    finished.setInformation("Creator", m_creator);
    finished.throwIfFailed();

    QSaveFile file(m_fileName);
    // Unbuffered: QSaveFile::commit() misses a failure of the flush that closing does (a
    // full disk would leave a truncated file), while a failed direct write is reported.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw FileError(m_fileName, file.errorString());
    finished.write([&](const char* data, qint64 size) {
        if (file.write(data, size) != size)
            throw FileError(m_fileName, file.errorString());
    });
    finished.throwIfFailed();
    // Until the commit the target is untouched; an uncommitted QSaveFile removes its temporary file.
    if (!file.commit())
        throw FileError(m_fileName, file.errorString());
    m_document.reset();
}

} // namespace pdf
