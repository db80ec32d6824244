#pragma once

#include "common/ValueText.h"
#include "platform/pdf/DocumentWriter.h"
#include "platform/pdf/GridPanel.h"
#include "platform/pdf/Label.h"
#include "platform/pdf/LayoutPanel.h"
#include "platform/pdf/Page.h"
#include "platform/pdf/PaintedPicture.h"
#include "platform/pdf/Picture.h"
#include "platform/pdf/Rect.h"
#include "report/SummaryTable.h"

#include <QWidget>

class QProgressBar;

namespace report {

class ReportChart;
struct ReportSource;

// The page template of the PDF report and the report built on it: one landscape page per
// selected channel with a header, the channel's chart, its settings and statistics table
// and a footer. Created at start and never shown.
class TFReport001 final : public QWidget {
    Q_OBJECT
public:
    explicit TFReport001(QWidget* parent = nullptr);

    // Writes the report of source to the file named in PReport: a page for every selected
    // channel, in channel order. progress, when given, moves one step per page. Throws
    // pdf::FileError (naming the file) when the file cannot be written; then no file is left.
    void GenerateReport(const ReportSource& source, QProgressBar* progress = nullptr);
    // Fills the table's cell (column, row) for CurrentChannel before the page writer draws it.
    void PRGridPanelBeforePrintChild(int column, int row);

    // The channel whose page is being built.
    qint32 CurrentChannel = 0;

    pdf::DocumentWriter PReport;
    pdf::Page PRPage;
    pdf::LayoutPanel& PRLayoutPanel;
    pdf::Label& PRLabelPage;
    ReportChart* ChartReport;
    pdf::PaintedPicture& PRImage;
    pdf::Rect& PRRect1;
    pdf::Picture& PRImage1;
    pdf::Label& PRLabelDate;
    pdf::Rect& PRRect2;
    pdf::Label& PRLabel1;
    pdf::Label& PRLabelDateInOut;
    pdf::GridPanel& PRGridPanel;
    pdf::Rect& PRRectGrid;
    pdf::Label& PRLabelGrid;
    pdf::Label& PRLabel2;
    pdf::Label& PRLabelUser;

private:
    // The table of the page being printed; CurrentChannel's, while a report is generated.
    SummaryTable m_table{};
    bool m_generating = false;
    common::FixedPointFormat m_valueFormat;
};

} // namespace report
