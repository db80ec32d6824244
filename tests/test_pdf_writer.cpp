#include "PdfReadBack.h"

#include "platform/pdf/DocumentWriter.h"
#include "platform/pdf/GridPanel.h"
#include "platform/pdf/Label.h"
#include "platform/pdf/LayoutPanel.h"
#include "platform/pdf/Page.h"
#include "platform/pdf/PdfError.h"
#include "platform/pdf/Picture.h"
#include "platform/pdf/Rect.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#ifndef Q_OS_WIN
#include <csignal>
#include <sys/resource.h>
#endif

using namespace pdf;
using PdfReadBack::Word;

namespace {

const QSizeF Landscape(842, 596);

// One page with whatever build() puts on it, written as a document of its own.
QString WriteOnePage(const QTemporaryDir& folder, const std::function<void(Page&)>& build)
{
    Page page(Landscape);
    build(page);
    DocumentWriter writer;
    writer.setFileName(folder.filePath("page.pdf"));
    writer.beginDoc();
    writer.print(page);
    writer.endDoc();
    return writer.fileName();
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage SolidImage(QSize size, const QColor& colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

bool IsDark(QRgb pixel)
{
    return qGray(pixel) < 100;
}

#ifdef Q_OS_WIN
// Windows has no limit on the size of the files a process writes: the rows that would lower
// it are left out there, and this is never made.
struct FileSizeLimit {
    explicit FileSizeLimit(int) {}
};
#else
// Lowers the largest file this process may write, for as long as it lives; writes beyond it
// fail with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_previous);
        const rlimit lowered{bytes, m_previous.rlim_max};
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_previous); }

private:
    rlimit m_previous{};
};
#endif

} // namespace

class TestPdfWriter : public QObject {
    Q_OBJECT

private slots:
    void labelAlignment_data()
    {
        QTest::addColumn<Label::Alignment>("alignment");
        QTest::addColumn<QString>("text");

        const QString shortText = "Raport";
        const QString longText = "Operator zmiany nocnej Łukasz Wiśniewski";
        QTest::newRow("left") << Label::Alignment::Left << shortText;
        QTest::newRow("centre") << Label::Alignment::Centre << shortText;
        QTest::newRow("right") << Label::Alignment::Right << shortText;
        QTest::newRow("left, runs out to the right") << Label::Alignment::Left << longText;
        QTest::newRow("centre, runs out to both sides") << Label::Alignment::Centre << longText;
        QTest::newRow("right, runs out to the left") << Label::Alignment::Right << longText;
    }

    void labelAlignment()
    {
        QFETCH(Label::Alignment, alignment);
        QFETCH(QString, text);
        const QRectF box(300, 200, 100, 17);
        const QTemporaryDir folder;
        const QString pdf = WriteOnePage(folder, [&](Page& page) {
            auto& panel = page.add<LayoutPanel>(QRectF(37, 37, 775, 524));
            panel.add<Label>(box.translated(-37, -37), text, Font{10, false, true}, alignment);
        });

        const QRectF line = PdfReadBack::extent(PdfReadBack::words(pdf));
        QCOMPARE(PdfReadBack::text(pdf).simplified(), text);
        const bool runsOut = line.width() > box.width();
        QCOMPARE(runsOut, text.size() > 10);
        switch (alignment) {
        case Label::Alignment::Left:
            QCOMPARE_LT(qAbs(line.left() - box.left()), 0.5);
            break;
        case Label::Alignment::Centre:
            QCOMPARE_LT(qAbs(line.center().x() - box.center().x()), 0.5);
            break;
        case Label::Alignment::Right:
            QCOMPARE_LT(qAbs(line.right() - box.right()), 0.5);
            break;
        }
        // The text hangs from the top of the box: its ascent (7.18 points at 10 points) is inside.
        const Word first = PdfReadBack::words(pdf).first();
        QCOMPARE_LT(qAbs(first.box.top() - box.top()), 1.5);
    }

