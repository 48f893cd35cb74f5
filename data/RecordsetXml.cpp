#include "data/RecordsetXml.h"

#include "app/core/Errors.h"

#include <QFile>
#include <QFileDevice>
#include <QSaveFile>
#include <QSet>

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include <sys/mman.h>

namespace RecordsetXml {
namespace {

// --- Limits -------------------------------------------------------------------
// Anything far beyond what a time tracker keeps is taken as damage or an attack
// and refused before it can exhaust memory.
// 256 MiB of file is several hundred years of history rows.
constexpr qint64 MaxFileBytes = qint64(256) << 20;
// One value (a memo text, a blob's hex) of more than 16 MiB.
constexpr std::size_t MaxValueBytes = std::size_t(16) << 20;
constexpr int MaxValueMiB = int(MaxValueBytes >> 20);
// Columns declared by one schema.
constexpr int MaxColumns = 4096;
// Rows of one file: twenty times a 40-year history; and cells (rows times
// columns read), which bounds the table at a few hundred MiB.
constexpr std::size_t MaxRows = 2000000;
constexpr std::size_t MaxCells = 40000000;
// The parse tree of a file; a legitimate one takes about twice the file.
constexpr std::size_t MaxTreeBytes = std::size_t(1) << 30;
// A row holds at most one attribute per column; namespaced markers (which are
// skipped) are allowed on top, up to this many.
constexpr int ExtraRowAttributes = 8;

constexpr std::int64_t MSecsPerDay = 86400000;
// Days from 1 January 1970 to day 0 (30 December 1899).
constexpr std::int64_t EpochFromUnix = -25569;
// Day numbers of 0001-01-01 and 9999-12-31, the range a four-digit year can show.
constexpr std::int64_t MinDay = -693593;
constexpr std::int64_t MaxDay = 2958465;

// --- Calendar -------------------------------------------------------------------
// Proleptic Gregorian day counting without tables (days relative to 1970-01-01).

std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + std::int64_t(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int &year, unsigned &month, unsigned &day)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = std::int64_t(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = doy - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = int(y + (month <= 2));
}

bool IsLeapYear(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

unsigned DaysInMonth(int y, unsigned m)
{
    static constexpr unsigned days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : days[m - 1];
}

// ===============================================================================
// Writing
// ===============================================================================

/// Output collected in a buffer and handed to the device in large pieces.
class TOutput
{
public:
    TOutput(QIODevice &device, const QString &failure)
        : m_device(device)
        , m_failure(failure)
    {
        m_buffer.reserve(FlushAt + 4096);
    }

    void Append(std::string_view text) { m_buffer.append(text); }
    void Append(char c) { m_buffer.push_back(c); }
    std::string &Buffer() { return m_buffer; }

    void FlushIfFull()
    {
        if (m_buffer.size() >= FlushAt)
            Flush();
    }

    void Flush()
    {
        if (m_buffer.empty())
            return;
        const qint64 written = m_device.write(m_buffer.data(), qint64(m_buffer.size()));
        if (written != qint64(m_buffer.size()))
            Fail(m_device.errorString());
        m_buffer.clear();
    }

    [[noreturn]] void Fail(const QString &reason) const
    {
        throw EDatabaseError(m_failure + QStringLiteral(": ") + reason);
    }

private:
    static constexpr std::size_t FlushAt = std::size_t(1) << 20;
    QIODevice &m_device;
    QString m_failure;
    std::string m_buffer;
};

/// Appends UTF-8 text as an attribute value: markup characters and the white
/// space that attribute normalisation would flatten become references. NUL
/// cannot be carried by XML at all and is left out; other control characters
/// go as numeric references, which the reader takes back.
void AppendEscaped(std::string &out, std::string_view text)
{
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const char *entity = nullptr;
        switch (c) {
        case '\'': entity = "&apos;"; break;
        case '"': entity = "&quot;"; break;
        case '&': entity = "&amp;"; break;
        case '<': entity = "&lt;"; break;
        case '>': entity = "&gt;"; break;
        case '\r': entity = "&#13;"; break;
        case '\n': entity = "&#10;"; break;
        case '\t': entity = "&#9;"; break;
        default:
            if (c >= 0x20)
                continue;
            break;
        }
        out.append(text.data() + run, i - run);
        run = i + 1;
        if (entity) {
            out.append(entity);
        } else if (c != 0) {
            char ref[8];
            const int n = std::snprintf(ref, sizeof ref, "&#%u;", unsigned(c));
            out.append(ref, std::size_t(n));
        }
    }
    out.append(text.data() + run, text.size() - run);
}

void AppendEscaped(std::string &out, QStringView text)
{
    const QByteArray utf8 = text.toUtf8();
    AppendEscaped(out, std::string_view(utf8.constData(), std::size_t(utf8.size())));
}

void AppendNumber(std::string &out, std::int64_t value)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

void AppendTwo(char *&p, unsigned v)
{
    *p++ = char('0' + v / 10);
    *p++ = char('0' + v % 10);
}

/// hh:mm:ss with .fff only when the milliseconds are not zero.
void AppendTimeOfDay(std::string &out, std::int64_t ms)
{
    char text[16];
    char *p = text;
    const auto secs = unsigned(ms / 1000);
    AppendTwo(p, secs / 3600);
    *p++ = ':';
    AppendTwo(p, secs / 60 % 60);
    *p++ = ':';
    AppendTwo(p, secs % 60);
    if (const auto frac = unsigned(ms % 1000); frac != 0) {
        *p++ = '.';
        *p++ = char('0' + frac / 100);
        AppendTwo(p, frac % 100);
    }
    out.append(text, p);
}

/// Splits a date-time value into its day number and the time of day rounded to
/// the millisecond, a rounding to 24:00 carrying into the next day. False when
/// the value is not a date a four-digit year can show.
bool SplitDateTime(double value, std::int64_t &day, std::int64_t &ms)
{
    if (!std::isfinite(value))
        return false;
    const double days = std::trunc(value);
    if (days < double(MinDay - 1) || days > double(MaxDay + 1))
        return false;
    day = std::int64_t(days);
    ms = std::int64_t(std::round(std::fabs(value - days) * double(MSecsPerDay)));
    if (ms >= MSecsPerDay) {
        ms -= MSecsPerDay;
        ++day;
    }
    return day >= MinDay && day <= MaxDay;
}

/// yyyy-mm-ddThh:mm:ss[.fff]; false (written as null) for values that are no date.
bool AppendDateTime(std::string &out, double value)
{
    std::int64_t day = 0;
    std::int64_t ms = 0;
    if (!SplitDateTime(value, day, ms))
        return false;
    int year = 0;
    unsigned month = 0;
    unsigned dom = 0;
    CivilFromDays(day + EpochFromUnix, year, month, dom);
    char text[12];
    char *p = text;
    AppendTwo(p, unsigned(year / 100));
    AppendTwo(p, unsigned(year % 100));
    *p++ = '-';
    AppendTwo(p, month);
    *p++ = '-';
    AppendTwo(p, dom);
    *p++ = 'T';
    out.append(text, p);
    AppendTimeOfDay(out, ms);
    return true;
}

/// The time of day of a value; false (written as null) when it is not a number.
bool AppendTime(std::string &out, double value)
{
    if (!std::isfinite(value))
        return false;
    std::int64_t ms = std::int64_t(std::round(std::fabs(value - std::trunc(value)) * double(MSecsPerDay)));
    if (ms >= MSecsPerDay)
        ms -= MSecsPerDay;
    AppendTimeOfDay(out, ms);
    return true;
}

/// Shortest text that reads back as the same double, in the C locale.
void AppendDouble(std::string &out, double value)
{
    if (std::isnan(value)) {
        out.append("NaN");
        return;
    }
    if (std::isinf(value)) {
        out.append(value < 0 ? "-INF" : "INF");
        return;
    }
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

/// Currency units as an exact decimal without trailing zeros ("12.5", "-0.0001").
void AppendCurrency(std::string &out, std::int64_t units)
{
    const bool negative = units < 0;
    const std::uint64_t magnitude = negative ? std::uint64_t(-(units + 1)) + 1 : std::uint64_t(units);
    if (negative)
        out.push_back('-');
    char digits[24];
    const auto whole = std::to_chars(digits, digits + sizeof digits, magnitude / std::uint64_t(TCurrency::Scale));
    out.append(digits, whole.ptr);
    auto fraction = unsigned(magnitude % std::uint64_t(TCurrency::Scale));
    if (fraction == 0)
        return;
    char decimals[5] = {'.', char('0' + fraction / 1000), char('0' + fraction / 100 % 10),
                        char('0' + fraction / 10 % 10), char('0' + fraction % 10)};
    std::size_t length = 5;
    while (decimals[length - 1] == '0')
        --length;
    out.append(decimals, length);
}

void AppendHex(std::string &out, const QByteArray &bytes)
{
    static constexpr char digits[] = "0123456789abcdef";
    const std::size_t start = out.size();
    out.resize(start + std::size_t(bytes.size()) * 2);
    char *p = out.data() + start;
    for (const char b : bytes) {
        const auto v = static_cast<unsigned char>(b);
        *p++ = digits[v >> 4];
        *p++ = digits[v & 15];
    }
}

/// The data type line ADO writes for a kind.
std::string DataTypeOf(const TColumnDef &def)
{
    switch (def.kind) {
    case TFieldKind::String:
        return "<s:datatype dt:type='string' rs:dbtype='str' dt:maxLength='" + std::to_string(std::max(def.size, 0))
            + "'/>";
    case TFieldKind::Integer:
    case TFieldKind::AutoInc:
        return "<s:datatype dt:type='int' dt:maxLength='4' rs:precision='10' rs:fixedlength='true'/>";
    case TFieldKind::SmallInt:
        return "<s:datatype dt:type='i2' dt:maxLength='2' rs:precision='5' rs:fixedlength='true'/>";
    case TFieldKind::Boolean:
        return "<s:datatype dt:type='boolean' dt:maxLength='2' rs:fixedlength='true'/>";
    case TFieldKind::Float:
        return "<s:datatype dt:type='float' dt:maxLength='8' rs:precision='15' rs:fixedlength='true'/>";
    case TFieldKind::Currency:
        return "<s:datatype dt:type='number' rs:dbtype='currency' dt:maxLength='8' rs:precision='19'"
               " rs:fixedlength='true'/>";
    case TFieldKind::DateTime:
        return "<s:datatype dt:type='dateTime' rs:dbtype='timestamp' dt:maxLength='16' rs:scale='3'"
               " rs:precision='23' rs:fixedlength='true'/>";
    case TFieldKind::Time:
        return "<s:datatype dt:type='time' dt:maxLength='6' rs:fixedlength='true'/>";
    case TFieldKind::Memo:
        return "<s:datatype dt:type='string' rs:dbtype='str' dt:maxLength='2147483647' rs:long='true'/>";
    case TFieldKind::Blob:
        return "<s:datatype dt:type='bin.hex' dt:maxLength='2147483647' rs:long='true'/>";
    }
    return {};
}

/// Whether a column name can stand as a row attribute as it is. Names that are
/// not plain ASCII XML names (a blank, a colon, a leading digit, the reserved
/// "xml" start) get an alias, as ADO does, with the real name in rs:name.
bool IsPlainXmlName(QStringView name)
{
    if (name.isEmpty() || name.startsWith(u"xml", Qt::CaseInsensitive))
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
        const bool other = (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
        if (!letter && (i == 0 || !other))
            return false;
    }
    return true;
}

/// Row attribute names per column: the column's name where it is a usable,
/// unique XML name, an alias "c<index>" otherwise.
std::vector<QString> AttributeNames(const TTableData &data)
{
    const int count = data.ColumnCount();
    std::vector<QString> names(static_cast<std::size_t>(count));
    QSet<QString> used;
    for (int i = 0; i < count; ++i) {
        const QString &name = data.Column(i).Def().name;
        if (IsPlainXmlName(name) && !used.contains(name)) {
            names[std::size_t(i)] = name;
            used.insert(name);
        }
    }
    for (int i = 0; i < count; ++i) {
        if (!names[std::size_t(i)].isEmpty())
            continue;
        QString alias = QStringLiteral("c%1").arg(i);
        while (used.contains(alias))
            alias += u'_';
        names[std::size_t(i)] = alias;
        used.insert(alias);
    }
    return names;
}

void WriteImpl(QIODevice &device, const TTableData &data, const std::vector<std::uint32_t> &rowSlots,
               const QString &failure)
{
    TOutput out(device, failure);
    std::string &buf = out.Buffer();
    const int columnCount = data.ColumnCount();
    const std::vector<QString> attributeNames = AttributeNames(data);

    buf.append("<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'\n"
               "\txmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'\n"
               "\txmlns:rs='urn:schemas-microsoft-com:rowset'\n"
               "\txmlns:z='#RowsetSchema'>\n"
               "<s:Schema id='RowsetSchema'>\n"
               "\t<s:ElementType name='row' content='eltOnly'>\n");
    std::vector<std::string> prefixes(static_cast<std::size_t>(columnCount));
    for (int c = 0; c < columnCount; ++c) {
        const TColumnDef &def = data.Column(c).Def();
        const QString &attribute = attributeNames[std::size_t(c)];
        buf.append("\t\t<s:AttributeType name='");
        AppendEscaped(buf, attribute);
        if (attribute != def.name) {
            buf.append("' rs:name='");
            AppendEscaped(buf, def.name);
        }
        buf.append("' rs:number='");
        AppendNumber(buf, c + 1);
        buf.append("' rs:nullable='true' rs:write='true'");
        if (def.kind == TFieldKind::AutoInc)
            buf.append(" rs:autoincrement='true'");
        buf.append(">\n\t\t\t");
        buf.append(DataTypeOf(def));
        buf.append("\n\t\t</s:AttributeType>\n");
        prefixes[std::size_t(c)] = ' ' + attribute.toStdString() + "='";
    }
    buf.append("\t\t<s:extends type='rs:rowbase'/>\n"
               "\t</s:ElementType>\n"
               "</s:Schema>\n"
               "<rs:data>\n");

    // Texts repeat (codes, descriptions): each pool entry is escaped once.
    std::vector<std::vector<std::string>> escaped(static_cast<std::size_t>(columnCount));
    std::vector<std::vector<std::uint8_t>> escapedReady(static_cast<std::size_t>(columnCount));
    for (int c = 0; c < columnCount; ++c) {
        if (IsTextKind(data.Column(c).Def().kind)) {
            escaped[std::size_t(c)].resize(data.Column(c).TextPool().size());
            escapedReady[std::size_t(c)].resize(data.Column(c).TextPool().size(), 0);
        }
    }

    for (const std::uint32_t slot : rowSlots) {
        if (slot >= data.SlotCount())
            out.Fail(QStringLiteral("slot %1 is not a row of the table").arg(slot));
        buf.append("\t<z:row");
        for (int c = 0; c < columnCount; ++c) {
            const TColumn &column = data.Column(c);
            if (column.IsNull(slot))
                continue;
            const std::size_t mark = buf.size();
            buf.append(prefixes[std::size_t(c)]);
            bool written = true;
            switch (column.Def().kind) {
            case TFieldKind::String:
            case TFieldKind::Memo: {
                const std::uint32_t index = column.TextIndex(slot);
                auto &cache = escaped[std::size_t(c)];
                auto &ready = escapedReady[std::size_t(c)];
                if (!ready[index]) {
                    AppendEscaped(cache[index], QStringView(column.TextPool()[index]));
                    ready[index] = 1;
                }
                buf.append(cache[index]);
                break;
            }
            case TFieldKind::Integer:
            case TFieldKind::SmallInt:
            case TFieldKind::AutoInc:
                AppendNumber(buf, column.Cell(slot).i);
                break;
            case TFieldKind::Boolean:
                buf.append(column.Cell(slot).i != 0 ? "True" : "False");
                break;
            case TFieldKind::Float:
                AppendDouble(buf, column.Cell(slot).d);
                break;
            case TFieldKind::Currency:
                AppendCurrency(buf, column.Cell(slot).i);
                break;
            case TFieldKind::DateTime:
                written = AppendDateTime(buf, column.Cell(slot).d);
                break;
            case TFieldKind::Time:
                written = AppendTime(buf, column.Cell(slot).d);
                break;
            case TFieldKind::Blob:
                AppendHex(buf, column.Bytes(slot));
                break;
            }
            // A date-time that is no date at all (infinite, beyond year 9999)
            // goes as null rather than as a text no reader accepts.
            if (written)
                buf.push_back('\'');
            else
                buf.resize(mark);
        }
        buf.append("/>\n");
        out.FlushIfFull();
    }
    buf.append("</rs:data>\n</xml>\n");
    out.Flush();
}

QString DeviceName(const QIODevice &device)
{
    if (const auto *file = qobject_cast<const QFileDevice *>(&device))
        return file->fileName();
    return QStringLiteral("the table");
}


// ===============================================================================
// Memory for large files
// ===============================================================================
// A load touches about three times the file's size in fresh memory: the file
// itself, the parsed tree and the table. For a history file that is tens of
// thousands of pages, and first touches of pages cost more than the parsing.
// The file buffer and the tree therefore live in mappings that ask for
// transparent huge pages (one fault per 2 MiB instead of per 4 KiB) where the
// system offers them, and are released as a whole when the load ends.

constexpr std::size_t HugePage = std::size_t(2) << 20;
// Below this size the ordinary heap is as good.
constexpr std::size_t MappedFrom = std::size_t(4) << 20;

/// An anonymous read-write mapping aligned to huge pages, unmapped when it goes.
class TMapping
{
public:
    TMapping() = default;
    /// Maps size bytes (rounded up to huge pages); populate faults them all in at once.
    TMapping(std::size_t size, bool populate)
    {
        const std::size_t length = (size + HugePage - 1) / HugePage * HugePage;
        void *raw = mmap(nullptr, length + HugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (raw == MAP_FAILED)
            throw std::bad_alloc();
        // Trim to a huge-page boundary at both ends.
        const auto start = reinterpret_cast<std::uintptr_t>(raw);
        const std::uintptr_t aligned = (start + HugePage - 1) / HugePage * HugePage;
        if (aligned > start)
            munmap(raw, aligned - start);
        const std::uintptr_t tail = aligned + length;
        const std::uintptr_t end = start + length + HugePage;
        if (end > tail)
            munmap(reinterpret_cast<void *>(tail), end - tail);
        m_data = reinterpret_cast<char *>(aligned);
        m_size = length;
#ifdef MADV_HUGEPAGE
        madvise(m_data, m_size, MADV_HUGEPAGE);
#endif
#ifdef MADV_POPULATE_WRITE
        if (populate)
            madvise(m_data, m_size, MADV_POPULATE_WRITE); // a hint: on failure pages fault in as used
#else
        Q_UNUSED(populate);
#endif
    }
    TMapping(TMapping &&other) noexcept
        : m_data(std::exchange(other.m_data, nullptr))
        , m_size(std::exchange(other.m_size, 0))
    {
    }
    TMapping &operator=(TMapping &&other) noexcept
    {
        std::swap(m_data, other.m_data);
        std::swap(m_size, other.m_size);
        return *this;
    }
    TMapping(const TMapping &) = delete;
    TMapping &operator=(const TMapping &) = delete;
    ~TMapping()
    {
        if (m_data)
            munmap(m_data, m_size);
    }

    char *Data() const { return m_data; }
    std::size_t Size() const { return m_size; }
    bool Contains(const void *p) const
    {
        const auto *c = static_cast<const char *>(p);
        return m_data && c >= m_data && c < m_data + m_size;
    }

private:
    char *m_data = nullptr;
    std::size_t m_size = 0;
};

/// The bytes of a file being parsed: mapped when large, on the heap otherwise.
class TFileBuffer
{
public:
    explicit TFileBuffer(std::size_t size)
        : m_size(size)
    {
        if (size >= MappedFrom)
            m_mapping = TMapping(size, true);
        else
            m_heap.resize(size);
    }
    char *Data() { return m_mapping.Data() ? m_mapping.Data() : m_heap.data(); }
    std::size_t Size() const { return m_size; }

private:
    std::size_t m_size;
    TMapping m_mapping;
    std::vector<char> m_heap;
};

/// Memory for one parsed tree: handed out upwards from mappings and released
/// all together. The tree of a file takes about twice the file's size.
class TTreeArena
{
public:
    explicit TTreeArena(std::size_t fileSize)
        : m_chunkSize(std::min(fileSize * 2 + MappedFrom, MaxTreeBytes))
    {
    }

    void *Allocate(std::size_t size)
    {
        size = (size + 15) & ~std::size_t(15);
        if (m_chunks.empty() || m_used + size > m_chunks.back().Size()) {
            const std::size_t chunk = std::max(size, m_chunkSize);
            if (m_total + chunk > MaxTreeBytes)
                throw std::bad_alloc();
            m_chunks.emplace_back(chunk, false);
            m_total += m_chunks.back().Size();
            m_used = 0;
        }
        void *p = m_chunks.back().Data() + m_used;
        m_used += size;
        return p;
    }

    bool Owns(const void *p) const
    {
        return std::any_of(m_chunks.begin(), m_chunks.end(), [p](const TMapping &m) { return m.Contains(p); });
    }

private:
    std::size_t m_chunkSize;
    std::size_t m_used = 0;
    std::size_t m_total = 0;
    std::vector<TMapping> m_chunks;
};

// The XML library's allocator is process-wide: while a large file is parsed
// on a thread, that thread's tree goes to its arena; everything else (other
// documents, other threads) keeps using the heap.
thread_local TTreeArena *t_arena = nullptr;

void *TreeAllocate(std::size_t size)
{
    if (t_arena) {
        try {
            return t_arena->Allocate(size);
        } catch (const std::bad_alloc &) {
            return nullptr; // the parser reports out of memory
        }
    }
    return std::malloc(size);
}

void TreeDeallocate(void *p)
{
    if (!t_arena || !t_arena->Owns(p))
        std::free(p);
}

/// Sends the tree allocations of this thread to an arena while it lives.
class TArenaScope
{
public:
    explicit TArenaScope(TTreeArena *arena)
    {
        static const bool installed = [] {
            pugi::set_memory_management_functions(TreeAllocate, TreeDeallocate);
            return true;
        }();
        Q_UNUSED(installed);
        m_previous = std::exchange(t_arena, arena);
    }
    ~TArenaScope() { t_arena = m_previous; }
    TArenaScope(const TArenaScope &) = delete;
    TArenaScope &operator=(const TArenaScope &) = delete;

private:
    TTreeArena *m_previous = nullptr;
};

// ===============================================================================
// Reading
// ===============================================================================

std::string_view LocalName(const char *name)
{
    const std::string_view n(name);
    const std::size_t colon = n.rfind(':');
    return colon == std::string_view::npos ? n : n.substr(colon + 1);
}

bool HasPrefix(const char *name)
{
    return std::strchr(name, ':') != nullptr;
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trimmed(std::string_view v)
{
    while (!v.empty() && IsSpace(v.front()))
        v.remove_prefix(1);
    while (!v.empty() && IsSpace(v.back()))
        v.remove_suffix(1);
    return v;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = char(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

enum class TParse { Ok, Invalid, OutOfRange };

TParse ParseInteger(std::string_view v, std::int64_t min, std::int64_t max, std::int64_t &out)
{
    v = Trimmed(v);
    bool negative = false;
    if (!v.empty() && (v.front() == '-' || v.front() == '+')) {
        negative = v.front() == '-';
        v.remove_prefix(1);
    }
    if (v.empty())
        return TParse::Invalid;
    std::int64_t magnitude = 0;
    bool overflow = false;
    for (const char c : v) {
        if (c < '0' || c > '9')
            return TParse::Invalid;
        if (magnitude > (std::numeric_limits<std::int64_t>::max() - 9) / 10)
            overflow = true;
        else
            magnitude = magnitude * 10 + (c - '0');
    }
    if (overflow)
        return TParse::OutOfRange;
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < min || value > max)
        return TParse::OutOfRange;
    out = value;
    return TParse::Ok;
}

TParse ParseBoolean(std::string_view v, std::int64_t &out)
{
    v = Trimmed(v);
    if (EqualsIgnoringCase(v, "true") || v == "1" || v == "-1")
        out = 1;
    else if (EqualsIgnoringCase(v, "false") || v == "0")
        out = 0;
    else
        return TParse::Invalid;
    return TParse::Ok;
}

TParse ParseDouble(std::string_view v, double &out)
{
    v = Trimmed(v);
    // from_chars takes no leading '+'; one is allowed, but not before another sign.
    if (!v.empty() && v.front() == '+') {
        v.remove_prefix(1);
        if (!v.empty() && (v.front() == '+' || v.front() == '-'))
            return TParse::Invalid;
    }
    double value = 0;
    const auto result = std::from_chars(v.data(), v.data() + v.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        return TParse::OutOfRange;
    if (result.ec != std::errc() || result.ptr != v.data() + v.size())
        return TParse::Invalid;
    out = value;
    return TParse::Ok;
}

/// Exact decimal to currency units; more than four decimals round half away
/// from zero. The exponent form is read through a double.
TParse ParseCurrency(std::string_view v, std::int64_t &out)
{
    v = Trimmed(v);
    if (v.find_first_of("eE") != std::string_view::npos) {
        double d = 0;
        const TParse parsed = ParseDouble(v, d);
        if (parsed != TParse::Ok)
            return parsed;
        if (!std::isfinite(d) || std::fabs(d) > 9e14)
            return TParse::OutOfRange;
        out = TCurrency::FromDouble(d).Units();
        return TParse::Ok;
    }
    bool negative = false;
    if (!v.empty() && (v.front() == '-' || v.front() == '+')) {
        negative = v.front() == '-';
        v.remove_prefix(1);
    }
    // The magnitude is built unsigned so the whole range of units, down to
    // the most negative, reads back exactly.
    constexpr auto maxWhole = std::uint64_t(std::numeric_limits<std::int64_t>::max() / TCurrency::Scale) + 1;
    std::uint64_t whole = 0;
    std::uint64_t fraction = 0;
    int fractionDigits = 0;
    bool roundUp = false;
    bool anyDigit = false;
    bool inFraction = false;
    for (const char c : v) {
        if (c == '.' && !inFraction) {
            inFraction = true;
            continue;
        }
        if (c < '0' || c > '9')
            return TParse::Invalid;
        anyDigit = true;
        const auto digit = unsigned(c - '0');
        if (!inFraction) {
            whole = whole * 10 + digit;
            if (whole > maxWhole)
                return TParse::OutOfRange;
        } else if (fractionDigits < 4) {
            fraction = fraction * 10 + digit;
            ++fractionDigits;
        } else if (fractionDigits == 4) {
            roundUp = digit >= 5;
            ++fractionDigits;
        }
    }
    if (!anyDigit)
        return TParse::Invalid;
    for (int d = std::min(fractionDigits, 4); d < 4; ++d)
        fraction *= 10;
    const std::uint64_t magnitude = whole * std::uint64_t(TCurrency::Scale) + fraction + (roundUp ? 1 : 0);
    const std::uint64_t limit = std::uint64_t(std::numeric_limits<std::int64_t>::max()) + (negative ? 1 : 0);
    if (magnitude > limit)
        return TParse::OutOfRange;
    out = negative ? std::int64_t(0 - magnitude) : std::int64_t(magnitude);
    return TParse::Ok;
}

bool TakeDigits(std::string_view &v, std::size_t count, unsigned &out)
{
    if (v.size() < count)
        return false;
    unsigned value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (v[i] < '0' || v[i] > '9')
            return false;
        value = value * 10 + unsigned(v[i] - '0');
    }
    out = value;
    v.remove_prefix(count);
    return true;
}

/// h[h]:mm[:ss[.fraction]] to milliseconds of the day (86400000 when the
/// fraction rounds up past 23:59:59.999). Consumes what it reads.
TParse TakeTimeOfDay(std::string_view &v, std::int64_t &ms)
{
    unsigned h = 0;
    unsigned m = 0;
    unsigned s = 0;
    const bool twoDigitHour = v.size() >= 2 && v[1] >= '0' && v[1] <= '9';
    if (!TakeDigits(v, twoDigitHour ? 2 : 1, h) || v.empty() || v.front() != ':')
        return TParse::Invalid;
    v.remove_prefix(1);
    if (!TakeDigits(v, 2, m))
        return TParse::Invalid;
    if (!v.empty() && v.front() == ':') {
        v.remove_prefix(1);
        if (!TakeDigits(v, 2, s))
            return TParse::Invalid;
    }
    unsigned fraction = 0;
    if (!v.empty() && v.front() == '.') {
        v.remove_prefix(1);
        std::size_t digits = 0;
        bool roundUp = false;
        while (!v.empty() && v.front() >= '0' && v.front() <= '9') {
            const unsigned digit = unsigned(v.front() - '0');
            if (digits < 3)
                fraction = fraction * 10 + digit;
            else if (digits == 3)
                roundUp = digit >= 5;
            ++digits;
            v.remove_prefix(1);
        }
        if (digits == 0)
            return TParse::Invalid;
        for (std::size_t d = digits; d < 3; ++d)
            fraction *= 10;
        fraction += roundUp ? 1 : 0;
    }
    if (h > 23 || m > 59 || s > 59)
        return TParse::OutOfRange;
    ms = ((std::int64_t(h) * 60 + m) * 60 + s) * 1000 + fraction;
    return TParse::Ok;
}

/// yyyy-mm-dd with an optional time (after 'T' or a blank) and trailing 'Z';
/// a time alone means day 0. Gives the day number and milliseconds of the day.
TParse TakeDateTime(std::string_view v, std::int64_t &day, std::int64_t &ms)
{
    v = Trimmed(v);
    if (!v.empty() && (v.back() == 'Z' || v.back() == 'z'))
        v.remove_suffix(1);
    day = 0;
    ms = 0;
    if (v.size() >= 3 && (v[1] == ':' || v[2] == ':')) {
        const TParse parsed = TakeTimeOfDay(v, ms);
        return parsed != TParse::Ok ? parsed : v.empty() ? TParse::Ok : TParse::Invalid;
    }
    unsigned y = 0;
    unsigned mo = 0;
    unsigned d = 0;
    if (!TakeDigits(v, 4, y) || v.empty() || v.front() != '-')
        return TParse::Invalid;
    v.remove_prefix(1);
    if (!TakeDigits(v, 2, mo) || v.empty() || v.front() != '-')
        return TParse::Invalid;
    v.remove_prefix(1);
    if (!TakeDigits(v, 2, d))
        return TParse::Invalid;
    if (!v.empty()) {
        if (v.front() != 'T' && v.front() != 't' && v.front() != ' ')
            return TParse::Invalid;
        v.remove_prefix(1);
        const TParse parsed = TakeTimeOfDay(v, ms);
        if (parsed != TParse::Ok)
            return parsed;
        if (!v.empty())
            return TParse::Invalid;
    }
    if (y < 1 || mo < 1 || mo > 12 || d < 1 || d > DaysInMonth(int(y), mo))
        return TParse::OutOfRange;
    day = DaysFromCivil(y, mo, d) - EpochFromUnix;
    return TParse::Ok;
}

TParse ParseDateTime(std::string_view v, double &out)
{
    std::int64_t day = 0;
    std::int64_t ms = 0;
    const TParse parsed = TakeDateTime(v, day, ms);
    if (parsed != TParse::Ok)
        return parsed;
    if (ms >= MSecsPerDay) {
        ms -= MSecsPerDay;
        ++day;
    }
    if (day > MaxDay)
        return TParse::OutOfRange;
    // Before day 0 the fraction still counts forward from midnight.
    const double time = double(ms) / double(MSecsPerDay);
    out = day < 0 ? double(day) - time : double(day) + time;
    return TParse::Ok;
}

TParse ParseTime(std::string_view v, double &out)
{
    std::int64_t day = 0;
    std::int64_t ms = 0;
    const TParse parsed = TakeDateTime(v, day, ms);
    if (parsed != TParse::Ok)
        return parsed;
    out = ms >= MSecsPerDay ? 0.0 : double(ms) / double(MSecsPerDay);
    return TParse::Ok;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

TParse ParseHex(std::string_view v, QByteArray &out)
{
    out.clear();
    out.reserve(qsizetype(v.size() / 2));
    int high = -1;
    for (const char c : v) {
        if (IsSpace(c))
            continue;
        const int digit = HexDigit(c);
        if (digit < 0)
            return TParse::Invalid;
        if (high < 0) {
            high = digit;
        } else {
            out.append(char((high << 4) | digit));
            high = -1;
        }
    }
    return high < 0 ? TParse::Ok : TParse::Invalid;
}

/// A column as the file's schema declares it.
struct TFileColumn
{
    const char *attribute = nullptr; ///< name of the row attribute
    QString name;                    ///< the column's name (rs:name, or the attribute's)
    bool supported = false;          ///< whether the data type maps to a kind
    TColumnDef def;                  ///< kind and size the data type maps to
    QString dataType;                ///< dt:type as written, for messages
    const char *where = nullptr;     ///< position of the declaration, for messages
    int target = -1;                 ///< result column, -1 when the column is ignored
    TColumn *column = nullptr;
    std::uint64_t seen = 0;          ///< last row element that gave this column
    std::unordered_map<std::string_view, std::uint32_t> texts; ///< text as read -> pool index
};

/// Attribute of a node by local name: prefixed (dt:type, rs:name) or not (name).
pugi::xml_attribute FindAttribute(const pugi::xml_node &node, std::string_view local, bool prefixed)
{
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        if (HasPrefix(a.name()) == prefixed && LocalName(a.name()) == local)
            return a;
    }
    return {};
}

pugi::xml_node FindChild(const pugi::xml_node &node, std::string_view local)
{
    for (pugi::xml_node n = node.first_child(); n; n = n.next_sibling()) {
        if (n.type() == pugi::node_element && LocalName(n.name()) == local)
            return n;
    }
    return {};
}

/// Maps an ADO data type to a kind: strings by length (long ones and those
/// without a length are memos), the integer widths, floats, currency, dates,
/// times and binary.
bool MapDataType(std::string_view type, std::string_view dbtype, std::string_view maxLength, bool isLong,
                 bool autoIncrement, TColumnDef &def)
{
    std::int64_t length = -1;
    if (!maxLength.empty() && ParseInteger(maxLength, 0, std::numeric_limits<std::int64_t>::max(), length)
                                  != TParse::Ok)
        length = -1;
    if (type == "string" || type == "char") {
        if (isLong || length <= 0 || length > std::numeric_limits<int>::max() / 2) {
            def.kind = TFieldKind::Memo;
        } else {
            def.kind = TFieldKind::String;
            def.size = int(length);
        }
    } else if (type == "int" || type == "i4" || type == "ui2") {
        def.kind = autoIncrement ? TFieldKind::AutoInc : TFieldKind::Integer;
    } else if (type == "i2" || type == "i1" || type == "ui1") {
        def.kind = TFieldKind::SmallInt;
    } else if (type == "boolean") {
        def.kind = TFieldKind::Boolean;
    } else if (type == "float" || type == "r8" || type == "r4") {
        def.kind = TFieldKind::Float;
    } else if (type == "number") {
        def.kind = dbtype == "currency" ? TFieldKind::Currency : TFieldKind::Float;
    } else if (type == "dateTime" || type == "dateTime.tz" || type == "date") {
        def.kind = TFieldKind::DateTime;
    } else if (type == "time" || type == "time.tz") {
        def.kind = TFieldKind::Time;
    } else if (type == "bin.hex") {
        def.kind = TFieldKind::Blob;
    } else {
        return false;
    }
    return true;
}

class TReader
{
public:
    /// buffer is parsed in place; original, when given, is its unparsed image
    /// (for line numbers), otherwise the file at path is read again for them.
    TReader(char *buffer, std::size_t size, QString sourceName, const QByteArray *original, QString path)
        : m_base(buffer)
        , m_size(size)
        , m_sourceName(std::move(sourceName))
        , m_original(original)
        , m_path(std::move(path))
    {
    }

    std::shared_ptr<TTableData> Run(const std::vector<TColumnDef> &definition)
    {
        // A byte order mark is allowed and skipped; offsets stay file offsets.
        if (m_size >= 3 && std::memcmp(m_base, "\xEF\xBB\xBF", 3) == 0)
            m_skip = 3;
        // The arena outlives the tree: declared first, released last.
        std::optional<TTreeArena> arena;
        if (m_size >= MappedFrom)
            arena.emplace(m_size);
        const TArenaScope scope(arena ? &*arena : nullptr);
        pugi::xml_document doc;
        // Entities are only the predefined and numeric ones; a DTD is parsed
        // only to be refused, so nothing is ever expanded.
        const unsigned options =
            pugi::parse_escapes | pugi::parse_wconv_attribute | pugi::parse_eol | pugi::parse_doctype;
        const pugi::xml_parse_result parsed =
            doc.load_buffer_inplace(m_base + m_skip, m_size - m_skip, options, pugi::encoding_utf8);
        if (parsed.status == pugi::status_out_of_memory)
            FailAt(std::ptrdiff_t(m_skip) + parsed.offset, QStringLiteral("there is not enough memory to load it"));
        if (!parsed)
            FailAt(std::ptrdiff_t(m_skip) + parsed.offset,
                   QStringLiteral("malformed XML (%1)").arg(QString::fromLatin1(parsed.description())));

        pugi::xml_node root;
        for (pugi::xml_node n = doc.first_child(); n; n = n.next_sibling()) {
            if (n.type() == pugi::node_doctype)
                Fail(n.value(), QStringLiteral("a DOCTYPE declaration is not allowed"));
            if (n.type() != pugi::node_element)
                continue;
            if (root)
                Fail(n.name(), QStringLiteral("there is more than one root element"));
            root = n;
        }
        if (LocalName(root.name()) != "xml")
            Fail(root.name(), QStringLiteral("the root element is <%1>, not <xml>").arg(QString::fromUtf8(root.name())));

        ReadSchema(root);
        const auto table = std::make_shared<TTableData>(BindColumns(definition));
        for (auto &column : m_columns) {
            if (column.target >= 0)
                column.column = &table->Column(column.target);
        }
        const pugi::xml_node data = FindChild(root, "data");
        if (data) {
            m_maxRows = std::min(MaxRows, MaxCells / std::size_t(std::max(table->ColumnCount(), 1)));
            const std::size_t count = CountRows(data);
            const std::uint32_t first = count ? table->AppendRows(count) : 0;
            const std::uint32_t end = ReadRows(data, first);
            Q_ASSERT(end == first + count);
            Q_UNUSED(end);
        }
        return table;
    }

private:
    [[noreturn]] void Fail(const char *where, const QString &what) const
    {
        const char *start = m_base + m_skip;
        if (where && where >= start && where <= m_base + m_size)
            FailAt(where - m_base, what);
        throw EDatabaseError(QStringLiteral("Cannot load %1: %2").arg(m_sourceName, what));
    }

    [[noreturn]] void FailAt(std::ptrdiff_t offset, const QString &what) const
    {
        throw EDatabaseError(
            QStringLiteral("Cannot load %1, line %2: %3").arg(m_sourceName, QString::number(LineOf(offset)), what));
    }

    /// Line of a file offset, counted in the unparsed image (parsing in place
    /// overwrites some line breaks): the caller's bytes, or the file read again
    /// up to the offset. Only runs on the way to an error.
    qint64 LineOf(std::ptrdiff_t offset) const
    {
        const auto end = std::size_t(std::max<std::ptrdiff_t>(offset, 0));
        if (m_original) {
            const char *text = m_original->constData();
            return 1 + std::count(text, text + std::min(end, std::size_t(m_original->size())), '\n');
        }
        QFile file(m_path);
        if (file.open(QIODevice::ReadOnly) && file.size() == qint64(m_size)) {
            qint64 lines = 1;
            std::size_t done = 0;
            char chunk[65536];
            while (done < end) {
                const qint64 got = file.read(chunk, qint64(std::min(sizeof chunk, end - done)));
                if (got <= 0)
                    break;
                lines += std::count(chunk, chunk + got, '\n');
                done += std::size_t(got);
            }
            if (done == end)
                return lines;
        }
        // The file changed meanwhile: count in the parsed buffer, which is near enough.
        return 1 + std::count(m_base, m_base + std::min(end, m_size), '\n');
    }

    static QString Excerpt(std::string_view value)
    {
        constexpr std::size_t Shown = 40;
        QString text = QString::fromUtf8(value.data(), qsizetype(std::min(value.size(), Shown)));
        if (value.size() > Shown)
            text += u'…';
        return text;
    }

    void ReadSchema(const pugi::xml_node &root)
    {
        const pugi::xml_node schema = FindChild(root, "Schema");
        if (!schema)
            Fail(root.name(), QStringLiteral("the file has no schema"));
        const pugi::xml_node rowType = FindChild(schema, "ElementType");
        if (!rowType)
            Fail(schema.name(), QStringLiteral("the schema declares no row type"));
        for (pugi::xml_node n = rowType.first_child(); n; n = n.next_sibling()) {
            if (n.type() != pugi::node_element || LocalName(n.name()) != "AttributeType")
                continue;
            if (m_columns.size() >= std::size_t(MaxColumns))
                Fail(n.name(), QStringLiteral("the schema declares more than %1 columns").arg(MaxColumns));
            TFileColumn column;
            column.where = n.name();
            const pugi::xml_attribute attribute = FindAttribute(n, "name", false);
            if (!attribute || !*attribute.value())
                Fail(n.name(), QStringLiteral("a column of the schema has no name"));
            column.attribute = attribute.value();
            const pugi::xml_attribute alias = FindAttribute(n, "name", true);
            column.name = QString::fromUtf8(alias ? alias.value() : attribute.value());
            if (m_byAttribute.count(column.attribute))
                Fail(n.name(), QStringLiteral("the column '%1' is declared twice").arg(column.name));

            // The data type sits in s:datatype, or on the declaration itself.
            const pugi::xml_node datatype = FindChild(n, "datatype");
            auto typeAttribute = [&](std::string_view local) {
                pugi::xml_attribute a = datatype ? FindAttribute(datatype, local, true) : pugi::xml_attribute();
                return a ? a : FindAttribute(n, local, true);
            };
            const std::string_view type = typeAttribute("type").value();
            column.dataType = QString::fromUtf8(type.data(), qsizetype(type.size()));
            const bool isLong = EqualsIgnoringCase(Trimmed(typeAttribute("long").value()), "true");
            const bool autoIncrement =
                EqualsIgnoringCase(Trimmed(FindAttribute(n, "autoincrement", true).value()), "true");
            column.def.name = column.name;
            column.supported = MapDataType(type, typeAttribute("dbtype").value(), typeAttribute("maxLength").value(),
                                           isLong, autoIncrement, column.def);
            m_byAttribute.emplace(column.attribute, int(m_columns.size()));
            m_columns.push_back(std::move(column));
        }
        m_maxAttributes = int(m_columns.size()) + ExtraRowAttributes;
    }

    /// The result's columns, and which file column feeds each.
    std::vector<TColumnDef> BindColumns(const std::vector<TColumnDef> &definition)
    {
        std::vector<TColumnDef> defs;
        if (definition.empty()) {
            for (std::size_t i = 0; i < m_columns.size(); ++i) {
                TFileColumn &column = m_columns[i];
                if (!column.supported) {
                    Fail(column.where, column.dataType.isEmpty()
                                           ? QStringLiteral("the column '%1' has no data type").arg(column.name)
                                           : QStringLiteral("the column '%1' has the unsupported data type '%2'")
                                                 .arg(column.name, column.dataType));
                }
                for (const TColumnDef &def : defs) {
                    if (def.name.compare(column.name, Qt::CaseInsensitive) == 0)
                        Fail(column.where, QStringLiteral("the column '%1' is declared twice").arg(column.name));
                }
                column.target = int(i);
                defs.push_back(column.def);
            }
        } else {
            defs = definition;
            std::vector<std::uint8_t> bound(defs.size(), 0);
            for (TFileColumn &column : m_columns) {
                for (std::size_t i = 0; i < defs.size(); ++i) {
                    if (!bound[i] && defs[i].name.compare(column.name, Qt::CaseInsensitive) == 0) {
                        column.target = int(i);
                        bound[i] = 1;
                        break;
                    }
                }
            }
        }
        return defs;
    }

    bool IsRow(const pugi::xml_node &n) const { return LocalName(n.name()) == "row"; }

    /// Rows the data section yields: plain and inserted rows, one per update.
    std::size_t CountRows(const pugi::xml_node &data) const
    {
        std::size_t count = 0;
        const auto counted = [&](const pugi::xml_node &n) {
            if (++count > m_maxRows)
                Fail(n.name(), QStringLiteral("the file holds more than %1 rows").arg(m_maxRows));
        };
        for (pugi::xml_node n = data.first_child(); n; n = n.next_sibling()) {
            if (n.type() != pugi::node_element)
                continue;
            const std::string_view local = LocalName(n.name());
            if (local == "row") {
                counted(n);
            } else if (local == "insert") {
                for (pugi::xml_node r = n.first_child(); r; r = r.next_sibling()) {
                    if (r.type() != pugi::node_element)
                        continue;
                    if (!IsRow(r))
                        Fail(r.name(), QStringLiteral("unexpected element <%1> in an insert section")
                                           .arg(QString::fromUtf8(r.name())));
                    counted(r);
                }
            } else if (local == "update") {
                bool any = false;
                for (pugi::xml_node r = n.first_child(); r; r = r.next_sibling()) {
                    if (r.type() != pugi::node_element)
                        continue;
                    const std::string_view inner = LocalName(r.name());
                    if (inner == "row")
                        any = true;
                    else if (inner == "original")
                        any = any || FindChild(r, "row");
                    else
                        Fail(r.name(), QStringLiteral("unexpected element <%1> in an update section")
                                           .arg(QString::fromUtf8(r.name())));
                }
                if (!any)
                    Fail(n.name(), QStringLiteral("an update section holds no row"));
                counted(n);
            } else if (local != "delete") {
                Fail(n.name(), QStringLiteral("unexpected element <%1> in the data").arg(QString::fromUtf8(n.name())));
            }
        }
        return count;
    }

    std::uint32_t ReadRows(const pugi::xml_node &data, std::uint32_t slot)
    {
        for (pugi::xml_node n = data.first_child(); n; n = n.next_sibling()) {
            if (n.type() != pugi::node_element)
                continue;
            const std::string_view local = LocalName(n.name());
            if (local == "row") {
                ReadRow(n, slot++);
            } else if (local == "insert") {
                for (pugi::xml_node r = n.first_child(); r; r = r.next_sibling()) {
                    if (r.type() == pugi::node_element)
                        ReadRow(r, slot++);
                }
            } else if (local == "update") {
                // The original values, overlaid by the new row (which may list
                // only the columns that changed).
                if (const pugi::xml_node original = FindChild(n, "original"))
                    if (const pugi::xml_node row = FindChild(original, "row"))
                        ReadRow(row, slot);
                for (pugi::xml_node r = n.first_child(); r; r = r.next_sibling()) {
                    if (r.type() == pugi::node_element && IsRow(r))
                        ReadRow(r, slot);
                }
                ++slot;
            }
            // Deleted rows are left out.
        }
        return slot;
    }

    int ColumnOf(const char *attribute)
    {
        // Rows normally list their attributes in schema order.
        const std::size_t guess = std::size_t(m_lastColumn + 1);
        if (guess < m_columns.size() && std::strcmp(m_columns[guess].attribute, attribute) == 0)
            return m_lastColumn = int(guess);
        const auto found = m_byAttribute.find(std::string_view(attribute));
        if (found == m_byAttribute.end())
            return -1;
        return m_lastColumn = found->second;
    }

    void ReadRow(const pugi::xml_node &row, std::uint32_t slot)
    {
        const std::uint64_t stamp = ++m_elements;
        m_lastColumn = -1;
        int count = 0;
        for (pugi::xml_attribute a = row.first_attribute(); a; a = a.next_attribute()) {
            if (++count > m_maxAttributes)
                Fail(a.name(), QStringLiteral("a row has more attributes than the schema has columns"));
            const int index = ColumnOf(a.name());
            if (index < 0) {
                if (HasPrefix(a.name()))
                    continue;
                Fail(a.name(), QStringLiteral("the row attribute '%1' is not a column of the schema")
                                   .arg(Excerpt(a.name())));
            }
            TFileColumn &column = m_columns[std::size_t(index)];
            if (column.seen == stamp)
                Fail(a.name(), QStringLiteral("the column '%1' is given twice in a row").arg(column.name));
            column.seen = stamp;
            if (column.column)
                Store(column, slot, a.value());
        }
    }

    void Store(TFileColumn &file, std::uint32_t slot, const char *text)
    {
        TColumn &column = *file.column;
        const std::string_view value(text);
        if (value.size() > MaxValueBytes)
            Fail(text, QStringLiteral("the value of the column '%1' is longer than %2 MiB")
                           .arg(column.Def().name, QString::number(MaxValueMiB)));
        const TFieldKind kind = column.Def().kind;
        TParse parsed = TParse::Ok;
        switch (kind) {
        case TFieldKind::String:
        case TFieldKind::Memo: {
            const auto found = file.texts.find(value);
            if (found != file.texts.end()) {
                column.SetTextIndex(slot, found->second);
            } else {
                column.SetText(slot, QString::fromUtf8(value.data(), qsizetype(value.size())));
                file.texts.emplace(value, column.TextIndex(slot));
            }
            return;
        }
        case TFieldKind::Integer:
        case TFieldKind::AutoInc:
        case TFieldKind::SmallInt: {
            const bool small = kind == TFieldKind::SmallInt;
            std::int64_t v = 0;
            parsed = ParseInteger(value, small ? std::numeric_limits<std::int16_t>::min()
                                               : std::numeric_limits<std::int32_t>::min(),
                                  small ? std::numeric_limits<std::int16_t>::max()
                                        : std::numeric_limits<std::int32_t>::max(),
                                  v);
            if (parsed == TParse::Ok)
                column.SetInt(slot, v);
            break;
        }
        case TFieldKind::Boolean: {
            std::int64_t v = 0;
            parsed = ParseBoolean(value, v);
            if (parsed == TParse::Ok)
                column.SetInt(slot, v);
            break;
        }
        case TFieldKind::Float: {
            double v = 0;
            parsed = ParseDouble(value, v);
            if (parsed == TParse::Ok)
                column.SetDouble(slot, v);
            break;
        }
        case TFieldKind::Currency: {
            std::int64_t v = 0;
            parsed = ParseCurrency(value, v);
            if (parsed == TParse::Ok)
                column.SetInt(slot, v);
            break;
        }
        case TFieldKind::DateTime: {
            double v = 0;
            parsed = ParseDateTime(value, v);
            if (parsed == TParse::Ok)
                column.SetDouble(slot, v);
            break;
        }
        case TFieldKind::Time: {
            double v = 0;
            parsed = ParseTime(value, v);
            if (parsed == TParse::Ok)
                column.SetDouble(slot, v);
            break;
        }
        case TFieldKind::Blob: {
            QByteArray bytes;
            parsed = ParseHex(value, bytes);
            if (parsed == TParse::Ok)
                column.SetBytes(slot, bytes);
            break;
        }
        }
        if (parsed == TParse::Invalid)
            Fail(text, QStringLiteral("'%1' is not a valid %2 for the column '%3'")
                           .arg(Excerpt(value), FieldKindName(kind), column.Def().name));
        if (parsed == TParse::OutOfRange)
            Fail(text, QStringLiteral("'%1' is out of range for the %2 column '%3'")
                           .arg(Excerpt(value), FieldKindName(kind), column.Def().name));
    }

    char *m_base;
    std::size_t m_size;
    std::size_t m_skip = 0;
    QString m_sourceName;
    const QByteArray *m_original;
    QString m_path;
    std::vector<TFileColumn> m_columns;
    std::unordered_map<std::string_view, int> m_byAttribute;
    int m_maxAttributes = ExtraRowAttributes;
    std::size_t m_maxRows = MaxRows;
    int m_lastColumn = -1;
    std::uint64_t m_elements = 0;
};

} // namespace

void Write(QIODevice &out, const TTableData &data, const std::vector<std::uint32_t> &rowSlots)
{
    WriteImpl(out, data, rowSlots, QStringLiteral("Cannot write %1").arg(DeviceName(out)));
}

void WriteFile(const QString &path, const TTableData &data, const std::vector<std::uint32_t> &rowSlots)
{
    const QString failure = QStringLiteral("Cannot save %1").arg(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw EDatabaseError(failure + QStringLiteral(": ") + file.errorString());
    // On any failure the temporary file is dropped with the QSaveFile and the
    // previous file stays as it was.
    WriteImpl(file, data, rowSlots, failure);
    if (file.error() != QFileDevice::NoError)
        throw EDatabaseError(failure + QStringLiteral(": ") + file.errorString());
    if (!file.commit())
        throw EDatabaseError(failure + QStringLiteral(": ") + file.errorString());
}

std::shared_ptr<TTableData> Read(const QByteArray &bytes, const QString &sourceName,
                                 const std::vector<TColumnDef> &definition)
{
    if (bytes.size() > MaxFileBytes)
        throw EDatabaseError(
            QStringLiteral("Cannot load %1: it is larger than %2 MiB").arg(sourceName, QString::number(MaxFileBytes >> 20)));
    TFileBuffer buffer(std::size_t(bytes.size()));
    if (buffer.Size() > 0)
        std::memcpy(buffer.Data(), bytes.constData(), buffer.Size());
    return TReader(buffer.Data(), buffer.Size(), sourceName, &bytes, QString()).Run(definition);
}

std::shared_ptr<TTableData> ReadFile(const QString &path, const std::vector<TColumnDef> &definition)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EDatabaseError(QStringLiteral("Cannot load %1: %2").arg(path, file.errorString()));
    const qint64 size = file.size();
    if (size > MaxFileBytes)
        throw EDatabaseError(
            QStringLiteral("Cannot load %1: it is larger than %2 MiB").arg(path, QString::number(MaxFileBytes >> 20)));
    // Read straight into the buffer that is parsed in place: one copy of the file in memory.
    TFileBuffer buffer((std::size_t(size)));
    const qint64 got = size > 0 ? file.read(buffer.Data(), size) : 0;
    if (got != size)
        throw EDatabaseError(QStringLiteral("Cannot load %1: %2").arg(path, file.errorString()));
    file.close();
    return TReader(buffer.Data(), buffer.Size(), path, nullptr, path).Run(definition);
}

} // namespace RecordsetXml
