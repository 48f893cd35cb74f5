#pragma once
// Record tables on disk: the ADO persisted-recordset XML format. A schema
// section declares one attribute per stored column with its data type, then
// rs:data holds one z:row element per row whose attributes are the non-null
// values. The writer lays files out the way ADO does; the reader accepts the
// variations ADO itself produces (quote styles, layout, aliased column names,
// pending-change sections) and refuses anything else with an error naming the
// file, the line and the fault.

#include "data/TableData.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QIODevice;

namespace RecordsetXml {

/// Writes the given slots of data, in that order, with all its columns.
/// Raises EDatabaseError when the device refuses the bytes or a slot is not a row.
void Write(QIODevice &out, const TTableData &data, const std::vector<std::uint32_t> &rowSlots);

/// Writes through QSaveFile, so the previous file stays whole unless the new
/// one was written completely. Raises EDatabaseError "Cannot save <path>: <reason>".
void WriteFile(const QString &path, const TTableData &data, const std::vector<std::uint32_t> &rowSlots);

/// Reads a whole file image. With a non-empty definition the result has exactly
/// those columns, bound to the file's columns by name with case ignored (missing
/// ones null, unknown ones ignored); with an empty one the columns come from the
/// file's schema. Raises EDatabaseError naming sourceName, the line and the
/// fault; never returns a partial result. Holds a working copy of bytes while it
/// parses: ReadFile is the leaner path for large files.
std::shared_ptr<TTableData> Read(const QByteArray &bytes, const QString &sourceName,
                                 const std::vector<TColumnDef> &definition);

/// Reads a file as Read does, parsing in the buffer the file was read into.
std::shared_ptr<TTableData> ReadFile(const QString &path, const std::vector<TColumnDef> &definition);

} // namespace RecordsetXml
