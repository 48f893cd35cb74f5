#pragma once
// Every table Zelbra keeps, as data: stored fields in their order with kinds,
// sizes, labels, widths, visibility, formats and masks; lookup and calculated
// fields; the file each lives in; the default rows given to a table that
// starts empty, in the order they are assigned.

#include "data/TableField.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <utility>
#include <vector>

class TRecordTable;

/// How a table relates to its file.
enum class TTableStorage {
    Persisted, ///< loaded at start-up and written back when changed
    StartUp,   ///< loaded when its file is present, never written
    Working,   ///< never touches a file
};

/// A field of the schema; a lookup names the table it looks in.
struct TSchemaField
{
    TFieldDef def;
    QString lookupTable; ///< table name for a lookup field (def.lookupDataSet is bound when the tables exist)
};

/// Marks a default value that is the moment the row is created.
struct TDefaultNow
{
};
Q_DECLARE_METATYPE(TDefaultNow)

/// One default row: field names and values in the order they are assigned.
using TDefaultRow = std::vector<std::pair<QString, QVariant>>;

struct TTableSchema
{
    QString name;     ///< "adsTasks"
    QString fileName; ///< "Tasksfile.xml"; empty for a working table
    TTableStorage storage = TTableStorage::Persisted;
    std::vector<TSchemaField> fields;
    std::vector<TDefaultRow> defaultRows;
    QString startUpSort; ///< sort text set at start-up, e.g. "TaskCode ASC"
};

namespace Schema {

/// Every table, in the order the data module opens them.
const std::vector<TTableSchema> &Tables();
/// The schema of one table by name (case ignored); raises EDatabaseError when unknown.
const TTableSchema &Table(QStringView name);

/// Adds the table's fields to an inactive table. Lookup fields are bound to the
/// tables `resolve` returns by name (nullptr leaves them unbound).
void DefineFields(TRecordTable &table, const TTableSchema &schema,
                  const std::function<TRecordTable *(const QString &)> &resolve);

/// The value a default row assigns, with TDefaultNow replaced by `now`.
QVariant DefaultValue(const QVariant &value, double now);

} // namespace Schema
