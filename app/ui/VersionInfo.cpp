#include "app/ui/VersionInfo.h"

#include "ZelbraVersionRecord.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>

const QStringList &VersionKeys()
{
    static const QStringList keys{
        QStringLiteral("FileVersion"),      QStringLiteral("CompanyName"),
        QStringLiteral("FileDescription"),  QStringLiteral("InternalName"),
        QStringLiteral("LegalCopyright"),   QStringLiteral("LegalTradeMarks"),
        QStringLiteral("OriginalFileName"), QStringLiteral("ProductName"),
        QStringLiteral("ProductVersion"),   QStringLiteral("Comments"),
        QStringLiteral("CurrentProgramVersion"), QStringLiteral("CurrentDatabaseVersion"),
        QStringLiteral("VersionDetails")};
    return keys;
}

const TVersionRecord &ProgramVersionRecord()
{
    static const TVersionRecord record{
        {QStringLiteral("FileVersion"), QStringLiteral(ZELBRA_VR_FILE_VERSION)},
        {QStringLiteral("CompanyName"), QStringLiteral(ZELBRA_VR_COMPANY_NAME)},
        {QStringLiteral("FileDescription"), QStringLiteral(ZELBRA_VR_FILE_DESCRIPTION)},
        {QStringLiteral("InternalName"), QStringLiteral(ZELBRA_VR_INTERNAL_NAME)},
        {QStringLiteral("LegalCopyright"), QStringLiteral(ZELBRA_VR_LEGAL_COPYRIGHT)},
        {QStringLiteral("LegalTradeMarks"), QStringLiteral(ZELBRA_VR_LEGAL_TRADEMARKS)},
        {QStringLiteral("OriginalFileName"), QStringLiteral(ZELBRA_VR_ORIGINAL_FILE_NAME)},
        {QStringLiteral("ProductName"), QStringLiteral(ZELBRA_VR_PRODUCT_NAME)},
        {QStringLiteral("ProductVersion"), QStringLiteral(ZELBRA_VR_PRODUCT_VERSION)},
        {QStringLiteral("Comments"), QStringLiteral(ZELBRA_VR_COMMENTS)},
    };
    return record;
}

namespace {

bool IsRunningExecutable(const QString &fileName)
{
    if (fileName.isEmpty())
        return true;
    const QString running = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    const QString asked = QFileInfo(fileName).canonicalFilePath();
    return !asked.isEmpty() && asked == running;
}

} // namespace

void GetProjectVersionInfo(QStringList &AVersionList, const QString &fileName, bool bIncludeName)
{
    AVersionList.clear();
    if (!IsRunningExecutable(fileName))
        return;
    GetProjectVersionInfo(AVersionList, ProgramVersionRecord(), bIncludeName);
}

void GetProjectVersionInfo(QStringList &AVersionList, const TVersionRecord &record, bool bIncludeName)
{
    AVersionList.clear();
    for (const QString &key : VersionKeys()) {
        const auto entry = std::find_if(record.cbegin(), record.cend(),
                                        [&key](const QPair<QString, QString> &item) { return item.first == key; });
        if (entry == record.cend())
            continue;
        AVersionList.append(bIncludeName ? key + QLatin1Char('=') + entry->second : entry->second);
    }
}

QString VersionListValue(const QStringList &versionList, int position)
{
    return position >= 0 && position < versionList.size() ? versionList.at(position) : QString();
}
