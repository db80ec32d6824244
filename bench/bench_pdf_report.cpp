// PDF pages of the report's shape: a header with a shared logo, a 537 x 449 QCustomPlot
// chart painted as vectors, a 2 x 19 table and a footer. Prints the time and the file bytes
// per page. No database needed:
//   bench_pdf_report [pages=20] [points=10000] [output.pdf]
#include "platform/pdf/DocumentWriter.h"
#include "platform/pdf/GridPanel.h"
#include "platform/pdf/Label.h"
#include "platform/pdf/LayoutPanel.h"
#include "platform/pdf/Page.h"
#include "platform/pdf/PaintedPicture.h"
#include "platform/pdf/Picture.h"
#include "platform/pdf/Rect.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <qcustomplot.h>

using namespace pdf;

namespace {

QImage Logo()
{
    QImage logo(281, 65, QImage::Format_RGB32);
    logo.fill(QColor(0, 90, 160));
    QPainter painter(&logo);
    painter.setPen(Qt::white);
    painter.setFont(QFont("Liberation Sans", 30, QFont::Bold));
    painter.drawText(logo.rect(), Qt::AlignCenter, "ZEMLO");
    return logo;
}

void FillChart(QCustomPlot& plot, int channel, int points)
{
    const double start = QDateTime(QDate(2021, 10, 19), QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
    QVector<double> keys(points);
    QVector<double> values(points);
    for (int i = 0; i < points; ++i) {
        keys[i] = start + 9.0 * i;
        values[i] = 20 + 5 * std::sin(i / 300.0 + channel) + std::fmod(i * 7919.0, 13.0) / 13.0;
    }
    plot.clearGraphs();
    plot.addGraph();
    plot.graph(0)->setData(keys, values, true);
    plot.graph(0)->setPen(QPen(QColor(200, 30, 30), 1));
    for (const double threshold : {18.0, 27.0}) {
        QCPGraph* line = plot.addGraph();
        line->setData({keys.first(), keys.last()}, {threshold, threshold});
        line->setPen(QPen(QColor(200, 30, 30), 2, Qt::DotLine));
    }
    plot.xAxis->rescale();
    plot.yAxis->setRange(10, 35);
    plot.yAxis->setLabel("[°C]");
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const int pages = argc > 1 ? std::atoi(argv[1]) : 20;
    const int points = argc > 2 ? std::atoi(argv[2]) : 10'000;
    const QTemporaryDir scratch;
    const QString output = argc > 3 ? QString::fromLocal8Bit(argv[3]) : scratch.filePath("report.pdf");

    QCustomPlot plot;
    auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
    ticker->setDateTimeFormat("dd-MM-yyyy\nhh:mm:ss");
    ticker->setDateTimeSpec(Qt::UTC);
    plot.xAxis->setTicker(ticker);

    Page page(QSizeF(842, 596));
    auto& panel = page.add<LayoutPanel>(QRectF(37, 37, 775, 524));
    panel.add<Picture>(QRectF(0, 3, 103, 26), ImageStorage::Shared, Logo());
    panel.add<Label>(QRectF(264, -1, 233, 30), "RAPORT", Font{20, true}, Label::Alignment::Centre);
    panel.add<Label>(QRectF(672, 0, 100, 17), "19.10.2021 18:20:28", Font{10, false, true}, Label::Alignment::Right);
    panel.add<Label>(QRectF(672, 19, 100, 17), "Łukasz Żółć", Font{10, false, true}, Label::Alignment::Right);
    panel.add<Rect>(QRectF(0, 35, 777, 1));
    panel.add<PaintedPicture>(QRectF(0, 42, 537, 449), [&](QPaintDevice& device) {
        QCPPainter painter(&device);
        painter.setMode(QCPPainter::pmVectorized);
        plot.toPainter(&painter, 537, 449);
    });
    auto& grid = panel.add<GridPanel>(QRectF(540, 42, 231, 449), 2, 19);
    auto& cell = grid.add<Rect>(QRectF(0, 0, 122, 25));
    auto& cellText = grid.add<Label>(QRectF(3, 5, 101, 30), QString(), Font{12});
    grid.setBeforePrintChild([&](int column, int row) {
        const bool header = row % 6 == 0;
        cell.setFillColour(header ? Qt::black : Qt::white);
        cellText.setColour(header ? Qt::white : Qt::black);
        cellText.setFont(Font{12, header});
        cellText.setText(column == 0 ? QString("A1 :: próg górny") : QString::number(row * 1.25, 'f', 2));
    });
    panel.add<Rect>(QRectF(0, 497, 777, 1));
    panel.add<Label>(QRectF(0, 504, 93, 17), "19.10.2021 - 20.10.2021 06:30:00", Font{10});
    panel.add<Label>(QRectF(184, 505, 393, 17), "www.example.com", Font{10, true}, Label::Alignment::Centre);
    auto& pageNumber = panel.add<Label>(QRectF(672, 504, 100, 17), QString(), Font{10, false, true},
                                        Label::Alignment::Right);

    DocumentWriter writer;
    writer.setFileName(output);
    writer.setCreationDate(QDateTime(QDate(2019, 11, 19), QTime(16, 3, 25)));
    QElapsedTimer clock;
    clock.start();
    writer.beginDoc();
    for (int i = 0; i < pages; ++i) {
        FillChart(plot, i, points);
        pageNumber.setText(QString("Strona %1/%2").arg(i + 1).arg(pages));
        writer.print(page);
    }
    writer.endDoc();
    const double milliseconds = clock.nsecsElapsed() / 1e6;
    const qint64 bytes = QFileInfo(output).size();
    std::printf("%d pages of %d points: %.1f ms per page, %lld bytes per page (%lld bytes in all)\n", pages, points,
                milliseconds / pages, bytes / pages, bytes);
    return 0;
}