    void everyLetterInTheFourEmbeddedFaces()
    {
        const QTemporaryDir folder;
        const QString pdf = WriteOnePage(folder, [](Page& page) {
            page.add<Label>(QRectF(40, 40, 300, 20), "Zażółć gęślą jaźń – 20 °C, 5 €", Font{12});
            page.add<Label>(QRectF(40, 70, 300, 20), "Przepływ 12,5 m³/h, 4 kΩ, 3 µS", Font{12, true});
            page.add<Label>(QRectF(40, 100, 300, 20), "Насос подачи воды", Font{12, false, true});
            // An emoji with its variation selector is one character the font lacks.
            page.add<Label>(QRectF(40, 130, 300, 20), "Pompa 😀, ❤️ i 中", Font{12, true, true});
        });

        QCOMPARE(PdfReadBack::text(pdf).split('\n', Qt::SkipEmptyParts),
                 QStringList({"Zażółć gęślą jaźń – 20 °C, 5 €", "Przepływ 12,5 m³/h, 4 kΩ, 3 µS", "Насос подачи воды",
                              "Pompa □, □ i □", "\f"}));
        // Every face maps its codes back to the characters, so readers copy and search the text.
        QCOMPARE(PdfReadBack::complaints(pdf), QString());
        QStringList faces;
        for (const PdfReadBack::FontEntry& font : PdfReadBack::fonts(pdf)) {
            // Embedded subsets are named with a tag, libharu adds the style: "HPDFAB+LiberationSans-Bold,Bold".
            faces.append(font.name.section('+', 1).section(',', 0, 0));
            QCOMPARE(font.type, QString("CID TrueType"));
            QCOMPARE(font.encoding, QString("Identity-H"));
            QVERIFY(font.embedded);
        }
        faces.sort();
        QCOMPARE(faces, QStringList({"LiberationSans", "LiberationSans-Bold", "LiberationSans-BoldItalic",
                                     "LiberationSans-Italic"}));
    }

    void documentProperties()
    {
        const QTemporaryDir folder;
        Page page(Landscape);
        Label& number = page.add<Label>(QRectF(40, 40, 100, 17));
        DocumentWriter writer;
        writer.setFileName(folder.filePath("report.pdf"));
        writer.setCreationDate(QDateTime(QDate(2019, 11, 19), QTime(16, 3, 25)));
        // An unfinished document is dropped by the next one.
        writer.beginDoc();
        writer.print(page);
        writer.print(page);
        writer.beginDoc();
        for (const char* text : {"Strona 1/2", "Strona 2/2"}) {
            number.setText(text);
            writer.print(page);
        }
        QVERIFY(!QFile::exists(writer.fileName()));
        writer.endDoc();

        const QMap<QString, QString> info = PdfReadBack::info(writer.fileName());
        QCOMPARE(info.value("Pages"), QString("2"));
        QVERIFY2(info.value("Page size").startsWith("842 x 596 pts"), qPrintable(info.value("Page size")));
        QCOMPARE(PdfReadBack::text(writer.fileName()).split('\f', Qt::SkipEmptyParts),
                 QStringList({"Strona 1/2\n\n", "Strona 2/2\n\n"}));
        for (const char* key : {"Title", "Subject", "Keywords", "Author", "Creator", "ModDate"})
            QVERIFY2(!info.contains(key), key);
        QCOMPARE(info.value("Producer"), QString());
        const QByteArray bytes = FileBytes(writer.fileName());
        QVERIFY(bytes.contains("/CreationDate (D:20191119160325)"));
        QVERIFY(bytes.contains("/PageLayout /OneColumn"));
        QVERIFY(!bytes.contains("/Outlines"));
        QVERIFY(!bytes.contains("/ViewerPreferences"));
        QVERIFY(bytes.contains("/FlateDecode"));
    }

