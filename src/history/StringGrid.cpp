#include "history/StringGrid.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QStyleOptionHeader>
#include <QTextDocument>

namespace history {

namespace {
constexpr int DefaultColWidth = 64;
constexpr int DefaultRowHeight = 24;
} // namespace

void StringGridModel::changeShape(const std::function<void()>& change)
{
    beginResetModel();
    change();
    endResetModel();
}

void StringGridModel::setGridRowCount(int rows)
{
    changeShape([&] { m_rows = std::max(rows, m_fixedRows + 1); });
}

void StringGridModel::setGridColCount(int cols)
{
    changeShape([&] { m_cols = std::max(cols, m_fixedCols + 1); });
}

void StringGridModel::setFixedRows(int rows)
{
    changeShape([&] {
        m_fixedRows = std::clamp(rows, 0, 1);
        m_rows = std::max(m_rows, m_fixedRows + 1);
    });
}

void StringGridModel::setFixedCols(int cols)
{
    changeShape([&] {
        m_fixedCols = std::clamp(cols, 0, 1);
        m_cols = std::max(m_cols, m_fixedCols + 1);
    });
}

QString StringGridModel::cell(int column, int row) const
{
    if (column < 0 || row < 0 || column >= m_cols || row >= m_rows)
        return {};
    if (row == 0)
        return m_header.value(column);
    const auto stored = m_cells.constFind(key(column, row));
    if (stored != m_cells.constEnd())
        return *stored;
    return m_source ? m_source->cellText(column, row) : QString();
}

bool StringGridModel::appendAsciiCell(int column, int row, QByteArray& out) const
{
    return m_source && row >= 1 && column >= 0 && column < m_cols && row < m_rows
           && (m_cells.isEmpty() || !m_cells.contains(key(column, row)))
           && m_source->appendAsciiCellText(column, row, out);
}

bool StringGridModel::appendAsciiRows(int firstRow, int endRow, const GridCellSource::RowFrame& frame,
                                      QByteArray& out) const
{
    // A text set into a cell of the data rows overrides the source; such cells are few.
    const auto overridden = [&] {
        for (auto cell = m_cells.keyBegin(); cell != m_cells.keyEnd(); ++cell) {
            if (const int row = int(*cell >> 32); row >= firstRow && row < endRow)
                return true;
        }
        return false;
    };
    return m_source && firstRow >= 1 && endRow <= m_rows && (m_cells.isEmpty() || !overridden())
           && m_source->appendAsciiRows(firstRow, endRow, m_cols, frame, out);
}

void StringGridModel::setCell(int column, int row, const QString& text)
{
    if (column < 0 || row < 0 || column >= m_cols || row >= m_rows)
        return;
    if (row == 0)
        m_header.insert(column, text);
    else if (text.isEmpty() && !m_source)
        m_cells.remove(key(column, row));
    else
        m_cells.insert(key(column, row), text);
    if (row < m_fixedRows)
        emit headerDataChanged(Qt::Horizontal, column - m_fixedCols, column - m_fixedCols);
    else if (column < m_fixedCols)
        emit headerDataChanged(Qt::Vertical, row - m_fixedRows, row - m_fixedRows);
    else
        emit dataChanged(index(row - m_fixedRows, column - m_fixedCols), index(row - m_fixedRows, column - m_fixedCols));
}

void StringGridModel::setCellSource(std::shared_ptr<const GridCellSource> source)
{
    // The source replaces whatever the data rows held; the header row stays.
    changeShape([&] {
        m_source = std::move(source);
        m_cells.clear();
    });
}

void StringGridModel::clearDataCells()
{
    setCellSource(nullptr);
}

int StringGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows - m_fixedRows;
}

int StringGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_cols - m_fixedCols;
}

QVariant StringGridModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return cell(index.column() + m_fixedCols, index.row() + m_fixedRows);
}

QVariant StringGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    QString text;
    if (orientation == Qt::Horizontal)
        text = m_fixedRows ? cell(section + m_fixedCols, 0) : QString();
    else
        text = m_fixedCols ? cell(0, section + m_fixedRows) : QString();
    // A tool tip that looks like markup would be shown as HTML: it is converted as text.
    return role == Qt::ToolTipRole && !text.isEmpty() ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap) : text;
}

StringGrid::StringGrid(QWidget* parent)
    : QTableView(parent)
    , m_model(this)
{
    setModel(&m_model);
    horizontalHeader()->setDefaultSectionSize(DefaultColWidth);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setDefaultSectionSize(DefaultRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    verticalHeader()->setHighlightSections(false);
    setWordWrap(false);
    connect(&m_model, &QAbstractItemModel::modelReset, this, &StringGrid::applyColumnWidths);
    // The corner above the fixed column shows the fixed column's own header text.
    m_corner = findChild<QAbstractButton*>();
    if (m_corner)
        m_corner->installEventFilter(this);
    // A name wider than its column shows its beginning; its tool tip tells it whole.
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    applyColumnWidths();
}

void StringGrid::setColCount(int cols)
{
    m_colWidths.resize(std::max(cols, 0), DefaultColWidth);
    m_model.setGridColCount(cols);
}

void StringGrid::setFixedCols(int cols)
{
    m_model.setFixedCols(cols);
}

void StringGrid::setColWidth(int column, int width)
{
    if (column < 0 || column >= colCount())
        return;
    if (m_colWidths.size() < colCount())
        m_colWidths.resize(colCount(), DefaultColWidth);
    m_colWidths[column] = width;
    if (column < m_model.fixedCols())
        verticalHeader()->setFixedWidth(width);
    else
        horizontalHeader()->resizeSection(column - m_model.fixedCols(), width);
}

int StringGrid::colWidth(int column) const
{
    return column >= 0 && column < m_colWidths.size() ? m_colWidths[column] : DefaultColWidth;
}

void StringGrid::applyColumnWidths()
{
    const int fixed = m_model.fixedCols();
    verticalHeader()->setVisible(fixed > 0);
    horizontalHeader()->setVisible(m_model.fixedRows() > 0);
    if (fixed > 0)
        verticalHeader()->setFixedWidth(colWidth(0));
    for (int column = fixed; column < colCount(); ++column)
        horizontalHeader()->resizeSection(column - fixed, colWidth(column));
}

bool StringGrid::eventFilter(QObject* watched, QEvent* event)
{
    // The scroll area watches its scroll bars too: only the corner is painted here.
    if (watched != m_corner || event->type() != QEvent::Paint || m_model.fixedRows() == 0 || m_model.fixedCols() == 0)
        return QTableView::eventFilter(watched, event);
    QWidget* corner = m_corner;
    QStyleOptionHeader option;
    option.initFrom(corner);
    option.rect = corner->rect();
    option.text = m_model.cell(0, 0);
    option.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option.position = QStyleOptionHeader::OnlyOneSection;
    QPainter painter(corner);
    corner->style()->drawControl(QStyle::CE_Header, &option, &painter, corner);
    return true;
}

void ClearGrid(StringGrid& grid)
{
    grid.cells().clearDataCells();
}

} // namespace history
