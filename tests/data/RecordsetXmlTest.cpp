// The persisted-recordset XML files: round trips, the exact layout written,
// files as ADO writes them, refusal of bad files, and saves that fail.

#include "data/RecordsetXml.h"

#include "app/core/DateTimeValue.h"
#include "app/core/Errors.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <functional>
#include <limits>
#include <sys/resource.h>

namespace {

using RecordsetXml::Read;
using RecordsetXml::ReadFile;
using RecordsetXml::Write;
using RecordsetXml::WriteFile;

double Day(int y, int m, int d)
{
    return DateTimeValue::FromDate(QDate(y, m, d));
}

double Moment(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0)
{
    const double day = Day(y, mo, d);
    const double time = DateTimeValue::EncodeTime(h, mi, s, ms);
    return day < 0 ? day - time : day + time;
}

std::int64_t Millis(double value)
{
    return std::llround(value * DateTimeValue::MSecsPerDay);
}

QByteArray ToBytes(const TTableData &data, const std::vector<std::uint32_t> &rowSlots)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    Write(buffer, data, rowSlots);
    return bytes;
}

QByteArray ToBytes(const TTableData &data)
{
    return ToBytes(data, data.Rows());
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

/// Runs f and returns the EDatabaseError message it raises ("" when it raises none).
QString ErrorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const EDatabaseError &e) {
        return e.Message();
    }
    return {};
}

/// Whether one cell of two columns holds the same value (date-times and times to the millisecond).
bool SameCell(const TColumn &e, std::uint32_t es, const TColumn &a, std::uint32_t as)
{
    if (e.IsNull(es) || a.IsNull(as))
        return e.IsNull(es) == a.IsNull(as);
    switch (e.Def().kind) {
    case TFieldKind::String:
    case TFieldKind::Memo:
        return e.Text(es) == a.Text(as);
    case TFieldKind::Blob:
        return e.Bytes(es) == a.Bytes(as);
    case TFieldKind::DateTime:
    case TFieldKind::Time:
        return Millis(e.Cell(es).d) == Millis(a.Cell(as).d);
    case TFieldKind::Float:
        return e.Cell(es).d == a.Cell(as).d;
    default:
        return e.Cell(es).i == a.Cell(as).i;
    }
}

/// Both tables hold the same values in the same order; reports the first difference.
void ExpectSameRows(const TTableData &expected, const TTableData &actual)
{
    ASSERT_EQ(expected.ColumnCount(), actual.ColumnCount());
    ASSERT_EQ(expected.RowCount(), actual.RowCount());
    for (std::size_t r = 0; r < expected.RowCount(); ++r) {
        const std::uint32_t es = expected.Rows()[r];
        const std::uint32_t as = actual.Rows()[r];
        for (int c = 0; c < expected.ColumnCount(); ++c) {
            const TColumn &e = expected.Column(c);
            const TColumn &a = actual.Column(c);
            if (!SameCell(e, es, a, as)) {
                ADD_FAILURE() << "row " << r << ", column " << e.Def().name.toStdString() << ": expected "
                              << e.Value(es).toString().toStdString() << ", got "
                              << a.Value(as).toString().toStdString();
                return;
            }
        }
    }
}

std::vector<TColumnDef> EveryKind()
{
    return {
        {QStringLiteral("Code"), TFieldKind::String, 10},
        {QStringLiteral("Count"), TFieldKind::Integer},
        {QStringLiteral("Small"), TFieldKind::SmallInt},
        {QStringLiteral("Id"), TFieldKind::AutoInc},
        {QStringLiteral("Flag"), TFieldKind::Boolean},
        {QStringLiteral("Ratio"), TFieldKind::Float},
        {QStringLiteral("Rate"), TFieldKind::Currency},
        {QStringLiteral("Stamp"), TFieldKind::DateTime},
        {QStringLiteral("Clock"), TFieldKind::Time},
        {QStringLiteral("Notes"), TFieldKind::Memo},
        {QStringLiteral("Picture"), TFieldKind::Blob},
        {QStringLiteral("Task Code"), TFieldKind::String, 20},
    };
}

/// Rows over every kind: ordinary values, all null, and the edges.
std::shared_ptr<TTableData> EveryKindTable()
{
    auto data = std::make_shared<TTableData>(EveryKind());
    auto row = [&](std::initializer_list<QVariant> values) {
        const std::uint32_t slot = data->AppendRow();
        int c = 0;
        for (const QVariant &v : values)
            EXPECT_TRUE(data->Column(c++).SetValue(slot, v));
    };
    QByteArray allBytes;
    for (int b = 0; b < 256; ++b)
        allBytes.append(char(b));
    row({QStringLiteral("GEN"), 42, -7, 1, true, 0.1, QVariant::fromValue(TCurrency::FromUnits(3505000)),
         Moment(2026, 12, 11, 14, 1, 47), DateTimeValue::EncodeTime(7, 30), QStringLiteral("plain"),
         QByteArray("\x16\x13", 2), QStringLiteral("GEN")});
    row({QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
         QVariant(), QVariant(), QVariant()});
    row({QString(), std::numeric_limits<int>::min(), -32768, std::numeric_limits<int>::max(), false, 1e300,
         QVariant::fromValue(TCurrency::FromUnits(-1)), Moment(1899, 12, 29, 6, 0, 0, 1),
         DateTimeValue::EncodeTime(23, 59, 59, 999),
         QStringLiteral("Line one\r\nline two\ttab 'single' \"double\" & <tag> ]]> Zürich 東京 😀"), allBytes,
         QStringLiteral("")});
    row({QStringLiteral("O'Brien&Co"), 0, 32767, 0, true, -2.5e-300, QVariant::fromValue(TCurrency::FromUnits(
             std::numeric_limits<std::int64_t>::max())),
         Moment(9999, 12, 31, 23, 59, 59, 999), 0.0, QString(), QByteArray(), QStringLiteral("GEN")});
    row({QStringLiteral("GEN"), 5, 1, 2, false, -0.0, QVariant::fromValue(TCurrency::FromUnits(
             std::numeric_limits<std::int64_t>::min())),
         Moment(1, 1, 1, 0, 0), DateTimeValue::EncodeTime(0, 0, 0, 1), QStringLiteral("plain"), QByteArray("x"),
         QStringLiteral("ADMIN")});
    return data;
}

