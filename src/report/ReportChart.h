#pragma once

#include <QString>
#include <array>
#include <qcustomplot.h>

namespace db { struct ChannelTable; }
namespace history { class ChannelSeries; }

namespace report {

struct ReportSource;

// "Grupa :: Podgrupa :: Nazwa": the group and subgroup when they are not "NULL", then the
// name, whatever it holds.
QString ChartTitle(const db::ChannelTable& channels, quint32 channel);

// The chart of a report page, 537 x 449: the channel's curve of the last fetch and its four alarm thresholds as horizontal lines across the report range, A1 dotted and
// A2 dashed. It is built anew for every page and painted into the page as vectors.
class ReportChart final : public QCustomPlot {
    Q_OBJECT
public:
    static constexpr int Width = 537;
    static constexpr int Height = 449;

    explicit ReportChart(QWidget* parent = nullptr);

    void BuildChart(const ReportSource& source, quint32 channel);

    // Series 0 is the channel's curve, series 1 to 4 the lines of A1_L, A1_H, A2_L, A2_H.
    const history::ChannelSeries& curve() const { return *m_curve; }
    const QCPGraph& thresholdLine(int index) const { return *m_thresholds[std::size_t(index)]; }
    QString title() const { return m_title->text(); }

    // Paints the chart as it stands onto device, at its own size, as vectors.
    void paintInto(QPaintDevice& device);

private:
    void setThreshold(int index, float value, double startKey, double endKey);

    QSharedPointer<QCPAxisTickerDateTime> m_ticker;
    QCPTextElement* m_title;
    history::ChannelSeries* m_curve;
    std::array<QCPGraph*, 4> m_thresholds{};
};

} // namespace report
