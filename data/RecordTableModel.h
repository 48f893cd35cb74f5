#pragma once
// A Qt item model over a record table: rows are the table's rows as filtered
// and sorted, columns the fields given. Edits go through the fields' text
// hooks; the table's current row and the view's current row follow each other
// through currentRowChanged / SetCurrentRow. Widget-free, so views of every
// window share it.

#include "data/RecordTable.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

class TRecordTableModel : public QAbstractTableModel, private TTableListener
{
    Q_OBJECT

public:
    /// Role that reads or writes a field's value as a variant (null kept) instead of its text.
    static constexpr int ValueRole = Qt::UserRole + 1;

    TRecordTableModel(TRecordTable &table, const QStringList &fieldNames, QObject *parent = nullptr);
    ~TRecordTableModel() override;

    TRecordTable &Table() const { return m_table; }
    TTableField &FieldOfColumn(int column) const { return *m_fields[std::size_t(column)]; }
    /// Column of a field by name (case ignored), -1 when the model does not show it.
    int ColumnOfField(QStringView name) const;
    /// Shows another field in a column (the main window's Today column follows the date).
    void SetColumnField(int column, const QString &fieldName);
    /// Replaces the header caption of a column (the field's label otherwise).
    void SetHeaderCaption(int column, const QString &caption);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    /// Makes the row current in the table (a pending row is posted or dropped
    /// first). Returns false, with errorRaised emitted, when the table refused.
    bool SetCurrentRow(int row);

Q_SIGNALS:
    /// The table's current row moved (-1 when there is none).
    void currentRowChanged(int row);
    /// A rule refused an edit or a move; the message is for the user.
    void errorRaised(const QString &message);

private:
    void RowsAboutToBeInserted(int first, int last) override;
    void RowsInserted(int first, int last) override;
    void RowsAboutToBeRemoved(int first, int last) override;
    void RowsRemoved(int first, int last) override;
    void RowDataChanged(int row) override;
    void AboutToReset() override;
    void Reset() override;
    void CurrentRowChanged(int row) override;

    bool Apply(const QModelIndex &index, const QVariant &value, int role);

    TRecordTable &m_table;
    std::vector<TTableField *> m_fields;
    QStringList m_captions;
    bool m_resetting = false;
    int m_rowsSeen = 0; // the row count the views were last told of
};
