#include "PdfReadBack.h"

#include "platform/pdf/DocumentWriter.h"
#include "platform/pdf/Page.h"
#include "platform/pdf/PaintedPicture.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <qcustomplot.h>

using namespace pdf;
using PdfReadBack::Word;

namespace {

// A page with one painted picture at box; returns the path of the written document.
QString WritePainted(const QTemporaryDir& folder, QSizeF pageSize, const QRectF& box, const PaintedPicture::Paint& paint)
{
    Page page(pageSize);
    page.add<PaintedPicture>(box, paint);
    DocumentWriter writer;
    writer.setFileName(folder.filePath("painted.pdf"));
    writer.beginDoc();
    writer.print(page);
    writer.endDoc();
    return writer.fileName();
}

bool IsWhite(QRgb pixel)
{
    return pixel == qRgb(255, 255, 255);
}

// Lengths of the alternating inked and blank runs along a pixel row, starting with ink.
QList<int> InkRuns(const QImage& image, int y, int fromX, int toX)
{
    QList<int> runs;
    bool inked = true;
    int length = 0;
    for (int x = fromX; x < toX; ++x) {
        if (!IsWhite(image.pixel(x, y)) != inked) {
            runs.append(length);
            inked = !inked;
            length = 0;
        }
        ++length;
    }
    runs.append(length);
    return runs;
}

PaintedPicture::Paint WithPainter(const std::function<void(QPainter&)>& paint)
{
    return [paint](QPaintDevice& device) {
        QPainter painter(&device);
        paint(painter);
    };
}

} // namespace

class TestPdfPainter : public QObject {
    Q_OBJECT

private slots:
    void penStyles_data()
    {
        QTest::addColumn<Qt::PenStyle>("style");
        QTest::addColumn<bool>("polyline");
        QTest::addColumn<QList<int>>("pattern"); // ink, gap, ... for a pen 2 points wide

        QTest::newRow("solid") << Qt::SolidLine << false << QList<int>{200};
        QTest::newRow("dotted") << Qt::DotLine << false << QList<int>{2, 4, 2, 4};
        QTest::newRow("dashed") << Qt::DashLine << false << QList<int>{8, 4, 8, 4};
        QTest::newRow("dash-dotted") << Qt::DashDotLine << false << QList<int>{8, 4, 2, 4, 8, 4};
        // One path: the pattern runs on across the vertices instead of starting anew at each.
        QTest::newRow("dashed polyline of short segments") << Qt::DashLine << true << QList<int>{8, 4, 8, 4};
    }

    void penStyles()
    {
        QFETCH(Qt::PenStyle, style);
        QFETCH(bool, polyline);
        QFETCH(QList<int>, pattern);
        const QTemporaryDir folder;
        const QString pdf = WritePainted(folder, {300, 100}, {50, 20, 220, 60}, WithPainter([&](QPainter& painter) {
            QPen pen(QColor(Qt::red), 2, style, Qt::FlatCap);
            painter.setPen(pen);
            if (polyline) {
                QPolygonF points;
                for (int x = 10; x <= 210; x += 3)
                    points.append(QPointF(x, 30));
                painter.drawPolyline(points);
            } else {
                painter.drawLine(QPointF(10, 30), QPointF(210, 30));
            }
        }));

        const QImage image = PdfReadBack::render(pdf, 1);
        // The line covers page rows 49 and 50, from x = 60 on.
        for (const int y : {49, 50})
            QCOMPARE(InkRuns(image, y, 60, 260).mid(0, pattern.size()), pattern);
        QCOMPARE(QColor(image.pixel(60, 49)), QColor(Qt::red));
        QVERIFY(IsWhite(image.pixel(60, 48)));
        QVERIFY(IsWhite(image.pixel(60, 51)));
    }

    void fillsClipsAndImages()
    {
        QImage twoTone(10, 10, QImage::Format_RGB32);
        twoTone.fill(Qt::blue);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 10; ++x)
                twoTone.setPixel(x, y, qRgb(255, 0, 0));

        const QTemporaryDir folder;
        const QRectF box(100, 50, 200, 150);
        const QString pdf = WritePainted(folder, {400, 300}, box, WithPainter([&](QPainter& painter) {
            painter.fillRect(QRectF(10, 10, 40, 30), Qt::green);
            painter.setPen(QPen(Qt::black, 4));
            // The picture's edge clips whatever runs past it.
            painter.drawLine(QPointF(-50, 60), QPointF(250, 60));
            painter.save();
            painter.setClipRect(QRectF(100, 80, 40, 40));
            painter.drawLine(QPointF(60, 100), QPointF(190, 100));
            painter.restore();
            painter.drawLine(QPointF(60, 130), QPointF(190, 130)); // no clip after restore
            painter.drawImage(QRectF(150, 10, 20, 20), twoTone);
        }));