// --- Round trips ------------------------------------------------------------------

TEST(RecordsetXmlTest, EveryKindRoundTripsWithItsDefinition)
{
    const auto data = EveryKindTable();
    const QByteArray bytes = ToBytes(*data);
    const auto back = Read(bytes, QStringLiteral("memory"), EveryKind());
    ExpectSameRows(*data, *back);
}

TEST(RecordsetXmlTest, ColumnDefinitionsComeBackFromTheSchema)
{
    const auto data = EveryKindTable();
    const auto back = Read(ToBytes(*data), QStringLiteral("memory"), {});
    const std::vector<TColumnDef> definition = EveryKind();
    ASSERT_EQ(back->ColumnCount(), int(definition.size()));
    for (int c = 0; c < back->ColumnCount(); ++c) {
        const TColumnDef &expected = definition[std::size_t(c)];
        const TColumnDef &actual = back->Column(c).Def();
        EXPECT_EQ(actual.name, expected.name);
        EXPECT_EQ(actual.kind, expected.kind) << expected.name.toStdString();
        if (expected.kind == TFieldKind::String) {
            EXPECT_EQ(actual.size, expected.size) << expected.name.toStdString();
        }
    }
    ExpectSameRows(*data, *back);
}

TEST(RecordsetXmlTest, WritesTheGivenSlotsInTheirOrder)
{
    TTableData data({{QStringLiteral("N"), TFieldKind::Integer}});
    for (int i = 0; i < 4; ++i)
        data.Column(0).SetInt(data.AppendRow(), i);
    const auto back = Read(ToBytes(data, {3, 1, 2}), QStringLiteral("memory"), {});
    ASSERT_EQ(back->RowCount(), 3u);
    EXPECT_EQ(back->Column(0).Cell(back->Rows()[0]).i, 3);
    EXPECT_EQ(back->Column(0).Cell(back->Rows()[1]).i, 1);
    EXPECT_EQ(back->Column(0).Cell(back->Rows()[2]).i, 2);
}

TEST(RecordsetXmlTest, FileRoundTripReplacesThePreviousFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tablefile.xml"));
    const auto data = EveryKindTable();
    ASSERT_TRUE(WriteAll(path, "old content that is longer than nothing"));
    WriteFile(path, *data, data->Rows());
    ExpectSameRows(*data, *ReadFile(path, EveryKind()));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Tablefile.xml")});
}

