#include "review/FieldLabel.h"

#include "data/RecordTable.h"

TFieldLabel::TFieldLabel(TRecordTable &table, QString fieldName, QWidget *parent)
    : QLabel(parent)
    , m_table(table)
    , m_fieldName(std::move(fieldName))
{
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_table.AddListener(this);
    Refresh();
}

TFieldLabel::~TFieldLabel()
{
    m_table.RemoveListener(this);
}

void TFieldLabel::Refresh()
{
    const TTableField *field = m_table.FindField(m_fieldName);
    const bool onRow = m_table.Active() && (!m_table.IsEmpty() || m_table.State() == TDataSetState::Insert);
    setText(field && onRow ? field->DisplayText() : QString());
}
