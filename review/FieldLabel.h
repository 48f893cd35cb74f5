#pragma once
// A read-only text bound to one field of a record table: it shows the field's
// display text on the table's current row and follows every change of it.

#include "data/TableListener.h"

#include <QLabel>
#include <QString>

class TRecordTable;

/// The table must outlive the label.
class TFieldLabel : public QLabel, private TTableListener
{
    Q_OBJECT

public:
    TFieldLabel(TRecordTable &table, QString fieldName, QWidget *parent = nullptr);
    ~TFieldLabel() override;
    TFieldLabel(const TFieldLabel &) = delete;
    TFieldLabel &operator=(const TFieldLabel &) = delete;

    /// Reads the field again.
    void Refresh();

private:
    void RowsAboutToBeInserted(int, int) override {}
    void RowsInserted(int, int) override { Refresh(); }
    void RowsAboutToBeRemoved(int, int) override {}
    void RowsRemoved(int, int) override { Refresh(); }
    void RowDataChanged(int) override { Refresh(); }
    void AboutToReset() override {}
    void Reset() override { Refresh(); }
    void CurrentRowChanged(int) override { Refresh(); }

    TRecordTable &m_table;
    QString m_fieldName;
};