TEST(RecordsetXmlTest, LargeFilesRoundTrip)
{
    // Large enough for the reader's mapped buffers (several MiB).
    TTableData data({{QStringLiteral("TaskCode"), TFieldKind::String, 10},
                     {QStringLiteral("Notes"), TFieldKind::Memo},
                     {QStringLiteral("Submitted"), TFieldKind::DateTime},
                     {QStringLiteral("UserId"), TFieldKind::Integer}});
    constexpr std::uint32_t rows = 50000;
    QStringList codes;
    QStringList notes;
    for (int i = 0; i < 1000; ++i) {
        codes.append(QStringLiteral("T%1").arg(i % 200));
        notes.append(QStringLiteral("note & <%1>").arg(i));
    }
    data.AppendRows(rows);
    for (std::uint32_t slot = 0; slot < rows; ++slot) {
        data.Column(0).SetText(slot, codes[slot % 1000]);
        if (slot % 7 != 0)
            data.Column(1).SetText(slot, notes[slot % 1000]);
        data.Column(2).SetDouble(slot, Moment(1990, 1, 1, 0, 0) + slot / 10.0 + (slot % 1000) / 86400000.0);
        data.Column(3).SetInt(slot, -int(slot % 4));
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Reportingfile.xml"));
    WriteFile(path, data, data.Rows());
    ASSERT_GT(QFileInfo(path).size(), 4 << 20);
    ExpectSameRows(data, *ReadFile(path, {}));
    ExpectSameRows(data, *Read(ReadAll(path), path, {}));
}

// --- Layout written -----------------------------------------------------------------

QStringList Lines(const QByteArray &bytes)
{
    QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

TEST(RecordsetXmlTest, LayoutIsThatOfAdo)
{
    TTableData data({{QStringLiteral("TaskCode"), TFieldKind::String, 10}});
    data.Column(0).SetText(data.AppendRow(), u"GEN");
    const QByteArray bytes = ToBytes(data);
    EXPECT_FALSE(bytes.startsWith("<?xml"));
    const QStringList expected = {
        QStringLiteral("<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'"),
        QStringLiteral("\txmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'"),
        QStringLiteral("\txmlns:rs='urn:schemas-microsoft-com:rowset'"),
        QStringLiteral("\txmlns:z='#RowsetSchema'>"),
        QStringLiteral("<s:Schema id='RowsetSchema'>"),
        QStringLiteral("\t<s:ElementType name='row' content='eltOnly'>"),
        QStringLiteral("\t\t<s:AttributeType name='TaskCode' rs:number='1' rs:nullable='true' rs:write='true'>"),
        QStringLiteral("\t\t\t<s:datatype dt:type='string' rs:dbtype='str' dt:maxLength='10'/>"),
        QStringLiteral("\t\t</s:AttributeType>"),
        QStringLiteral("\t\t<s:extends type='rs:rowbase'/>"),
        QStringLiteral("\t</s:ElementType>"),
        QStringLiteral("</s:Schema>"),
        QStringLiteral("<rs:data>"),
        QStringLiteral("\t<z:row TaskCode='GEN'/>"),
        QStringLiteral("</rs:data>"),
        QStringLiteral("</xml>"),
    };
    EXPECT_EQ(Lines(bytes), expected);
    EXPECT_TRUE(bytes.endsWith("</rs:data>\n</xml>\n"));
}

TEST(RecordsetXmlTest, DataTypesAreThoseAdoWrites)
{
    const struct
    {
        TColumnDef def;
        const char *declaration;
        const char *datatype;
    } cases[] = {
        {{QStringLiteral("S"), TFieldKind::String, 75}, "",
         "<s:datatype dt:type='string' rs:dbtype='str' dt:maxLength='75'/>"},
        {{QStringLiteral("I"), TFieldKind::Integer}, "",
         "<s:datatype dt:type='int' dt:maxLength='4' rs:precision='10' rs:fixedlength='true'/>"},
        {{QStringLiteral("A"), TFieldKind::AutoInc}, " rs:autoincrement='true'",
         "<s:datatype dt:type='int' dt:maxLength='4' rs:precision='10' rs:fixedlength='true'/>"},
        {{QStringLiteral("SI"), TFieldKind::SmallInt}, "",
         "<s:datatype dt:type='i2' dt:maxLength='2' rs:precision='5' rs:fixedlength='true'/>"},
        {{QStringLiteral("B"), TFieldKind::Boolean}, "",
         "<s:datatype dt:type='boolean' dt:maxLength='2' rs:fixedlength='true'/>"},
        {{QStringLiteral("F"), TFieldKind::Float}, "",
         "<s:datatype dt:type='float' dt:maxLength='8' rs:precision='15' rs:fixedlength='true'/>"},
        {{QStringLiteral("C"), TFieldKind::Currency}, "",
         "<s:datatype dt:type='number' rs:dbtype='currency' dt:maxLength='8' rs:precision='19' "
         "rs:fixedlength='true'/>"},
        {{QStringLiteral("D"), TFieldKind::DateTime}, "",
         "<s:datatype dt:type='dateTime' rs:dbtype='timestamp' dt:maxLength='16' rs:scale='3' rs:precision='23' "
         "rs:fixedlength='true'/>"},
        {{QStringLiteral("T"), TFieldKind::Time}, "",
         "<s:datatype dt:type='time' dt:maxLength='6' rs:fixedlength='true'/>"},
        {{QStringLiteral("M"), TFieldKind::Memo}, "",
         "<s:datatype dt:type='string' rs:dbtype='str' dt:maxLength='2147483647' rs:long='true'/>"},
        {{QStringLiteral("X"), TFieldKind::Blob}, "",
         "<s:datatype dt:type='bin.hex' dt:maxLength='2147483647' rs:long='true'/>"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(FieldKindName(c.def.kind).toStdString());
        const QStringList lines = Lines(ToBytes(TTableData({c.def})));
        const QString declaration = QStringLiteral("\t\t<s:AttributeType name='%1' rs:number='1' rs:nullable='true' "
                                                   "rs:write='true'%2>")
                                        .arg(c.def.name, QLatin1String(c.declaration));
        const int at = int(lines.indexOf(declaration));
        ASSERT_GE(at, 0) << declaration.toStdString();
        EXPECT_EQ(lines.value(at + 1), QStringLiteral("\t\t\t") + QLatin1String(c.datatype));
        EXPECT_EQ(lines.value(at + 2), QStringLiteral("\t\t</s:AttributeType>"));
    }
}

TEST(RecordsetXmlTest, ValuesAreWrittenInAdoForms)
{
    const struct
    {
        TFieldKind kind;
        QVariant value;
        const char *row;
    } cases[] = {
        {TFieldKind::Memo, QStringLiteral("a'b\"c&d<e>f\r\ng\th"),
         "<z:row V='a&apos;b&quot;c&amp;d&lt;e&gt;f&#13;&#10;g&#9;h'/>"},
        {TFieldKind::Memo, QStringLiteral("Zürich"), "<z:row V='Zürich'/>"},
        {TFieldKind::Memo, QString(), "<z:row V=''/>"},
        {TFieldKind::Memo, QVariant(), "<z:row/>"},
        {TFieldKind::Integer, -5, "<z:row V='-5'/>"},
        {TFieldKind::Boolean, true, "<z:row V='True'/>"},
        {TFieldKind::Boolean, false, "<z:row V='False'/>"},
        {TFieldKind::DateTime, Moment(2026, 12, 8, 9, 5, 3), "<z:row V='2026-12-08T09:05:03'/>"},
        {TFieldKind::DateTime, Moment(2026, 12, 8, 9, 5, 3, 40), "<z:row V='2026-12-08T09:05:03.040'/>"},
        {TFieldKind::DateTime, Day(2026, 12, 31) + 0.9999999999, "<z:row V='2027-01-01T00:00:00'/>"},
        {TFieldKind::DateTime, Day(2026, 12, 8), "<z:row V='2026-12-08T00:00:00'/>"},
        {TFieldKind::Time, DateTimeValue::EncodeTime(7, 30), "<z:row V='07:30:00'/>"},
        {TFieldKind::Time, DateTimeValue::EncodeTime(23, 59, 59, 5), "<z:row V='23:59:59.005'/>"},
        {TFieldKind::Currency, QVariant::fromValue(TCurrency::FromUnits(125000)), "<z:row V='12.5'/>"},
        {TFieldKind::Currency, QVariant::fromValue(TCurrency::FromUnits(-1)), "<z:row V='-0.0001'/>"},
        {TFieldKind::Currency, QVariant::fromValue(TCurrency::FromUnits(30000)), "<z:row V='3'/>"},
        {TFieldKind::Float, 7.0, "<z:row V='7'/>"},
        {TFieldKind::Float, 0.1, "<z:row V='0.1'/>"},
        {TFieldKind::Float, -1234.5678, "<z:row V='-1234.5678'/>"},
        {TFieldKind::Blob, QByteArray("\x00\xAB\x7f", 3), "<z:row V='00ab7f'/>"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.row);
        TTableData data({{QStringLiteral("V"), c.kind}});
        ASSERT_TRUE(data.Column(0).SetValue(data.AppendRow(), c.value));
        const QStringList lines = Lines(ToBytes(data));
        ASSERT_GE(lines.size(), 3);
        EXPECT_EQ(lines[lines.size() - 3], QStringLiteral("\t") + QString::fromUtf8(c.row));
    }
}

TEST(RecordsetXmlTest, NonFiniteNumbersRoundTripAndNonDatesGoAsNull)
{
    TTableData data({{QStringLiteral("F"), TFieldKind::Float}, {QStringLiteral("D"), TFieldKind::DateTime}});
    const double values[] = {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()};
    for (const double v : values) {
        const std::uint32_t slot = data.AppendRow();
        data.Column(0).SetDouble(slot, v);
        data.Column(1).SetDouble(slot, v);
    }
    data.Column(1).SetDouble(data.AppendRow(), 1e9); // far beyond the year 9999
    const QByteArray bytes = ToBytes(data);
    EXPECT_TRUE(bytes.contains("\t<z:row F='INF'/>\n\t<z:row F='-INF'/>\n\t<z:row F='NaN'/>\n\t<z:row/>\n"));
    const auto back = Read(bytes, QStringLiteral("memory"), {});
    ASSERT_EQ(back->RowCount(), 4u);
    EXPECT_EQ(back->Column(0).Cell(0).d, std::numeric_limits<double>::infinity());
    EXPECT_EQ(back->Column(0).Cell(1).d, -std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(back->Column(0).Cell(2).d));
    for (std::uint32_t slot = 0; slot < 4; ++slot)
        EXPECT_TRUE(back->Column(1).IsNull(slot));
}

TEST(RecordsetXmlTest, NoLineBeforeTheLastIsTheClosingTag)
{
    // Values and names that try to put "</xml>" on a line of their own.
    TTableData data({{QStringLiteral("Notes"), TFieldKind::Memo}, {QStringLiteral("\n</xml>\n"), TFieldKind::Memo}});
    const std::uint32_t slot = data.AppendRow();
    data.Column(0).SetText(slot, u"end\n</xml>\nmore\r\n</xml>");
    data.Column(1).SetText(slot, u"</xml>");
    const QStringList lines = Lines(ToBytes(data));
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.last(), QStringLiteral("</xml>"));
    EXPECT_EQ(lines.indexOf(QStringLiteral("</xml>")), lines.size() - 1);
    const auto back = Read(ToBytes(data), QStringLiteral("memory"), {});
    EXPECT_EQ(back->Column(1).Def().name, QStringLiteral("\n</xml>\n"));
    ExpectSameRows(data, *back);
}

TEST(RecordsetXmlTest, NamesThatAreNoXmlNamesAreAliased)
{
    TTableData data({{QStringLiteral("Task Code"), TFieldKind::String, 10},
                     {QStringLiteral("c0"), TFieldKind::Integer},
                     {QStringLiteral("2nd"), TFieldKind::Integer}});
    const std::uint32_t slot = data.AppendRow();
    data.Column(0).SetText(slot, u"GEN");
    data.Column(1).SetInt(slot, 1);
    data.Column(2).SetInt(slot, 2);
    const QByteArray bytes = ToBytes(data);
    const QStringList lines = Lines(bytes);
    EXPECT_TRUE(lines.contains(QStringLiteral("\t\t<s:AttributeType name='c0_' rs:name='Task Code' rs:number='1' "
                                              "rs:nullable='true' rs:write='true'>")));
    EXPECT_TRUE(lines.contains(QStringLiteral("\t<z:row c0_='GEN' c0='1' c2='2'/>")));
    const auto back = Read(bytes, QStringLiteral("memory"), {});
    ASSERT_EQ(back->ColumnCount(), 3);
    EXPECT_EQ(back->Column(0).Def().name, QStringLiteral("Task Code"));
    EXPECT_EQ(back->Column(2).Def().name, QStringLiteral("2nd"));
    ExpectSameRows(data, *back);
}

// --- Files as ADO writes them -----------------------------------------------------

// Double quotes, CRLF line ends, an aliased column, varied value forms and
// pending-change sections.
const char *const AdoHistory = R"(<xml xmlns:s="uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882"
	xmlns:dt="uuid:C2F41010-65B3-11d1-A29F-00AA00C14882"
	xmlns:rs="urn:schemas-microsoft-com:rowset"
	xmlns:z="#RowsetSchema">
<s:Schema id="RowsetSchema">
	<s:ElementType name="row" content="eltOnly" rs:updatable="true">
		<s:AttributeType name="c0" rs:name="Task Code" rs:number="1" rs:nullable="true" rs:write="true">
			<s:datatype dt:type="string" rs:dbtype="str" dt:maxLength="10"/>
		</s:AttributeType>
		<s:AttributeType name="Active" rs:number="2" rs:nullable="true" rs:write="true">
			<s:datatype dt:type="boolean" dt:maxLength="2" rs:fixedlength="true"/>
		</s:AttributeType>
		<s:AttributeType name="DateTimeSubmitted" rs:number="3" rs:nullable="true" rs:write="true">
			<s:datatype dt:type="dateTime" rs:dbtype="timestamp" dt:maxLength="16" rs:scale="3" rs:precision="23" rs:fixedlength="true"/>
		</s:AttributeType>
		<s:AttributeType name="Duration" rs:number="4" rs:nullable="true" rs:write="true">
			<s:datatype dt:type="time" dt:maxLength="6" rs:fixedlength="true"/>
		</s:AttributeType>
		<s:AttributeType name="Legacy" rs:number="5" rs:nullable="true" rs:write="true">
			<s:datatype dt:type="int" dt:maxLength="4" rs:precision="10" rs:fixedlength="true"/>
		</s:AttributeType>
		<s:AttributeType name="Picture" rs:number="6" rs:nullable="true" rs:write="true">
			<s:datatype dt:type="bin.hex" dt:maxLength="2147483647" rs:long="true"/>
		</s:AttributeType>
		<s:AttributeType name="DailyRate" rs:number="7" rs:nullable="true" rs:write="true">
			<s:datatype dt:type="number" rs:dbtype="currency" dt:maxLength="8" rs:precision="19" rs:fixedlength="true"/>
		</s:AttributeType>
		<s:extends type="rs:rowbase"/>
	</s:ElementType>
</s:Schema>
<rs:data>
	<z:row c0="GEN" Active="-1" DateTimeSubmitted="2024-02-29T08:30:15.1234" Duration="07:30:00.5" Legacy="9"
		 Picture="DE AD&#10;be ef" DailyRate="350.5"/>
	<z:row c0="ADMIN" Active="0" DateTimeSubmitted="2024-03-01"/>
	<rs:insert>
		<z:row c0="NEW" Active="TRUE" DateTimeSubmitted="2024-03-04T09:00:00Z"/>
	</rs:insert>
	<rs:update>
		<rs:original>
			<z:row c0="OLD" Active="False" DateTimeSubmitted="2024-03-05T10:00:00" DailyRate="1"/>
		</rs:original>
		<z:row c0="UPD" DailyRate="2.25"/>
	</rs:update>
	<rs:delete>
		<z:row c0="GONE" Active="True"/>
	</rs:delete>
</rs:data>
</xml>
)";

TEST(RecordsetXmlTest, ReadsAnAdoFileIntoTheDefinition)
{
    const QByteArray bytes = QByteArray(AdoHistory).replace("\n", "\r\n");
    const std::vector<TColumnDef> definition = {
        {QStringLiteral("task code"), TFieldKind::String, 3},
        {QStringLiteral("ACTIVE"), TFieldKind::Boolean},
        {QStringLiteral("DateTimeSubmitted"), TFieldKind::DateTime},
        {QStringLiteral("Duration"), TFieldKind::Time},
        {QStringLiteral("Picture"), TFieldKind::Blob},
        {QStringLiteral("DailyRate"), TFieldKind::Currency},
        {QStringLiteral("Missing"), TFieldKind::Integer},
    };
    const auto data = Read(bytes, QStringLiteral("Reportingfile.xml"), definition);
    ASSERT_EQ(data->ColumnCount(), 7);
    EXPECT_EQ(data->Column(0).Def().name, QStringLiteral("task code"));
    ASSERT_EQ(data->RowCount(), 4u);
    const auto &rows = data->Rows();
    const TColumn &code = data->Column(0);
    const TColumn &active = data->Column(1);
    const TColumn &submitted = data->Column(2);
    const TColumn &duration = data->Column(3);
    const TColumn &picture = data->Column(4);
    const TColumn &rate = data->Column(5);

    EXPECT_EQ(code.Text(rows[0]), QStringLiteral("GEN"));
    EXPECT_EQ(code.Text(rows[1]), QStringLiteral("ADM")); // cut to the definition's size
    EXPECT_EQ(code.Text(rows[2]), QStringLiteral("NEW"));
    EXPECT_EQ(code.Text(rows[3]), QStringLiteral("UPD"));

    EXPECT_EQ(active.Cell(rows[0]).i, 1);
    EXPECT_EQ(active.Cell(rows[1]).i, 0);
    EXPECT_EQ(active.Cell(rows[2]).i, 1);
    EXPECT_EQ(active.Cell(rows[3]).i, 0); // kept from the original of the update

    EXPECT_EQ(Millis(submitted.Cell(rows[0]).d), Millis(Moment(2024, 2, 29, 8, 30, 15, 123)));
    EXPECT_EQ(Millis(submitted.Cell(rows[1]).d), Millis(Day(2024, 3, 1)));
    EXPECT_EQ(Millis(submitted.Cell(rows[2]).d), Millis(Moment(2024, 3, 4, 9, 0)));
    EXPECT_EQ(Millis(submitted.Cell(rows[3]).d), Millis(Moment(2024, 3, 5, 10, 0)));

    EXPECT_EQ(Millis(duration.Cell(rows[0]).d), Millis(DateTimeValue::EncodeTime(7, 30, 0, 500)));
    EXPECT_TRUE(duration.IsNull(rows[1]));
    EXPECT_EQ(picture.Bytes(rows[0]), QByteArray("\xde\xad\xbe\xef"));
    EXPECT_TRUE(picture.IsNull(rows[1]));
    EXPECT_EQ(rate.Cell(rows[0]).i, 3505000);
    EXPECT_TRUE(rate.IsNull(rows[1]));
    EXPECT_EQ(rate.Cell(rows[3]).i, 22500); // the update's new value
    for (const std::uint32_t slot : rows)
        EXPECT_TRUE(data->Column(6).IsNull(slot));
}

// Single quotes, a byte order mark, no indentation, blanks around '=', a
// schema without the optional attributes.
const char *const AdoUsers =
    "\xEF\xBB\xBF<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' "
    "xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882' xmlns:rs='urn:schemas-microsoft-com:rowset' "
    "xmlns:z='#RowsetSchema'><s:Schema id='RowsetSchema'><s:ElementType name='row' content='eltOnly'>\n"
    "<s:AttributeType name='UserID' rs:number='1' rs:autoincrement='true'><s:datatype dt:type='int' "
    "dt:maxLength='4'/></s:AttributeType>\n"
    "<s:AttributeType name='FirstName' rs:number='2'><s:datatype dt:type='string' dt:maxLength='20'/>"
    "</s:AttributeType>\n"
    "<s:AttributeType name='Notes'><s:datatype dt:type='string' dt:maxLength='2147483647' rs:long='true'/>"
    "</s:AttributeType>\n"
    "<s:AttributeType name='BillingType'><s:datatype dt:type='i2'/></s:AttributeType>\n"
    "<s:AttributeType name='DayDuration'><s:datatype dt:type='float'/></s:AttributeType>\n"
    "<s:AttributeType name='Rate'><s:datatype dt:type='number' rs:dbtype='currency'/></s:AttributeType>\n"
    "<s:AttributeType name='Since'><s:datatype dt:type='dateTime'/></s:AttributeType>\n"
    "<s:AttributeType name='Lunch'><s:datatype dt:type='time'/></s:AttributeType>\n"
    "<s:AttributeType name='Photo'><s:datatype dt:type='bin.hex' dt:maxLength='2147483647' rs:long='true'/>"
    "</s:AttributeType>\n"
    "<s:AttributeType name='Manager'><s:datatype dt:type='boolean'/></s:AttributeType>\n"
    "<s:extends type='rs:rowbase'/></s:ElementType></s:Schema>\n"
    "<rs:data>\n"
    "<z:row UserID='0' FirstName='Guest' Notes='Line one&#13;&#10;&quot;two&quot; &amp; &lt;three&gt; &apos;4&apos;'"
    " BillingType='-2' DayDuration='7.5' Rate='-12.3456' Since='1999-12-31T23:59:59.9996' Lunch='12:30'"
    " Photo='' Manager='false'/>\n"
    "<z:row UserID = \"1\" FirstName = 'Zo&#xEB;' Rate='1E3' DayDuration='-2.5e-3'/>\n"
    "</rs:data></xml>";

TEST(RecordsetXmlTest, ReadsAnAdoFileWithItsOwnSchema)
{
    const auto data = Read(QByteArray(AdoUsers), QStringLiteral("Usersfile.xml"), {});
    const std::pair<const char *, TFieldKind> expected[] = {
        {"UserID", TFieldKind::AutoInc},  {"FirstName", TFieldKind::String}, {"Notes", TFieldKind::Memo},
        {"BillingType", TFieldKind::SmallInt}, {"DayDuration", TFieldKind::Float},
        {"Rate", TFieldKind::Currency},   {"Since", TFieldKind::DateTime},   {"Lunch", TFieldKind::Time},
        {"Photo", TFieldKind::Blob},      {"Manager", TFieldKind::Boolean},
    };
    ASSERT_EQ(data->ColumnCount(), int(std::size(expected)));
    for (int c = 0; c < data->ColumnCount(); ++c) {
        EXPECT_EQ(data->Column(c).Def().name, QLatin1String(expected[c].first));
        EXPECT_EQ(data->Column(c).Def().kind, expected[c].second) << expected[c].first;
    }
    EXPECT_EQ(data->Column(1).Def().size, 20);
    ASSERT_EQ(data->RowCount(), 2u);
    const std::uint32_t guest = data->Rows()[0];
    const std::uint32_t other = data->Rows()[1];
    EXPECT_EQ(data->Column(0).Cell(guest).i, 0);
    EXPECT_EQ(data->Column(1).Text(guest), QStringLiteral("Guest"));
    EXPECT_EQ(data->Column(2).Text(guest), QStringLiteral("Line one\r\n\"two\" & <three> '4'"));
    EXPECT_EQ(data->Column(3).Cell(guest).i, -2);
    EXPECT_EQ(data->Column(4).Cell(guest).d, 7.5);
    EXPECT_EQ(data->Column(5).Cell(guest).i, -123456);
    EXPECT_EQ(Millis(data->Column(6).Cell(guest).d), Millis(Day(2000, 1, 1))); // rounded into the next day
    EXPECT_EQ(Millis(data->Column(7).Cell(guest).d), Millis(DateTimeValue::EncodeTime(12, 30)));
    EXPECT_FALSE(data->Column(8).IsNull(guest));
    EXPECT_TRUE(data->Column(8).Bytes(guest).isEmpty());
    EXPECT_EQ(data->Column(9).Cell(guest).i, 0);
    EXPECT_FALSE(data->Column(9).IsNull(guest));

    EXPECT_EQ(data->Column(0).Cell(other).i, 1);
    EXPECT_EQ(data->Column(1).Text(other), QStringLiteral("Zoë"));
    EXPECT_EQ(data->Column(5).Cell(other).i, 10000000);
    EXPECT_EQ(data->Column(4).Cell(other).d, -2.5e-3);
    EXPECT_TRUE(data->Column(2).IsNull(other));
    EXPECT_TRUE(data->Column(9).IsNull(other));
}

TEST(RecordsetXmlTest, ReadsTolerantValueForms)
{
    const struct
    {
        TFieldKind kind;
        const char *text;
        std::int64_t expected; ///< integer cell, or milliseconds for dates and times
    } cases[] = {
        {TFieldKind::Boolean, "1", 1},
        {TFieldKind::Boolean, "-1", 1},
        {TFieldKind::Boolean, "0", 0},
        {TFieldKind::Boolean, "tRuE", 1},
        {TFieldKind::Boolean, "FALSE", 0},
        {TFieldKind::Integer, " 12 ", 12},
        {TFieldKind::Integer, "+3", 3},
        {TFieldKind::Currency, "0.00005", 1},
        {TFieldKind::Currency, "-0.00005", -1},
        {TFieldKind::Currency, "7", 70000},
        {TFieldKind::DateTime, "2026-12-08T09:05:03.1", Millis(Moment(2026, 12, 8, 9, 5, 3, 100))},
        {TFieldKind::DateTime, "2026-12-08T09:05:03.0004999", Millis(Moment(2026, 12, 8, 9, 5, 3))},
        {TFieldKind::DateTime, "2026-12-08T09:05:03.9995", Millis(Moment(2026, 12, 8, 9, 5, 4))},
        {TFieldKind::DateTime, "2026-12-08T09:05:03Z", Millis(Moment(2026, 12, 8, 9, 5, 3))},
        {TFieldKind::DateTime, "2026-12-08", Millis(Day(2026, 12, 8))},
        {TFieldKind::DateTime, "1899-12-30T06:00:00", Millis(0.25)},
        {TFieldKind::DateTime, "1800-01-01T12:00:00", Millis(Moment(1800, 1, 1, 12, 0))},
        {TFieldKind::Time, "07:30:00.25", Millis(DateTimeValue::EncodeTime(7, 30, 0, 250))},
        {TFieldKind::Time, "7:30", Millis(DateTimeValue::EncodeTime(7, 30))},
        {TFieldKind::Time, "23:59:59.9999", 0},
        {TFieldKind::Time, "1899-12-30T08:15:00", Millis(DateTimeValue::EncodeTime(8, 15))},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        TTableData model({{QStringLiteral("V"), c.kind}});
        model.AppendRow();
        QByteArray bytes = ToBytes(model);
        bytes.replace("<z:row/>", "<z:row V='" + QByteArray(c.text) + "'/>");
        const auto data = Read(bytes, QStringLiteral("memory"), {});
        ASSERT_EQ(data->RowCount(), 1u);
        const TColumn &column = data->Column(0);
        const std::uint32_t slot = data->Rows()[0];
        ASSERT_FALSE(column.IsNull(slot));
        if (c.kind == TFieldKind::DateTime || c.kind == TFieldKind::Time)
            EXPECT_EQ(Millis(column.Cell(slot).d), c.expected);
        else
            EXPECT_EQ(column.Cell(slot).i, c.expected);
    }
}

// --- Bad files ------------------------------------------------------------------

const std::vector<TColumnDef> &BadFileColumns()
{
    static const std::vector<TColumnDef> columns = {
        {QStringLiteral("Code"), TFieldKind::String, 10}, {QStringLiteral("Count"), TFieldKind::Integer},
        {QStringLiteral("Small"), TFieldKind::SmallInt},  {QStringLiteral("Flag"), TFieldKind::Boolean},
        {QStringLiteral("Stamp"), TFieldKind::DateTime},  {QStringLiteral("Clock"), TFieldKind::Time},
        {QStringLiteral("Rate"), TFieldKind::Currency},   {QStringLiteral("Ratio"), TFieldKind::Float},
        {QStringLiteral("Picture"), TFieldKind::Blob},
    };
    return columns;
}

/// A valid file up to and including the line that opens its data section.
QByteArray BadFileHead()
{
    const QByteArray empty = ToBytes(TTableData(BadFileColumns()));
    return empty.left(empty.indexOf("<rs:data>\n") + 10);
}

QByteArray WithRows(const QByteArray &rows)
{
    return BadFileHead() + rows + "</rs:data>\n</xml>\n";
}

struct TBadFile
{
    const char *fault;
    QByteArray content;
    int line;
    const char *message;
    bool ownSchema = false; ///< read without a definition
};

std::vector<TBadFile> BadFiles()
{
    const int row = int(BadFileHead().count('\n')) + 1;
    QByteArray crowded = "\t<z:row";
    for (int i = 0; i < 10000; ++i)
        crowded += " rs:a" + QByteArray::number(i) + "='1'";
    crowded += "/>\n";
    const QByteArray good = WithRows("\t<z:row Code='A'/>\n\t<z:row Code='B'/>\n");
    const QByteArray schemaOnly = "<xml xmlns:s='s' xmlns:dt='d' xmlns:rs='r' xmlns:z='z'>\n<s:Schema>\n"
                                  "<s:ElementType name='row'>\n";
    return {
        {"text in an integer", WithRows("\t<z:row Code='A'/>\n\t<z:row Count='abc'/>\n"), row + 1,
         "'abc' is not a valid integer for the column 'Count'"},
        {"integer beyond 32 bits", WithRows("\t<z:row Count='2147483648'/>\n"), row, "out of range"},
        {"integer beyond 64 bits", WithRows("\t<z:row Count='99999999999999999999999'/>\n"), row, "out of range"},
        {"small integer beyond 16 bits", WithRows("\t<z:row Small='40000'/>\n"), row, "out of range"},
        {"boolean", WithRows("\t<z:row Flag='yes'/>\n"), row, "'yes' is not a valid boolean"},
        {"empty boolean", WithRows("\t<z:row Flag=''/>\n"), row, "not a valid boolean"},
        {"30 February", WithRows("\t<z:row Stamp='2023-02-30T10:00:00'/>\n"), row, "out of range"},
        {"date-time text", WithRows("\t<z:row Stamp='yesterday'/>\n"), row, "not a valid date-time"},
        {"date-time trailing text", WithRows("\t<z:row Stamp='2023-02-03T10:00:00 extra'/>\n"), row,
         "not a valid date-time"},
        {"hour 25", WithRows("\t<z:row Clock='25:00:00'/>\n"), row, "out of range"},
        {"minute 60", WithRows("\t<z:row Stamp='2023-02-03T10:60:00'/>\n"), row, "out of range"},
        {"odd hex", WithRows("\t<z:row Picture='abc'/>\n"), row, "not a valid blob"},
        {"not hex", WithRows("\t<z:row Picture='zz'/>\n"), row, "not a valid blob"},
        {"currency comma", WithRows("\t<z:row Rate='1,5'/>\n"), row, "not a valid currency"},
        {"currency beyond 64 bits", WithRows("\t<z:row Rate='9999999999999999999'/>\n"), row, "out of range"},
        {"float text", WithRows("\t<z:row Ratio='1.5.2'/>\n"), row, "not a valid float"},
        {"float beyond range", WithRows("\t<z:row Ratio='1e999'/>\n"), row, "out of range"},
        {"unknown attribute", WithRows("\t<z:row Code='A'\n\t\tBogus='1'/>\n"), row + 1,
         "'Bogus' is not a column"},
        {"attribute twice", WithRows("\t<z:row Code='A' Code='B'/>\n"), row, "given twice"},
        {"10,000 attributes", WithRows("\t<z:row/>\n" + crowded), row + 1, "more attributes"},
        {"unexpected element", WithRows("\t<z:row/>\n\t<z:other/>\n"), row + 1, "unexpected element <z:other>"},
        {"unclosed row", WithRows("\t<z:row Code='A'>\n"), row + 1, "malformed XML"},
        {"unclosed quote", WithRows("\t<z:row Code='A/>\n\t<z:row/>\n"), row, "malformed XML"},
        {"truncated", good.left(good.indexOf("Code='B'") + 7), row + 1, "malformed XML"},
        {"truncated after the data", good.left(good.lastIndexOf("</xml>")), row + 2, "malformed XML"},
        {"empty file", QByteArray(), 1, "malformed XML"},
        {"DOCTYPE with entities",
         "<!DOCTYPE xml [\n<!ENTITY a 'aaaaaaaaaa'>\n<!ENTITY b '&a;&a;&a;&a;&a;&a;'>\n]>\n"
             + WithRows("\t<z:row Code='&b;'/>\n"),
         1, "DOCTYPE"},
        {"wrong root", "\n<html><body/></html>\n", 2, "root element is <html>"},
        {"two roots", good + "<xml/>\n", row + 4, "more than one root"},
        {"no schema", "<xml>\n<rs:data/>\n</xml>\n", 1, "no schema"},
        {"unnamed column", schemaOnly + "<s:AttributeType rs:number='1'/>\n</s:ElementType></s:Schema></xml>", 4,
         "has no name"},
        {"column declared twice",
         schemaOnly + "<s:AttributeType name='A'><s:datatype dt:type='int'/></s:AttributeType>\n"
                      "<s:AttributeType name='A'><s:datatype dt:type='int'/></s:AttributeType>\n"
                      "</s:ElementType></s:Schema></xml>",
         5, "declared twice"},
        {"unsupported data type",
         schemaOnly + "<s:AttributeType name='A'>\n<s:datatype dt:type='uuid'/></s:AttributeType>\n"
                      "</s:ElementType></s:Schema></xml>",
         4, "unsupported data type 'uuid'", true},
        {"update without a row", WithRows("\t<rs:update>\n\t</rs:update>\n"), row, "holds no row"},
    };
}

TEST(RecordsetXmlTest, BadFilesAreRefusedNamingFileAndLine)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Bad%2file.xml")); // a name that looks like a placeholder
    for (const TBadFile &bad : BadFiles()) {
        SCOPED_TRACE(bad.fault);
        const std::vector<TColumnDef> definition = bad.ownSchema ? std::vector<TColumnDef>() : BadFileColumns();
        const QString where = QStringLiteral(", line %1: ").arg(bad.line);
        const QString fromMemory = ErrorOf([&] { Read(bad.content, QStringLiteral("memory.xml"), definition); });
        EXPECT_TRUE(fromMemory.startsWith(QStringLiteral("Cannot load memory.xml") + where)) << fromMemory.toStdString();
        EXPECT_TRUE(fromMemory.contains(QLatin1String(bad.message))) << fromMemory.toStdString();

        ASSERT_TRUE(WriteAll(path, bad.content));
        const QString fromFile = ErrorOf([&] { ReadFile(path, definition); });
        EXPECT_EQ(fromFile, QString(fromMemory).replace(QStringLiteral("memory.xml"), path));
    }
}

