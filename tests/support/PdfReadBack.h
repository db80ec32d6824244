#pragma once

#include <QImage>
#include <QList>
#include <QMap>
#include <QRectF>
#include <QString>
#include <QStringList>

// A written PDF read back through poppler-utils, as a viewer would see it. A tool that
// fails logs a warning and gives an empty answer, so the test's comparison fails.
namespace PdfReadBack {

struct Word {
    QString text;
    QRectF box; // points, from the page's top-left corner
    int page;   // from 1
};

struct FontEntry {
    QString name;
    QString type;
    QString encoding;
    bool embedded;
};

struct ImageEntry {
    int page;
    int object;
    int width;
    int height;
};

QString text(const QString& pdf);                // pdftotext, in reading order
QString complaints(const QString& pdf);          // what pdftotext says of the file: nothing when sound
QList<Word> words(const QString& pdf);           // pdftotext -bbox
QMap<QString, QString> info(const QString& pdf); // pdfinfo, "Key: value" lines
QList<FontEntry> fonts(const QString& pdf);      // pdffonts
QList<ImageEntry> images(const QString& pdf);    // pdfimages -list
QImage render(const QString& pdf, int page);     // pdftoppm at 72 dpi: one pixel per point

// The words whose text is text, in reading order.
QList<Word> find(const QList<Word>& words, const QString& text);
// The smallest box around all the words of the list.
QRectF extent(const QList<Word>& words);

} // namespace PdfReadBack
