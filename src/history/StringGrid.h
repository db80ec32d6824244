#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QTableView>

class QWidget;
#include <functional>
#include <memory>

namespace history {

// Supplies the text of cells that are not stored one by one: a grid of 10,000 rows and
// 3,601 columns is formatted cell by cell as it is shown or saved, never held as strings.
class GridCellSource {
public:
    virtual ~GridCellSource() = default;
    // The text of a cell below the header row (row >= 1).
    virtual QString cellText(int column, int row) const = 0;
    // For writers of millions of cells: appends the cell's text as bytes and returns true
    // when it is a number, a marker or a date-time in ASCII (a text that a file format need
    // not escape); false (and nothing appended) otherwise.
    virtual bool appendAsciiCellText(int column, int row, QByteArray& out) const
    {
        Q_UNUSED(column) Q_UNUSED(row) Q_UNUSED(out)
        return false;
    }
    // For writers of whole grids: the rows [firstRow, endRow) appended to out, each row as
    // the texts of its cells, each between frame.prefix and frame.suffix (each at most
    // MaxFrameBytes), and frame.rowEnd. The first cell is written by frame.firstCell where
    // the source cannot give it as ASCII. Returns true when the source gives every other
    // text as a number or marker in ASCII (texts that a file format need not escape); false
    // (and nothing appended) otherwise. Safe to call from several threads at once.
    static constexpr qsizetype MaxFrameBytes = 4;
    struct RowFrame {
        QByteArrayView prefix;
        QByteArrayView suffix;
        QByteArrayView rowEnd;
        std::function<void(int row, QByteArray& out)> firstCell;
    };
    virtual bool appendAsciiRows(int firstRow, int endRow, int columnCount, const RowFrame& frame,
                                 QByteArray& out) const
    {
        Q_UNUSED(firstRow) Q_UNUSED(endRow) Q_UNUSED(columnCount) Q_UNUSED(frame) Q_UNUSED(out)
        return false;
    }
};

// The cells of a StringGrid, addressed as (column, row) over the whole grid including its
// fixed header row and column. The fixed row becomes the view's column headers and the
// fixed column its row headers, so both stay in place while the data scrolls.
class StringGridModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int gridRowCount() const { return m_rows; }
    int gridColCount() const { return m_cols; }
    int fixedRows() const { return m_fixedRows; }
    int fixedCols() const { return m_fixedCols; }
    void setGridRowCount(int rows);
    void setGridColCount(int cols);
    void setFixedRows(int rows);
    void setFixedCols(int cols);

    QString cell(int column, int row) const;
    // The cell's text appended as bytes when the source can give it as ASCII without making
    // a QString; false (nothing appended) when the caller must take cell() instead.
    bool appendAsciiCell(int column, int row, QByteArray& out) const;
    // Whole data rows the same way, all at once (GridCellSource::appendAsciiRows).
    bool appendAsciiRows(int firstRow, int endRow, const GridCellSource::RowFrame& frame, QByteArray& out) const;
    void setCell(int column, int row, const QString& text);
    // The data rows (all but the header row) show source's texts from now on.
    void setCellSource(std::shared_ptr<const GridCellSource> source);
    void clearDataCells();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    static quint64 key(int column, int row) { return (quint64(quint32(row)) << 32) | quint32(column); }
    void changeShape(const std::function<void()>& change);

    int m_rows = 1;
    int m_cols = 1;
    int m_fixedRows = 0;
    int m_fixedCols = 0;
    QHash<int, QString> m_header;  // row 0 by column
    QHash<quint64, QString> m_cells; // texts set into the data rows
    std::shared_ptr<const GridCellSource> m_source;
};

// A text grid with one optional fixed header row and one optional fixed first column.
class StringGrid final : public QTableView {
    Q_OBJECT
public:
    explicit StringGrid(QWidget* parent = nullptr);

    StringGridModel& cells() { return m_model; }
    const StringGridModel& cells() const { return m_model; }

    int rowCount() const { return m_model.gridRowCount(); }
    int colCount() const { return m_model.gridColCount(); }
    void setRowCount(int rows) { m_model.setGridRowCount(rows); }
    void setColCount(int cols);
    void setFixedRows(int rows) { m_model.setFixedRows(rows); }
    void setFixedCols(int cols);
    QString cell(int column, int row) const { return m_model.cell(column, row); }
    void setCell(int column, int row, const QString& text) { m_model.setCell(column, row, text); }
    void setColWidth(int column, int width);
    int colWidth(int column) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyColumnWidths();

    StringGridModel m_model;
    QVector<int> m_colWidths;
    QWidget* m_corner = nullptr; // the button above the fixed column
};

// Blanks every cell below the header row; the shape of the grid stays as it is.
void ClearGrid(StringGrid& grid);

} // namespace history
