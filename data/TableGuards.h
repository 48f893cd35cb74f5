#pragma once
// Scope guards over the data module's state: views of a table suspended for a
// walk, and the day-cell entry record put back afterwards.

#include "data/DataModule.h"
#include "data/RecordTable.h"

/// Suspends a table's bound views for a scope, so a walk over every row
/// repaints once; the views resume however the scope is left.
class TControlsSuspended
{
public:
    explicit TControlsSuspended(TRecordTable &table)
        : m_table(table)
    {
        m_table.DisableControls();
    }
    ~TControlsSuspended()
    {
        // Resuming only resets the views; nothing may escape a destructor.
        try {
            m_table.EnableControls();
        } catch (...) {
        }
    }
    TControlsSuspended(const TControlsSuspended &) = delete;
    TControlsSuspended &operator=(const TControlsSuspended &) = delete;

private:
    TRecordTable &m_table;
};

/// Puts the data module's day-cell entry record back when the scope ends.
class TCurrentFieldKept
{
public:
    explicit TCurrentFieldKept(TCurrentFieldRec &record)
        : m_record(record)
        , m_saved(record)
    {
    }
    ~TCurrentFieldKept() { m_record = m_saved; }
    TCurrentFieldKept(const TCurrentFieldKept &) = delete;
    TCurrentFieldKept &operator=(const TCurrentFieldKept &) = delete;

private:
    TCurrentFieldRec &m_record;
    const TCurrentFieldRec m_saved;
};
