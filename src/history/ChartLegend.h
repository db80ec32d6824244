#pragma once

#include <QListWidget>

namespace history {

class HistoryChart;

// The chart's legend: one entry per series, written in the series' colour, with a check
// box that shows or hides the series when check boxes are on. It lives under the chart
// as a wrapping list so that 1800 entries stay usable.
class ChartLegend final : public QListWidget {
    Q_OBJECT
public:
    explicit ChartLegend(HistoryChart& chart, QWidget* parent = nullptr);

    void setCheckBoxes(bool on);
    bool checkBoxes() const { return m_checkBoxes; }

private:
    void scheduleRebuild();
    void rebuild();
    void showActive(int index);
    void applyCheck(QListWidgetItem* item);

    HistoryChart& m_chart;
    bool m_checkBoxes = true;
    bool m_updating = false;
    bool m_rebuildScheduled = false;
};

} // namespace history
