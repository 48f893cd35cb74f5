#include "tracking/TimesheetModel.h"

#include "app/core/DurationText.h"
#include "data/PriorityImage.h"

#include <QColor>
#include <QPixmap>

namespace {

const QStringList &FieldsOfColumns()
{
    static const QStringList fields{
        QStringLiteral("Priority"),    QStringLiteral("Days"),        QStringLiteral("ClientName"),
        QStringLiteral("ProjectName"), QStringLiteral("TaskCode"),    QStringLiteral("TaskDescription"),
        QStringLiteral("MonDuration"), QStringLiteral("TueDuration"), QStringLiteral("WedDuration"),
        QStringLiteral("ThuDuration"), QStringLiteral("FriDuration"), QStringLiteral("SatDuration"),
        QStringLiteral("SunDuration"), QStringLiteral("Active"),      QStringLiteral("Completed"),
        QStringLiteral("ClientId"),    QStringLiteral("ProjectNumber"),
    };
    return fields;
}

const char *const kCaptions[] = {"P",   "Task Duration", "Client", "Project", "Task Code", "Description",
                                 "Mon", "Tue",           "Wed",    "Thu",     "Fri",       "Sat",
                                 "Sun", "A",             "C"};
const char *const kHints[] = {"Priority", "", "", "", "", "", "", "", "", "", "", "", "", "Active", "Complete"};

constexpr int kPriorityColumn = 0;
constexpr int kDurationColumn = 1;
constexpr int kFirstDayColumn = 6;
constexpr int kLastDayColumn = 12;
constexpr int kActiveColumn = 13;
constexpr int kCompletedColumn = 14;

} // namespace

TTimesheetModel::TTimesheetModel(TRecordTable &tasks, QObject *parent)
    : TRecordTableModel(tasks, FieldsOfColumns(), parent)
    , m_active(tasks.FieldByName(u"Active"))
    , m_partDay(tasks.FieldByName(u"PartDay"))
{
    for (int column = 0; column < int(std::size(kCaptions)); ++column) {
        SetHeaderCaption(column, QString::fromLatin1(kCaptions[column]));
        m_hints << QString::fromLatin1(kHints[column]);
    }
    m_hints << QString() << QString();
}

void TTimesheetModel::SetHighlightedColumn(int column)
{
    if (column == m_highlighted)
        return;
    const int before = m_highlighted;
    m_highlighted = column;
    if (before >= 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, before, before);
    if (column >= 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
}

void TTimesheetModel::SetHeaderHint(int column, const QString &hint)
{
    m_hints[column] = hint;
    Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
}

void TTimesheetModel::SetRowPainter(TRowPainter painter)
{
    m_painter = std::move(painter);
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                           {Qt::BackgroundRole, Qt::ForegroundRole});
}

bool TTimesheetModel::RowActive(int row) const
{
    return Table().ValueAt(row, m_active).toBool();
}

QVariant TTimesheetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int column = index.column();
    switch (role) {
    case Qt::BackgroundRole:
    case Qt::ForegroundRole: {
        if (!m_painter || index.row() >= Table().RecordCount())
            return {};
        const TRowColours colours = m_painter(RowActive(index.row()));
        const QBrush &brush = role == Qt::BackgroundRole ? colours.background : colours.text;
        return brush.style() == Qt::NoBrush ? QVariant() : QVariant(brush);
    }
    case Qt::TextAlignmentRole:
        if (column == kDurationColumn || (column >= kFirstDayColumn && column <= kLastDayColumn))
            return int(Qt::AlignCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case PartDayRole:
        if (column != kDurationColumn || index.row() >= Table().RecordCount())
            return {};
        // The rest of the week after whole working days is a duration: the
        // clock text, whatever the locale's time of day looks like.
        return ClockText(Table().ValueAt(index.row(), m_partDay).toDouble());
    case Qt::ToolTipRole:
        if (column == kDurationColumn)
            return QStringLiteral("Days");
        if (column >= kFirstDayColumn && column <= kLastDayColumn)
            return QStringLiteral("Hours : Minutes");
        if (!m_hints.value(column).isEmpty())
            return m_hints.value(column);
        return TRecordTableModel::data(index, role);
    default:
        break;
    }
    if (column == kPriorityColumn) {
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return {};
        if (role == Qt::DecorationRole) {
            const int image = PriorityImage::ImageIndexOfPriority(TRecordTableModel::data(index, ValueRole).toInt());
            if (image == PriorityImage::EmptyImage)
                return {};
            return QPixmap::fromImage(PriorityImage::WarningImage(image));
        }
    }
    return TRecordTableModel::data(index, role);
}

QVariant TTimesheetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section >= 0 && section < columnCount()) {
        if (role == Qt::ForegroundRole && section == m_highlighted)
            return QBrush(QColor(Qt::red));
        if (role == Qt::ToolTipRole && !m_hints.value(section).isEmpty())
            return m_hints.value(section);
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignCenter);
    }
    return TRecordTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags TTimesheetModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = TRecordTableModel::flags(index);
    if (index.isValid() && (index.column() == kPriorityColumn || index.column() == kDurationColumn))
        f &= ~Qt::ItemIsEditable;
    if (index.isValid() && (index.column() == kActiveColumn || index.column() == kCompletedColumn))
        f &= ~Qt::ItemIsEditable;
    return f;
}
