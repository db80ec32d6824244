#pragma once

#include "common/ValueText.h"

#include <QObject>
#include <QPixmap>
#include <array>
#include <optional>
#include <vector>

class QFrame;
class QLabel;
class QScrollArea;
namespace db {
class CDataBase;
struct ChannelTable;
class ValueFaults;
}

namespace sql { class SqlQuery; }
namespace live {

class AlarmDot;

// The controls of the live tab that exist per channel, and the refresh that fills them from
// the newest measurement row.
class LiveView final : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QScrollArea* scrollBox;
        QLabel* labelUpdate;
        // The dot pictures by alarm code: none, alarm 1 (twice), alarm 2 (twice), fault.
        std::array<const QLabel*, 4> dotSources; // A0, A1, A2, AK
    };

    LiveView(const Controls& controls, const db::CDataBase& database, sql::SqlQuery& query, const db::ChannelTable& channels,
             QObject* parent = nullptr);
    ~LiveView() override;

    quint32 LiveRowCount() const { return quint32(m_rows.size()); }
    void BuildLiveView(quint32 channelCount);
    void ClearLiveView();
    void ActualSheetResize();
    // Reads the newest row of table into the rows and the update label. The channels whose
    // columns the row lacks show no value or dot, a value that is no number shows "- " with
    // the reason in its tool tip; once the others are shown, an error names them.
    void RefreshLiveView(const QString& table);

signals:
    // A double-click on a channel's alarm dot.
    void dotDoubleClicked(quint32 channel);

private:
    struct Row {
        QLabel* name;
        QLabel* value;
        AlarmDot* image;
        QLabel* group1;
        QLabel* group2;
        QFrame* line;
        quint8 shownCode;
    };

    QWidget* rowsParent() const;
    int lineWidth() const;
    int subgroupWidth() const;
    void fitRowsParent();
    void showValue(Row& row, const QString& text) const;
    void showDot(Row& row, quint8 code) const;
    // The values and dots of the row the query stands on; gives the names of the channel
    // columns that the row lacks, and adds to faults the values that are no number.
    QStringList showCurrentRow(db::ValueFaults& faults);
    enum class Column { Value, Alarm };
    // The index of a channel's value or alarm column in the open newest-row query; nothing
    // for a column that is not there. The name is made only when it is looked up.
    std::optional<int> column(quint32 channel, Column which);

    Controls m_controls;
    const db::CDataBase& m_database;
    sql::SqlQuery& m_query;
    const db::ChannelTable& m_channels;
    std::array<QPixmap, 6> m_dotByCode;
    std::vector<Row> m_rows; // index of the run-time controls, built with them
    int m_subgroupWidth = 0;  // the subgroups' box, which follows the width of the tab
    // Each channel's value and alarm column index in the newest-row query, by slot, looked
    // up again only when the query's columns change.
    std::vector<std::optional<int>> m_columns;
    quint64 m_columnsVersion = 0;
    common::FixedPointFormat m_valueFormat;
};

} // namespace live