TEST(RecordsetXmlTest, AHugeValueIsRefused)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Hugefile.xml"));
    {
        // A 100 MB attribute, written piece by piece.
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(BadFileHead() + "\t<z:row Code='A'/>\n\t<z:row Code='");
        const QByteArray piece(1 << 20, 'x');
        for (int i = 0; i < 100; ++i)
            ASSERT_EQ(file.write(piece), piece.size());
        file.write("'/>\n</rs:data>\n</xml>\n");
    }
    const QString message = ErrorOf([&] { ReadFile(path, BadFileColumns()); });
    const int row = int(BadFileHead().count('\n')) + 2;
    EXPECT_TRUE(message.startsWith(QStringLiteral("Cannot load %1, line %2: ").arg(path).arg(row)))
        << message.left(200).toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("longer than 16 MiB")));
    EXPECT_LT(message.size(), 400);
}

TEST(RecordsetXmlTest, AFloodOfRowsIsRefused)
{
    // 400 columns read allow 100,000 rows (the cells bound the table).
    std::vector<TColumnDef> wide;
    for (int i = 0; i < 400; ++i)
        wide.push_back({QStringLiteral("C%1").arg(i), TFieldKind::Integer});
    QByteArray rows;
    for (int i = 0; i < 100001; ++i)
        rows += "<z:row/>\n";
    const QString message = ErrorOf([&] { Read(WithRows(rows), QStringLiteral("memory.xml"), wide); });
    const int line = int(BadFileHead().count('\n')) + 1 + 100000;
    EXPECT_EQ(message, QStringLiteral("Cannot load memory.xml, line %1: the file holds more than 100000 rows").arg(line));
}

