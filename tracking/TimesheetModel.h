#pragma once
// The timesheet grid's item model: the task lines with one column per grid
// column (column = tag - 1), the header captions and hints, the red caption of
// the ordering column, the priority pictures and the row colours.

#include "data/RecordTableModel.h"

#include <QBrush>

#include <functional>

/// Background and text of a row, chosen by whether its line is active.
struct TRowColours
{
    QBrush background;
    QBrush text;
};
using TRowPainter = std::function<TRowColours(bool active)>;

class TTimesheetModel : public TRecordTableModel
{
    Q_OBJECT

public:
    /// The rest of a week total after the whole working days ("hh:mm").
    static constexpr int PartDayRole = Qt::UserRole + 10;

    /// Grid columns are the tags 1 … 15; two hidden columns carry the lookup keys.
    static constexpr int ClientIdColumn = 15;
    static constexpr int ProjectNumberColumn = 16;
    static constexpr int ColumnTotal = 17;

    static constexpr int ColumnOfTag(int tag) { return tag - 1; }
    static constexpr int TagOfColumn(int column) { return column + 1; }

    explicit TTimesheetModel(TRecordTable &tasks, QObject *parent = nullptr);

    /// The column whose header caption is red (-1: none).
    void SetHighlightedColumn(int column);
    int HighlightedColumn() const { return m_highlighted; }
    void SetHeaderHint(int column, const QString &hint);
    void SetRowPainter(TRowPainter painter);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    /// Whether the line at a row is active.
    bool RowActive(int row) const;

private:
    int m_highlighted = -1;
    QStringList m_hints;
    TRowPainter m_painter;
    const TTableField &m_active;
    const TTableField &m_partDay;
};
