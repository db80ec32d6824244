#include "report/TFReport001.h"

#include "common/DateTimeText.h"
#include "report/CellLabel.h"
#include "db/ChannelTable.h"
#include "report/ReportChart.h"
#include "report/ReportSource.h"
#include "report/SummaryTable.h"

#include <QIcon>
#include <QPainter>
#include <QProgressBar>

namespace report {

namespace {

using pdf::Font;
using Align = pdf::Label::Alignment;

const QSizeF LandscapeA4(842, 596);
// A cell's text starts 3 points into the cell and keeps 2 points clear of the next cell,
// 115 points on (the rectangles are wider, but the next cell's covers the rest).
constexpr double CellTextWidth = 115 - 3 - 2;
const QString WebAddress = QStringLiteral("www.zemlo-viewer.example");

// The maker's logo as the page prints it: a 281 x 65 bitmap, 24 bits a pixel.
QImage Logo()
{
    QImage logo(281, 65, QImage::Format_RGB32);
    logo.fill(Qt::white);
    QPainter painter(&logo);
    // Through QIcon, which draws the SVG where Qt has SVG support and a picture rendered
    // from it at build time where it has not.
    painter.drawPixmap(0, 0, QIcon(QStringLiteral(":/resources/report/logo.svg")).pixmap(logo.size(), 1.0));
    return logo;
}

// Marks a report as being generated while it lives.
class Generating {
public:
    explicit Generating(bool& flag)
        : m_flag(flag)
    {
        m_flag = true;
    }
    ~Generating() { m_flag = false; }
    Generating(const Generating&) = delete;
    Generating& operator=(const Generating&) = delete;

private:
    bool& m_flag;
};

// One step of the progress bar per page; back at 0 when the report ends, written or not.
// QProgressBar::setValue repaints the bar at once, so it moves while the window is blocked.
class PageProgress {
public:
    PageProgress(QProgressBar* bar, quint32 pages)
        : m_bar(bar)
    {
        if (m_bar) {
            m_bar->setRange(0, int(std::max(pages, 1u)));
            m_bar->setValue(0);
        }
    }
    ~PageProgress()
    {
        if (m_bar)
            m_bar->setValue(0);
    }
    PageProgress(const PageProgress&) = delete;
    PageProgress& operator=(const PageProgress&) = delete;

    void pageDone(quint32 page) const
    {
        if (m_bar)
            m_bar->setValue(int(page));
    }

private:
    QProgressBar* m_bar;
};

} // namespace

TFReport001::TFReport001(QWidget* parent)
    : QWidget(parent)
    , PRPage(LandscapeA4)
    , PRLayoutPanel(PRPage.add<pdf::LayoutPanel>(QRectF(37, 37, 775, 524)))
    , PRLabelPage(PRLayoutPanel.add<pdf::Label>(QRectF(672, 504, 100, 17), QString(), Font{10, false, true}, Align::Right))
    , ChartReport(new ReportChart(this))
    , PRImage(PRLayoutPanel.add<pdf::PaintedPicture>(QRectF(0, 42, ReportChart::Width, ReportChart::Height)))
    , PRRect1(PRLayoutPanel.add<pdf::Rect>(QRectF(0, 35, 777, 1)))
    , PRImage1(PRLayoutPanel.add<pdf::Picture>(QRectF(0, 3, 103, 26), pdf::ImageStorage::Shared, Logo()))
    , PRLabelDate(PRLayoutPanel.add<pdf::Label>(QRectF(672, 0, 100, 17), QString(), Font{10, false, true}, Align::Right))
    , PRRect2(PRLayoutPanel.add<pdf::Rect>(QRectF(0, 497, 777, 1)))
    , PRLabel1(PRLayoutPanel.add<pdf::Label>(QRectF(184, 505, 393, 17), WebAddress, Font{10, true}, Align::Centre))
    , PRLabelDateInOut(PRLayoutPanel.add<pdf::Label>(QRectF(0, 504, 93, 17), QString(), Font{10}, Align::Left))
    , PRGridPanel(PRLayoutPanel.add<pdf::GridPanel>(QRectF(540, 42, 231, 449), SummaryColumns, SummaryRows))
    , PRRectGrid(PRGridPanel.add<pdf::Rect>(QRectF(0, 0, 122, 25), Qt::black, QColor(Qt::white)))
    , PRLabelGrid(PRGridPanel.add<CellLabel>(QRectF(3, 5, 101, 30), CellTextWidth, Font{12}))
    , PRLabel2(PRLayoutPanel.add<pdf::Label>(QRectF(264, -1, 233, 30), QStringLiteral("RAPORT"), Font{20, true},
                                              Align::Centre))
    , PRLabelUser(PRLayoutPanel.add<pdf::Label>(QRectF(672, 19, 100, 17), QString(), Font{10, false, true}, Align::Right))
{
    setObjectName(QStringLiteral("FReport001"));
    // A window of its own even when its owner is the main window, so it never shows inside it.
    setWindowFlag(Qt::Window);
    ChartReport->setObjectName(QStringLiteral("ChartReport"));
    ChartReport->move(0, 42);
    PRImage.setPaint([this](QPaintDevice& device) { ChartReport->paintInto(device); });
    PRGridPanel.setBeforePrintChild([this](int column, int row) { PRGridPanelBeforePrintChild(column, row); });
}

void TFReport001::GenerateReport(const ReportSource& source, QProgressBar* progress)
{
    const quint32 channelCount = source.channels.count;
    const quint32 pageCount = PageCount(source);

    // The document claims the time of the click, the time its data was reported.
    PReport.setCreationDate(source.outputDateTime);
    PReport.beginDoc();
    PRLabelDate.setText(common::DateTimeText(source.outputDateTime));
    PRLabelUser.setText(source.settings.User.isEmpty() ? QStringLiteral("-") : source.settings.User);
    PRLabelDateInOut.setText(common::DateTimeText(source.fetch.rangeStart) + QStringLiteral(" - ")
                             + common::DateTimeText(source.fetch.rangeEnd));
    PReport.setTitle(QStringLiteral("Raport ") + PRLabelDateInOut.text());
    PReport.setAuthor(source.settings.User);

    const Generating generating(m_generating);
    const PageProgress progressSteps(progress, pageCount);
    quint32 page = 0;
    for (quint32 i = 0; i < channelCount; ++i) {
        CurrentChannel = qint32(i);
        if (!IsSelected(source, i))
            continue;
        ++page;
        PRLabelPage.setText(QStringLiteral("Strona %1/%2").arg(page).arg(pageCount));
        ChartReport->BuildChart(source, i);
        m_table = SummaryTableOf(source, i, m_valueFormat);
        PReport.print(PRPage);
        progressSteps.pageDone(page);
    }
    PReport.endDoc();
}

void TFReport001::PRGridPanelBeforePrintChild(int column, int row)
{
    if (!m_generating || row < 0 || row >= SummaryRows)
        return;
    const SummaryRow& entry = m_table[std::size_t(row)];
    PRRectGrid.setFillColour(entry.header ? Qt::black : Qt::white);
    PRLabelGrid.setColour(entry.header ? Qt::white : Qt::black);
    PRLabelGrid.setFont(Font{12, entry.header});
    PRLabelGrid.setText(column == 0 ? entry.label : entry.value);
}

} // namespace report