TEST(RecordsetXmlTest, AMissingFileIsRefusedNamingIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Nofile.xml"));
    const QString message = ErrorOf([&] { ReadFile(path, BadFileColumns()); });
    EXPECT_TRUE(message.startsWith(QStringLiteral("Cannot load ") + path + QStringLiteral(": "))) << message.toStdString();
}

// --- Saves that fail ----------------------------------------------------------------

TEST(RecordsetXmlTest, SaveToAnUnusableDirectoryRaisesNamingTheFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(WriteAll(dir.filePath(QStringLiteral("plain")), "a regular file"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("gone")));
    ASSERT_TRUE(QDir(dir.path()).rmdir(QStringLiteral("gone")));
    const auto data = EveryKindTable();
    for (const QString &path : {dir.filePath(QStringLiteral("plain/Tasksfile.xml")),
                                dir.filePath(QStringLiteral("gone/Tasksfile.xml"))}) {
        const QString message = ErrorOf([&] { WriteFile(path, *data, data->Rows()); });
        EXPECT_TRUE(message.startsWith(QStringLiteral("Cannot save ") + path + QStringLiteral(": ")))
            << message.toStdString();
        EXPECT_GT(message.size(), QStringLiteral("Cannot save : ").size() + path.size());
    }
    EXPECT_EQ(ReadAll(dir.filePath(QStringLiteral("plain"))), QByteArray("a regular file"));
}

