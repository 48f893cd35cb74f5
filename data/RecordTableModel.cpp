#include "data/RecordTableModel.h"

#include "app/core/Errors.h"

#include <QImage>

TRecordTableModel::TRecordTableModel(TRecordTable &table, const QStringList &fieldNames, QObject *parent)
    : QAbstractTableModel(parent)
    , m_table(table)
{
    for (const QString &name : fieldNames) {
        m_fields.push_back(&table.FieldByName(name));
        m_captions << QString();
    }
    m_rowsSeen = table.RecordCount();
    m_table.AddListener(this);
}

TRecordTableModel::~TRecordTableModel()
{
    m_table.RemoveListener(this);
}

int TRecordTableModel::ColumnOfField(QStringView name) const
{
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        if (m_fields[i]->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

void TRecordTableModel::SetColumnField(int column, const QString &fieldName)
{
    m_fields[std::size_t(column)] = &m_table.FieldByName(fieldName);
    Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
    if (m_rowsSeen > 0)
        Q_EMIT dataChanged(index(0, column), index(m_rowsSeen - 1, column));
}

void TRecordTableModel::SetHeaderCaption(int column, const QString &caption)
{
    m_captions[column] = caption;
    Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
}

int TRecordTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowsSeen;
}

int TRecordTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_fields.size());
}

QVariant TRecordTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    // While the table's notifications are suspended, rows may differ from what
    // the views were told; rows past the end read as empty.
    if (index.row() >= m_table.RecordCount())
        return {};
    const TTableField &field = *m_fields[std::size_t(index.column())];
    try {
        switch (role) {
        case Qt::DisplayRole:
            if (field.Kind() == TFieldKind::Boolean || field.Kind() == TFieldKind::Blob)
                return {};
            return m_table.TextAt(index.row(), field, true);
        case Qt::EditRole:
            return m_table.TextAt(index.row(), field, false);
        case ValueRole:
            return m_table.ValueAt(index.row(), field);
        case Qt::CheckStateRole:
            if (field.Kind() != TFieldKind::Boolean)
                return {};
            return m_table.ValueAt(index.row(), field).toBool() ? Qt::Checked : Qt::Unchecked;
        case Qt::DecorationRole:
            if (field.Kind() != TFieldKind::Blob)
                return {};
            return QImage::fromData(m_table.ValueAt(index.row(), field).toByteArray());
        case Qt::ToolTipRole:
            return field.DisplayLabel();
        default:
            return {};
        }
    } catch (const std::exception &) {
        return {};
    }
}

bool TRecordTableModel::SetCurrentRow(int row)
{
    if (row < 0 || row >= m_table.RecordCount())
        return false;
    try {
        m_table.MoveTo(row);
        return true;
    } catch (const EAbort &) {
        return false;
    } catch (const std::exception &e) {
        Q_EMIT errorRaised(QString::fromStdString(e.what()));
        return false;
    }
}

bool TRecordTableModel::Apply(const QModelIndex &index, const QVariant &value, int role)
{
    if (index.row() != m_table.RecNo())
        m_table.MoveTo(index.row());
    TTableField &field = *m_fields[std::size_t(index.column())];
    m_table.Edit();
    if (role == Qt::CheckStateRole)
        field.SetAsBoolean(value.toInt() == Qt::Checked);
    else if (role == ValueRole)
        field.SetValue(value);
    else
        field.SetText(value.toString());
    return true;
}

bool TRecordTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    if (role != Qt::EditRole && role != Qt::CheckStateRole && role != ValueRole)
        return false;
    try {
        return Apply(index, value, role);
    } catch (const EAbort &) {
        return false;
    } catch (const std::exception &e) {
        Q_EMIT errorRaised(QString::fromStdString(e.what()));
        return false;
    }
}

Qt::ItemFlags TRecordTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return Qt::NoItemFlags;
    const TTableField &field = *m_fields[std::size_t(index.column())];
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (field.ReadOnly() || field.Role() == TFieldRole::Calculated || field.Kind() == TFieldKind::Blob)
        return f;
    if (field.Kind() == TFieldKind::Boolean)
        return f | Qt::ItemIsUserCheckable;
    return f | Qt::ItemIsEditable;
}

QVariant TRecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= int(m_fields.size()))
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_captions[section].isEmpty() ? m_fields[std::size_t(section)]->DisplayLabel() : m_captions[section];
    return {};
}

// --- table notifications --------------------------------------------------------------

void TRecordTableModel::RowsAboutToBeInserted(int first, int last)
{
    beginInsertRows({}, first, last);
}

void TRecordTableModel::RowsInserted(int first, int last)
{
    m_rowsSeen += last - first + 1;
    endInsertRows();
}

void TRecordTableModel::RowsAboutToBeRemoved(int first, int last)
{
    beginRemoveRows({}, first, last);
}

void TRecordTableModel::RowsRemoved(int first, int last)
{
    m_rowsSeen -= last - first + 1;
    endRemoveRows();
}

void TRecordTableModel::RowDataChanged(int row)
{
    if (row >= 0 && row < m_rowsSeen && !m_fields.empty())
        Q_EMIT dataChanged(index(row, 0), index(row, int(m_fields.size()) - 1));
}

void TRecordTableModel::AboutToReset()
{
    if (!m_resetting) {
        m_resetting = true;
        beginResetModel();
    }
}

void TRecordTableModel::Reset()
{
    if (!m_resetting)
        beginResetModel();
    m_rowsSeen = m_table.RecordCount();
    m_resetting = false;
    endResetModel();
}

void TRecordTableModel::CurrentRowChanged(int row)
{
    Q_EMIT currentRowChanged(row);
}