    void gridPanelCells()
    {
        const QList<int> columnStarts{0, 115};
        const QList<int> rowStarts{0, 23, 47, 70, 94, 118, 141, 165, 189, 212, 236, 259, 283, 307, 330, 354, 378, 401, 425};
        const QPointF gridCorner(37 + 540, 37 + 42);
        QList<QPoint> calls;
        const QTemporaryDir folder;
        const QString pdf = WriteOnePage(folder, [&](Page& page) {
            auto& panel = page.add<LayoutPanel>(QRectF(37, 37, 775, 524));
            auto& grid = panel.add<GridPanel>(QRectF(540, 42, 231, 449), 2, 19);
            auto& cell = grid.add<Rect>(QRectF(0, 0, 122, 25));
            auto& text = grid.add<Label>(QRectF(3, 5, 101, 30), QString(), Font{12});
            grid.setBeforePrintChild([&](int column, int row) {
                calls.append({column, row});
                // Columns in different colours show which cell covers the overlap.
                cell.setFillColour(column == 0 ? QColor(Qt::red) : QColor(Qt::blue));
                text.setText(QString("k%1w%2").arg(column).arg(row));
            });
        });

        QList<QPoint> rowMajor;
        for (int row = 0; row < 19; ++row)
            rowMajor << QPoint(0, row) << QPoint(1, row);
        QCOMPARE(calls, rowMajor);

        const QList<Word> words = PdfReadBack::words(pdf);
        QCOMPARE(words.size(), 38);
        for (const QPoint& cell : rowMajor) {
            const QList<Word> found = PdfReadBack::find(words, QString("k%1w%2").arg(cell.x()).arg(cell.y()));
            QCOMPARE(found.size(), 1);
            const QPointF expected = gridCorner + QPointF(columnStarts[cell.x()] + 3, rowStarts[cell.y()] + 5);
            QCOMPARE_LT(qAbs(found.first().box.left() - expected.x()), 0.5);
            QCOMPARE_LT(qAbs(found.first().box.top() - expected.y()), 2.0);
        }

        // The 122-point cells overlap the next column by 7 points: the right cell covers it.
        const QImage image = PdfReadBack::render(pdf, 1);
        const int y = int(gridCorner.y()) + 2;
        QCOMPARE(QColor(image.pixel(int(gridCorner.x()) + 110, y)), QColor(Qt::red));
        QCOMPARE(QColor(image.pixel(int(gridCorner.x()) + 118, y)), QColor(Qt::blue));
        QCOMPARE(QColor(image.pixel(int(gridCorner.x()) + 236, y)), QColor(Qt::blue));
        QCOMPARE(QColor(image.pixel(int(gridCorner.x()) + 238, y)), QColor(Qt::white));
    }

    void rectangleAndRule()
    {
        const QTemporaryDir folder;
        const QString pdf = WriteOnePage(folder, [](Page& page) {
            page.add<Rect>(QRectF(100, 100, 50, 30), Qt::black, QColor(Qt::green));
            page.add<Rect>(QRectF(100, 200, 300, 1));
        });
        const QImage image = PdfReadBack::render(pdf, 1);
        QCOMPARE(QColor(image.pixel(125, 115)), QColor(Qt::green));
        QVERIFY(IsDark(image.pixel(125, 100)));
        QVERIFY(IsDark(image.pixel(100, 115)));
        // A rule is one hairline through the middle of its box, not two lines a point apart.
        QVERIFY(IsDark(image.pixel(250, 200)));
        QCOMPARE(QColor(image.pixel(250, 199)), QColor(Qt::white));
        QCOMPARE(QColor(image.pixel(250, 201)), QColor(Qt::white));
        QCOMPARE(QColor(image.pixel(99, 200)), QColor(Qt::white));
        QCOMPARE(QColor(image.pixel(401, 200)), QColor(Qt::white));
    }

