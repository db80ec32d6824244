#include "history/ChartLegend.h"

#include "history/HistoryChart.h"

#include <QStyle>
#include <QTextDocument>

namespace history {

namespace {

// A long name is cut (with "…") at this width; its tool tip tells it whole.
constexpr int MaxEntryWidth = 240;

} // namespace

ChartLegend::ChartLegend(HistoryChart& chart, QWidget* parent)
    : QListWidget(parent)
    , m_chart(chart)
{
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    // Each entry as wide as its name needs, up to MaxEntryWidth.
    setUniformItemSizes(false);
    setTextElideMode(Qt::ElideRight);
    setFrameShape(QFrame::NoFrame);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    // Series come and go by the thousand at connect and disconnect: one rebuild afterwards.
    connect(&chart, &HistoryChart::seriesListChanged, this, &ChartLegend::scheduleRebuild);
    connect(&chart, &HistoryChart::seriesActiveChanged, this, &ChartLegend::showActive);
    connect(this, &QListWidget::itemChanged, this, &ChartLegend::applyCheck);
}

void ChartLegend::setCheckBoxes(bool on)
{
    m_checkBoxes = on;
    rebuild();
}

void ChartLegend::scheduleRebuild()
{
    if (m_rebuildScheduled)
        return;
    m_rebuildScheduled = true;
    QMetaObject::invokeMethod(this, &ChartLegend::rebuild, Qt::QueuedConnection);
}

void ChartLegend::rebuild()
{
    m_rebuildScheduled = false;
    m_updating = true;
    clear();
    const int checkBoxWidth = m_checkBoxes ? style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this) + 8 : 0;
    const int height = fontMetrics().height() + 6;
    for (int i = 0; i < m_chart.seriesCount(); ++i) {
        const ChannelSeries* series = m_chart.series(i);
        const QString name = series->name();
        auto* item = new QListWidgetItem(name, this);
        item->setForeground(series->pen().color());
        item->setSizeHint(QSize(std::min(fontMetrics().horizontalAdvance(name) + checkBoxWidth + 12, MaxEntryWidth), height));
        // Converted as text: a tool tip that looks like markup would be shown as HTML.
        item->setToolTip(Qt::convertFromPlainText(name, Qt::WhiteSpaceNoWrap));
        if (m_checkBoxes) {
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            item->setCheckState(series->visible() ? Qt::Checked : Qt::Unchecked);
        } else {
            item->setFlags(Qt::ItemIsEnabled);
        }
    }
    m_updating = false;
}

void ChartLegend::showActive(int index)
{
    QListWidgetItem* entry = item(index);
    if (!entry || !m_checkBoxes)
        return;
    m_updating = true;
    entry->setCheckState(m_chart.seriesActive(index) ? Qt::Checked : Qt::Unchecked);
    m_updating = false;
}

void ChartLegend::applyCheck(QListWidgetItem* entry)
{
    if (!m_updating && m_checkBoxes)
        m_chart.setSeriesActive(row(entry), entry->checkState() == Qt::Checked);
}

} // namespace history
