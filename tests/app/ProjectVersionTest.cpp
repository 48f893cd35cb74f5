// The version record read as a list: key order, names, missing keys, and files
// that have no record.
#include "app/ui/VersionInfo.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

TEST(ProjectVersion, ProgramRecordGivesTheFirstTenKeysInOrder)
{
    QStringList values{QStringLiteral("left over")};
    GetProjectVersionInfo(values, QString(), false);
    ASSERT_EQ(values.size(), 10);
    EXPECT_EQ(values[vpProductName], QStringLiteral("Zelbra"));
    EXPECT_EQ(values[vpCompanyName], QStringLiteral("Korvanti"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+\\.\\d+$")).match(values[vpFileVersion]).hasMatch())
        << values[vpFileVersion].toStdString();
    EXPECT_FALSE(values[vpProductVersion].isEmpty());
    EXPECT_TRUE(values[vpFileVersion].startsWith(values[vpProductVersion]));
    EXPECT_TRUE(values[vpLegalCopyright].contains(QStringLiteral("Korvanti")));

    QStringList named;
    GetProjectVersionInfo(named, QString(), true);
    ASSERT_EQ(named.size(), 10);
    EXPECT_EQ(named[0], QStringLiteral("FileVersion=") + values[vpFileVersion]);
    for (int position = 0; position < named.size(); ++position)
        EXPECT_EQ(named[position], VersionKeys()[position] + QLatin1Char('=') + values[position]);
    EXPECT_EQ(named[vpLegalTradeMarks], QStringLiteral("LegalTradeMarks="));
}

TEST(ProjectVersion, RunningExecutableByNameIsTheProgramRecordAndOtherFilesHaveNone)
{
    QStringList byName;
    GetProjectVersionInfo(byName, QCoreApplication::applicationFilePath(), false);
    QStringList running;
    GetProjectVersionInfo(running, QString(), false);
    EXPECT_EQ(byName, running);

    QStringList other{QStringLiteral("left over")};
    GetProjectVersionInfo(other, QStringLiteral("/bin/sh"), true);
    EXPECT_TRUE(other.isEmpty());
    GetProjectVersionInfo(other, QStringLiteral("/no/such/file.exe"), false);
    EXPECT_TRUE(other.isEmpty());
}

TEST(ProjectVersion, MissingKeyShiftsLaterValuesUp)
{
    TVersionRecord record = ProgramVersionRecord();
    record.removeIf([](const QPair<QString, QString> &entry) { return entry.first == QStringLiteral("InternalName"); });
    // Order in the record does not matter, and unknown keys are not listed.
    std::reverse(record.begin(), record.end());
    record.append({QStringLiteral("PrivateBuild"), QStringLiteral("x")});
    record.append({QStringLiteral("VersionDetails"), QStringLiteral("details")});

    QStringList values;
    GetProjectVersionInfo(values, record, false);
    ASSERT_EQ(values.size(), 10);
    EXPECT_EQ(values[4], QStringLiteral(""));          // LegalTradeMarks, empty
    EXPECT_EQ(values[6], QStringLiteral("Zelbra"));    // ProductName, one up
    EXPECT_EQ(values[9], QStringLiteral("details"));   // the last key comes last

    QStringList named;
    GetProjectVersionInfo(named, record, true);
    EXPECT_EQ(named[3], QStringLiteral("LegalCopyright=") + VersionListValue(values, 3));
    EXPECT_EQ(named[4], QStringLiteral("LegalTradeMarks="));
    EXPECT_EQ(named[9], QStringLiteral("VersionDetails=details"));
}

TEST(ProjectVersion, ValueAtAPositionTheListDoesNotHaveIsEmpty)
{
    const QStringList values{QStringLiteral("a"), QStringLiteral("b")};
    EXPECT_EQ(VersionListValue(values, 1), QStringLiteral("b"));
    EXPECT_EQ(VersionListValue(values, 2), QString());
    EXPECT_EQ(VersionListValue(values, -1), QString());
    EXPECT_EQ(VersionListValue({}, vpProductVersion), QString());
}

} // namespace