    void sharedAndPerPagePictures()
    {
        const QTemporaryDir folder;
        Page page(Landscape);
        page.add<Picture>(QRectF(37, 40, 103, 26), ImageStorage::Shared, SolidImage({281, 65}, Qt::red));
        auto& chart = page.add<Picture>(QRectF(37, 79, 537, 449), ImageStorage::PerPage);
        const QList<QColor> colours{Qt::green, Qt::blue, Qt::yellow};
        DocumentWriter writer;
        writer.setFileName(folder.filePath("pictures.pdf"));
        writer.beginDoc();
        for (const QColor& colour : colours) {
            chart.setImage(SolidImage({537, 449}, colour));
            writer.print(page);
        }
        writer.endDoc();

        QSet<int> logos;
        QSet<int> charts;
        int listed = 0;
        for (const PdfReadBack::ImageEntry& image : PdfReadBack::images(writer.fileName())) {
            ++listed;
            (image.width == 281 ? logos : charts).insert(image.object);
        }
        QCOMPARE(listed, 6);
        QCOMPARE(logos.size(), 1);
        QCOMPARE(charts.size(), 3);
        // Flate keeps three uniform 537 x 449 pictures (700 KB each unpacked) small.
        QCOMPARE_LT(QFileInfo(writer.fileName()).size(), 50'000);

        for (int page = 1; page <= 3; ++page) {
            const QImage image = PdfReadBack::render(writer.fileName(), page);
            QCOMPARE(QColor(image.pixel(37 + 50, 40 + 13)), QColor(Qt::red));
            QCOMPARE(QColor(image.pixel(37 + 1, 79 + 1)), colours[page - 1]);
            QCOMPARE(QColor(image.pixel(37 + 535, 79 + 447)), colours[page - 1]);
            QCOMPARE(QColor(image.pixel(37 + 538, 79 + 200)), QColor(Qt::white));
        }
    }

    void failedWriteLeavesNoFile_data()
    {
        QTest::addColumn<QString>("relativePath");
        QTest::addColumn<bool>("existing");
        QTest::addColumn<bool>("fileTooLarge");

        QTest::newRow("folder does not exist") << "missing/report.pdf" << false << false;
        QTest::newRow("folder is a file") << "plain.txt/report.pdf" << false << false;
#ifndef Q_OS_WIN
        QTest::newRow("write fails, old file stays") << "report.pdf" << true << true;
#endif
    }

    void failedWriteLeavesNoFile()
    {
        QFETCH(QString, relativePath);
        QFETCH(bool, existing);
        QFETCH(bool, fileTooLarge);
        const QTemporaryDir folder;
        QFile plain(folder.filePath("plain.txt"));
        QVERIFY(plain.open(QIODevice::WriteOnly) && plain.write("text") == 4);
        plain.close();
        const QString path = folder.filePath(relativePath);
        const QByteArray previous("%PDF-1.3 the previous report");
        if (existing) {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write(previous) == previous.size());
        }
        const QStringList entriesBefore = QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden);

        Page page(Landscape);
        page.add<Label>(QRectF(40, 40, 100, 17), "Strona 1/1");
        DocumentWriter writer;
        writer.setFileName(path);
        writer.beginDoc();
        writer.print(page);
        QString message;
        try {
            [[maybe_unused]] const std::optional<FileSizeLimit> limit
                = fileTooLarge ? std::optional<FileSizeLimit>(std::in_place, 200) : std::nullopt;
            writer.endDoc();
        } catch (const FileError& error) {
            message = QString::fromStdString(error.what());
            QCOMPARE(error.path(), path);
        }
        QVERIFY2(message.contains(path), qPrintable(message));
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden), entriesBefore);
        if (existing)
            QCOMPARE(FileBytes(path), previous);

        // The document is still there to be written elsewhere, and the writer goes on.
        writer.setFileName(folder.filePath("retried.pdf"));
        writer.endDoc();
        QCOMPARE(PdfReadBack::text(writer.fileName()).trimmed(), QString("Strona 1/1"));
        writer.setFileName(folder.filePath("next.pdf"));
        writer.beginDoc();
        writer.print(page);
        writer.endDoc();
        QCOMPARE(PdfReadBack::info(writer.fileName()).value("Pages"), QString("1"));
    }

    void libraryFailureSpoilsTheDocument()
    {
        const QTemporaryDir folder;
        Page page(Landscape);
        Label& label = page.add<Label>(QRectF(40, 40, 100, 17), "Strona 1/1", Font{1000});
        DocumentWriter writer;
        writer.setFileName(folder.filePath("report.pdf"));
        writer.beginDoc();
        try {
            writer.print(page);
            QFAIL("libharu accepted a 1000-point font");
        } catch (const LibraryError& error) {
            QCOMPARE(error.number(), 0x1050ul); // HPDF_PAGE_INVALID_FONT_SIZE
        }
        label.setFont(Font{10});
        QVERIFY_THROWS_EXCEPTION(LibraryError, writer.print(page));
        QVERIFY_THROWS_EXCEPTION(LibraryError, writer.endDoc());
        QVERIFY(!QFile::exists(writer.fileName()));

        writer.beginDoc();
        writer.print(page);
        writer.endDoc();
        QCOMPARE(PdfReadBack::info(writer.fileName()).value("Pages"), QString("1"));
    }

    void printNeedsABegunDocument()
    {
        Page page(Landscape);
        DocumentWriter writer;
        QVERIFY_THROWS_EXCEPTION(PdfError, writer.print(page));
        QVERIFY_THROWS_EXCEPTION(PdfError, writer.endDoc());
    }
};

QTEST_MAIN(TestPdfWriter)
#include "test_pdf_writer.moc"
