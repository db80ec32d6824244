#pragma once

#include <QDateTime>
#include <QString>
#include <memory>

namespace pdf {

class HaruDocument;
class Page;

// Builds a PDF document page by page in memory and writes it to its file in one step.
// The file appears complete or not at all: it is written under a temporary name in the
// same folder and renamed over the target, so a failure leaves no file behind and an
// existing file of that name untouched.
// Every document has Flate-compressed streams, the one-column page layout, no outlines, no
// viewer preferences, and as its information the caller's creation date, title, author and
// creator (the program that made it); an empty text is left out.
// Failures throw a PdfError: FileError (naming the file) when writing the file fails,
// LibraryError when libharu fails; a document that failed in libharu is unusable until the
// next beginDoc().
class DocumentWriter {
public:
    DocumentWriter();
    ~DocumentWriter();
    DocumentWriter(const DocumentWriter&) = delete;
    DocumentWriter& operator=(const DocumentWriter&) = delete;

    const QString& fileName() const { return m_fileName; }
    void setFileName(const QString& fileName) { m_fileName = fileName; }
    // Written as wall-clock time without a time zone; none when invalid.
    const QDateTime& creationDate() const { return m_creationDate; }
    void setCreationDate(const QDateTime& creationDate) { m_creationDate = creationDate; }
    void setTitle(const QString& title) { m_title = title; }
    void setAuthor(const QString& author) { m_author = author; }
    void setCreator(const QString& creator) { m_creator = creator; }

    // Starts a new document in memory, discarding an unfinished one.
    void beginDoc();
    // Appends one page of the template's size and prints every element of it.
    void print(const Page& page);
    // Writes the whole document to the file. On success the document is finished; when
    // writing fails it stays open, so endDoc() may be tried again (with another name).
    void endDoc();

private:
    HaruDocument& document() const;

    QString m_fileName;
    QDateTime m_creationDate;
    QString m_title;
    QString m_author;
    QString m_creator;
    std::unique_ptr<HaruDocument> m_document;
};

} // namespace pdf
