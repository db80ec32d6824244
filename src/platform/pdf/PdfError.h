#pragma once

#include <QString>
#include <stdexcept>

namespace pdf {

// A failure of the PDF layer.
class PdfError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// libharu refused an operation. The numbers are its error code and detail (hpdf_error.h);
// the document is unusable afterwards.
class LibraryError : public PdfError {
public:
    LibraryError(unsigned long number, unsigned long detail);
    unsigned long number() const { return m_number; }
    unsigned long detail() const { return m_detail; }

private:
    unsigned long m_number;
    unsigned long m_detail;
};

// The finished document could not be written to its file.
class FileError : public PdfError {
public:
    FileError(const QString& path, const QString& reason);
    const QString& path() const { return m_path; }

private:
    QString m_path;
};

} // namespace pdf
