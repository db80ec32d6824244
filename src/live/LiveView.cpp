#include "live/LiveView.h"

#include "common/DateTimeText.h"
#include "common/ValueText.h"
#include "common/ZeroPad.h"
#include "db/CDataBase.h"
#include "db/ChannelTable.h"
#include "db/Contract.h"
#include "db/MeasurementTable.h"
#include "db/Alarm.h"
#include "db/ValueFaults.h"
#include "live/AlarmDot.h"
#include "platform/os/Clock.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/SqlQuery.h"

#include <QFrame>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextDocument>

namespace live {

namespace {

constexpr int RowPitch = 48;
constexpr int FirstRowTop = 20;
constexpr int NameWidth = 420 - 20 - 8;   // from the name's left edge to just before the value
constexpr int ValueWidth = 620 - 420 - 4; // from the value's left edge to just before the dot
constexpr int GroupWidth = 820 - 720 - 8;  // from the group's left edge to just before the subgroup
constexpr quint8 NoDot = 0xFF;             // the code of a dot that shows no picture
constexpr int SubgroupLeft = 820;
constexpr int SubgroupMinimumWidth = 40; // three letters and "…"

int RowTop(quint32 channel)
{
    return int(RowPitch * channel + FirstRowTop);
}

QFont CourierNew(bool bold, bool italic)
{
    QFont font(QStringLiteral("Courier New"), 12);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// A text wider than its box is cut after a whole letter, ends in "…" and is told in full on hover.
void ShowFitted(QLabel* label, const QString& text, int width)
{
    const QString shown = label->fontMetrics().elidedText(text, Qt::ElideRight, width);
    label->setText(shown);
    label->setToolTip(shown == text ? QString() : Qt::convertFromPlainText(text));
    label->adjustSize();
}

// Names, units and groups come from the database and are shown as written, never as markup.
QLabel* RowLabel(QWidget* parent, const QString& name, const QString& text, int left, int top, const QFont& font,
                 int width = QWIDGETSIZE_MAX)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setObjectName(name);
    label->setFont(font);
    label->move(left, top);
    ShowFitted(label, text, width);
    label->setVisible(true);
    return label;
}

// A value label whose text is wider than its box grows to the whole text. A text that fits
// leaves the box, and the window's geometry, alone.
void WidenToText(QLabel* value)
{
    const int advance = value->fontMetrics().horizontalAdvance(value->text());
    if (advance > value->width())
        value->setFixedWidth(std::max(advance, value->sizeHint().width()));
}

} // namespace

LiveView::LiveView(const Controls& controls, const db::CDataBase& database, sql::SqlQuery& query, const db::ChannelTable& channels,
                   QObject* parent)
    : QObject(parent)
    , m_controls(controls)
    , m_database(database)
    , m_query(query)
    , m_channels(channels)
{
    const auto& [a0, a1, a2, ak] = controls.dotSources;
    m_dotByCode = {a0->pixmap(), a1->pixmap(), a1->pixmap(), a2->pixmap(), a2->pixmap(), ak->pixmap()};
}

LiveView::~LiveView() = default;

QWidget* LiveView::rowsParent() const
{
    return m_controls.scrollBox->widget();
}

int LiveView::lineWidth() const
{
    return m_controls.scrollBox->width() - 40;
}

int LiveView::subgroupWidth() const
{
    // The subgroup ends where the row's rule ends; a narrower window scrolls to its start.
    return std::max(SubgroupMinimumWidth, 20 + lineWidth() - SubgroupLeft);
}

void LiveView::BuildLiveView(quint32 channelCount)
{
    if (!m_rows.empty())
        return;
    QWidget* parent = rowsParent();
    // Built out of sight: one show at the end instead of thousands of single ones.
    const bool wasHidden = parent->isHidden();
    parent->hide();
    m_rows.reserve(channelCount);
    m_subgroupWidth = subgroupWidth();
    const QFont nameFont = CourierNew(false, false);
    const QFont valueFont = CourierNew(true, false);
    const QFont groupFont = CourierNew(false, true);
    const int width = lineWidth();
    for (quint32 i = 0; i < channelCount; ++i) {
        const QString number = common::ZeroPad(i, 4);
        const int top = RowTop(i);
        Row row{};
        row.name = RowLabel(parent, QStringLiteral("VievName_") + number, m_channels.NAME[i], 20, top, nameFont, NameWidth);
        row.value = RowLabel(parent, QStringLiteral("ViewValue_") + number, QStringLiteral("- ") + m_channels.UNIT[i], 420,
                             top, valueFont);
        // The value changes on every refresh: a fixed box up to the dot spares the window
        // a geometry update per label and tick.
        row.value->setFixedSize(ValueWidth, row.value->height());
        WidenToText(row.value);
        row.image = new AlarmDot(parent);
        row.image->setObjectName(QStringLiteral("ViewImage_") + number);
        row.image->setGeometry(620, top, 16, 16);
        row.image->setCursor(Qt::PointingHandCursor);
        row.image->setVisible(true);
        connect(row.image, &AlarmDot::doubleClicked, this, [this, i] { emit dotDoubleClicked(i); });
        row.group1 = RowLabel(parent, QStringLiteral("ViewGroup1_") + number, db::FieldText(m_channels.POSITION_1[i]), 720, top,
                              groupFont, GroupWidth);
        row.group2 = RowLabel(parent, QStringLiteral("ViewGroup2_") + number, db::FieldText(m_channels.POSITION_2[i]),
                              SubgroupLeft, top, groupFont, m_subgroupWidth);
        row.line = new QFrame(parent);
        row.line->setObjectName(QStringLiteral("ViewLine_") + number);
        row.line->setGeometry(20, top + 36, width, 1);
        row.line->setAutoFillBackground(true);
        QPalette grey = row.line->palette();
        grey.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
        row.line->setPalette(grey);
        row.line->setVisible(true);
        row.shownCode = NoDot;
        m_rows.push_back(row);
    }
    QLabel* update = m_controls.labelUpdate;
    QFont small = update->font();
    small.setPointSize(7);
    update->setFont(small);
    update->move(20, RowTop(channelCount));
    fitRowsParent();
    parent->setVisible(!wasHidden);
}

void LiveView::ClearLiveView()
{
    if (m_rows.empty())
        return;
    for (const Row& row : m_rows) {
        delete row.name;
        delete row.value;
        delete row.group1;
        delete row.group2;
        delete row.image;
        delete row.line;
    }
    m_rows.clear();
    m_columns.clear();
    fitRowsParent();
}

void LiveView::ActualSheetResize()
{
    const int width = lineWidth();
    for (const Row& row : m_rows)
        row.line->resize(width, 1);
    if (!m_rows.empty() && subgroupWidth() != m_subgroupWidth) {
        m_subgroupWidth = subgroupWidth();
        for (quint32 channel = 0; channel < m_rows.size(); ++channel)
            ShowFitted(m_rows[channel].group2, db::FieldText(m_channels.POSITION_2[channel]), m_subgroupWidth);
    }
    fitRowsParent();
}

void LiveView::fitRowsParent()
{
    // The scrolled area covers every row, the widest line and the update label under the rows.
    QWidget* parent = rowsParent();
    const QLabel* update = m_controls.labelUpdate;
    int width = m_controls.scrollBox->viewport()->width();
    int height = update->geometry().bottom() + FirstRowTop;
    if (!m_rows.empty()) {
        width = std::max({width, m_rows.front().line->geometry().right() + 1, 820 + m_rows.front().group2->width()});
        height = std::max(height, m_rows.back().line->geometry().bottom() + FirstRowTop);
    }
    parent->resize(width, height);
}

void LiveView::showValue(Row& row, const QString& text) const
{
    if (row.value->text() == text)
        return;
    row.value->setText(text);
    WidenToText(row.value);
}

void LiveView::showDot(Row& row, quint8 code) const
{
    if (code == row.shownCode)
        return;
    row.image->setPixmap(code == NoDot ? QPixmap() : m_dotByCode[code]);
    row.shownCode = code;
}

void LiveView::RefreshLiveView(const QString& table)
{
    // While a history fetch reads its rows through the one query object, a refresh must not
    // cut it short: this tick is skipped, the next one refreshes. (Every reader closes the
    // query however it ends, so an open query is one in use.)
    if (!m_database.connected() || m_query.isOpen())
        return;
    std::optional<QDateTime> newest;
    QStringList missing;
    db::ValueFaults faults;
    {
        const sql::QueryCloser closer(m_query);
        // A new installation has no measurement yet: nothing to show until the first row.
        newest = db::OpenMeasurementRow(m_query, table, db::MeasurementRow::Newest);
        if (!newest)
            return;
        missing = showCurrentRow(faults);
    }
    m_controls.labelUpdate->setText(QStringLiteral("Ostatnia aktualizacja: ") + common::DateTimeText(*newest) + QStringLiteral(" (")
                                    + common::DateTimeText(os::CurrentDateTime()) + QLatin1Char(')'));
    // Told without the values, so that a fault that stays is told once, however its value changes.
    QStringList problems;
    if (!missing.isEmpty())
        problems.append(db::MissingColumnsText(table, missing));
    if (!faults.empty())
        problems.append(faults.message(m_channels, false));
    if (!problems.isEmpty())
        throw sql::SqlError(problems.join(QLatin1Char('\n')));
}

std::optional<int> LiveView::column(quint32 channel, Column which)
{
    if (m_columnsVersion != m_query.fieldLayoutVersion()) {
        m_columns.clear();
        m_columnsVersion = m_query.fieldLayoutVersion();
    }
    // Looked up in channel order as the refresh reaches them.
    const std::size_t slot = 2 * std::size_t(channel) + (which == Column::Alarm ? 1 : 0);
    if (slot == m_columns.size()) {
        const QString& name = m_channels.NAME[channel];
        m_columns.push_back(m_query.findField(which == Column::Alarm ? db::contract::AlarmColumn(name) : name));
    }
    return m_columns[slot];
}

QStringList LiveView::showCurrentRow(db::ValueFaults& faults)
{
    QStringList missing;
    const quint32 count = std::min<quint32>(m_channels.count, quint32(m_rows.size()));
    for (quint32 i = 0; i < count; ++i) {
        Row& row = m_rows[i];
        const QString& unit = m_channels.UNIT[i];
        const std::optional<int> value = column(i, Column::Value);
        if (!value)
            missing.append(m_channels.NAME[i]);
        // A value that is no number shows as NULL does, with the reason on the value.
        const sql::FloatCell number = value ? m_query.readFloat(*value) : sql::FloatCell{};
        if (number.isValue())
            showValue(row, m_valueFormat.text(number.value, m_channels.DOT[i]) + QLatin1Char(' ') + unit);
        else
            showValue(row, QStringLiteral("- ") + unit);
        // The value's text comes from the database: one that would read as markup is shown
        // as written (a plain tool tip keeps to one line).
        QString reason;
        if (number.isFault()) {
            reason = db::ValueFaultText(number.state, m_query.raw(*value));
            if (Qt::mightBeRichText(reason))
                reason = Qt::convertFromPlainText(reason);
            faults.add(i, number.state, m_query.raw(*value));
        }
        if (row.value->toolTip() != reason)
            row.value->setToolTip(reason);
        // Without its column the alarm state is not known: no dot. A NULL alarm leaves the dot as it was.
        const std::optional<int> alarm = column(i, Column::Alarm);
        if (!alarm) {
            missing.append(db::contract::AlarmColumn(m_channels.NAME[i]));
            showDot(row, NoDot);
        } else if (!m_query.isNull(*alarm)) {
            showDot(row, db::AlarmCode(m_query.raw(*alarm)));
        }
    }
    return missing;
}

} // namespace live
