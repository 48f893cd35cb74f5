#pragma once
// What a view of a record table is told. Row numbers are positions among the
// rows that pass the table's filter, in its sort order. While notifications are
// suspended (DisableControls) nothing is sent; EnableControls then sends one Reset.

class TTableListener
{
public:
    virtual ~TTableListener() = default;
    virtual void RowsAboutToBeInserted(int first, int last) = 0;
    virtual void RowsInserted(int first, int last) = 0;
    virtual void RowsAboutToBeRemoved(int first, int last) = 0;
    virtual void RowsRemoved(int first, int last) = 0;
    virtual void RowDataChanged(int row) = 0;
    virtual void AboutToReset() = 0;
    virtual void Reset() = 0;
    virtual void CurrentRowChanged(int row) = 0;
};