/// A table whose file is well over a megabyte, so a save writes to the disk before it ends.
std::shared_ptr<TTableData> LargeTable()
{
    auto data = std::make_shared<TTableData>(std::vector<TColumnDef>{{QStringLiteral("Notes"), TFieldKind::Memo}});
    for (int i = 0; i < 20000; ++i)
        data->Column(0).SetText(data->AppendRow(), QStringLiteral("note number %1 of a long list").arg(i));
    return data;
}

TEST(RecordsetXmlTest, ADiskFullSaveKeepsThePreviousFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tasksfile.xml"));
    const QByteArray previous = ToBytes(*EveryKindTable());
    ASSERT_TRUE(WriteAll(path, previous));
    const auto data = LargeTable();

    // Files may not grow beyond 64 KiB: writes fail as on a full disk (also for root).
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const QString message = ErrorOf([&] { WriteFile(path, *data, data->Rows()); });
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(message.startsWith(QStringLiteral("Cannot save ") + path + QStringLiteral(": ")))
        << message.toStdString();
    EXPECT_EQ(ReadAll(path), previous);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Tasksfile.xml")});
}

TEST(RecordsetXmlTest, ASaveThatFailsPartWayKeepsThePreviousFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tasksfile.xml"));
    const QByteArray previous = ToBytes(*EveryKindTable());
    ASSERT_TRUE(WriteAll(path, previous));
    const auto data = LargeTable();
    std::vector<std::uint32_t> rowSlots = data->Rows();
    rowSlots.push_back(std::uint32_t(data->SlotCount() + 5)); // not a row: the writer stops there
    const QString message = ErrorOf([&] { WriteFile(path, *data, rowSlots); });
    EXPECT_TRUE(message.startsWith(QStringLiteral("Cannot save ") + path + QStringLiteral(": ")))
        << message.toStdString();
    EXPECT_EQ(ReadAll(path), previous);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Tasksfile.xml")});
}

} // namespace