        const QImage image = PdfReadBack::render(pdf, 1);
        const auto at = [&](double x, double y) { return QColor(image.pixel(int(box.x() + x), int(box.y() + y))); };
        QCOMPARE(at(30, 25), QColor(Qt::green));
        QCOMPARE(at(55, 25), QColor(Qt::white));
        QCOMPARE(at(5, 60), QColor(Qt::black));
        QCOMPARE(at(195, 60), QColor(Qt::black));
        QCOMPARE(at(-5, 60), QColor(Qt::white));
        QCOMPARE(at(205, 60), QColor(Qt::white));
        QCOMPARE(at(120, 100), QColor(Qt::black));
        QCOMPARE(at(80, 100), QColor(Qt::white));
        QCOMPARE(at(160, 100), QColor(Qt::white));
        QCOMPARE(at(80, 130), QColor(Qt::black));
        QCOMPARE(at(160, 130), QColor(Qt::black));
        // The image stands upright: its red top half at the top.
        QCOMPARE(at(160, 13), QColor(Qt::red));
        QCOMPARE(at(160, 27), QColor(Qt::blue));
    }

    void text()
    {
        QFont font("Liberation Sans");
        font.setPointSizeF(12);
        const QRectF box(100, 100, 400, 300);
        const QRectF rightAligned(50, 60, 300, 20);
        const QTemporaryDir folder;
        const QString pdf = WritePainted(folder, {600, 500}, box, WithPainter([&](QPainter& painter) {
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(rightAligned, Qt::AlignRight | Qt::AlignTop, "Temperatura wody ąę");
            painter.drawText(QPointF(50, 150), "Przepływ m³/h, насос 😀");
            font.setBold(true);
            painter.setFont(font);
            painter.translate(20, 250);
            painter.rotate(-90);
            painter.drawText(QPointF(0, 0), "Obrót osi");
        }));

        const QList<Word> words = PdfReadBack::words(pdf);
        const QRectF horizontal = PdfReadBack::extent(PdfReadBack::find(words, "Temperatura")
                                                      + PdfReadBack::find(words, "wody")
                                                      + PdfReadBack::find(words, "ąę"));
        QCOMPARE_LT(qAbs(horizontal.right() - (box.x() + rightAligned.right())), 1.0);
        // The baseline where Qt put it: the box's top plus the ascent of Qt's font at 72 dpi.
        QImage pointsDevice(1, 1, QImage::Format_RGB32);
        pointsDevice.setDotsPerMeterX(qRound(72 / 0.0254));
        pointsDevice.setDotsPerMeterY(qRound(72 / 0.0254));
        const double qtBaseline = box.y() + rightAligned.top() + QFontMetricsF(font, &pointsDevice).ascent();
        const double fontAscent = 0.905 * 12; // Liberation Sans, as embedded
        QCOMPARE_LT(qAbs(horizontal.top() + fontAscent - qtBaseline), 0.5);

        // Rotated by -90 degrees: it reads upward from (20, 250), its tops to the left.
        const QRectF rotated = PdfReadBack::extent(PdfReadBack::find(words, "Obrót") + PdfReadBack::find(words, "osi"));
        QVERIFY2(rotated.height() > 3 * rotated.width(), qPrintable(QString::number(rotated.height())));
        QCOMPARE_LT(qAbs(rotated.bottom() - (box.y() + 250)), 1.0);
        QCOMPARE_LT(qAbs(rotated.left() - (box.x() + 20 - fontAscent)), 0.5);
        // Every letter as painted; the emoji, which the font lacks, as its box.
        QVERIFY2(PdfReadBack::text(pdf).contains("Przepływ m³/h, насос □"), qPrintable(PdfReadBack::text(pdf)));

        QStringList faces;
        for (const PdfReadBack::FontEntry& entry : PdfReadBack::fonts(pdf))
            faces.append(entry.name.section('+', 1).section(',', 0, 0));
        faces.sort();
        QCOMPARE(faces, QStringList({"LiberationSans", "LiberationSans-Bold"}));
    }

    void customPlotChartStaysVector()
    {
        constexpr int Points = 100'000;
        constexpr int SpikeIndex = 61'234;
        QVector<double> keys(Points);
        QVector<double> values(Points);
        for (int i = 0; i < Points; ++i) {
            keys[i] = i;
            values[i] = 20 + 5 * std::sin(i / 5000.0);
        }
        values[SpikeIndex] = 95;

        QCustomPlot plot;
        plot.addGraph();
        plot.graph(0)->setData(keys, values, true);
        plot.graph(0)->setPen(QPen(Qt::blue, 1));
        plot.xAxis->setRange(0, Points);
        plot.yAxis->setRange(0, 100);
        plot.yAxis->setLabel("Temperatura [°C]");
        const QRectF box(37, 79, 537, 449);

        const QTemporaryDir folder;
        const QString pdf = WritePainted(folder, {842, 596}, box, [&](QPaintDevice& device) {
            QCPPainter painter(&device);
            // Vector output: no half-pixel shifts, and a 1-point pen stays 1 point wide.
            painter.setMode(QCPPainter::pmVectorized);
            plot.toPainter(&painter, int(box.width()), int(box.height()));
        });

        QCOMPARE_LT(QFileInfo(pdf).size(), 60'000);
        QVERIFY(PdfReadBack::images(pdf).isEmpty());
        QVERIFY(PdfReadBack::text(pdf).contains("Temperatura [°C]"));

        // The spike survives the sampling: its column is blue up near the top of the range.
        const QImage image = PdfReadBack::render(pdf, 1);
        const int spikeX = int(box.x() + plot.xAxis->coordToPixel(SpikeIndex));
        const int spikeTop = int(box.y() + plot.yAxis->coordToPixel(95));
        const int calmTop = int(box.y() + plot.yAxis->coordToPixel(26));
        const auto blueAbove = [&](int x, int y) {
            for (int dx = -1; dx <= 1; ++dx) {
                const QColor pixel(image.pixel(x + dx, y));
                if (pixel.blue() > 200 && pixel.red() < 150)
                    return true;
            }
            return false;
        };
        QVERIFY(blueAbove(spikeX, spikeTop + 2));
        QVERIFY(!blueAbove(spikeX - 20, spikeTop + 2));
        QVERIFY(!blueAbove(spikeX + 20, calmTop - 2));
    }
};

QTEST_MAIN(TestPdfPainter)
#include "test_pdf_painter.moc"
