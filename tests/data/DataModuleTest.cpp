// Start-up, seeding and saving of the data module.
#include "support/DataModuleFixture.h"

#include "app/core/Clock.h"
#include "app/core/DateTimeValue.h"
#include "app/core/Errors.h"
#include "data/Schema.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

TEST(DataModuleStartUp, FirstRunSeedsEveryTable)
{
    TClock::SetFixed(QDateTime(QDate(2026, 12, 9), QTime(14, 5))); // a Wednesday
    TDataModuleSandbox sandbox;
    auto dm = sandbox.Create();
    TClock::Release();

    EXPECT_TRUE(dm->SetupRequired());
    EXPECT_DOUBLE_EQ(dm->FDayDuration, 7.0);
    EXPECT_EQ(dm->FMaxJobId, 1);
    for (int d = 1; d <= 7; ++d)
        EXPECT_EQ(dm->FTotalDurationArray[std::size_t(d)], 0.0);
    EXPECT_EQ(dm->adsTaskCodes.RecordCount(), 2);
    EXPECT_EQ(dm->adsTasks.RecordCount(), 1);
    EXPECT_EQ(dm->adsUserTypes.RecordCount(), 2);
    EXPECT_EQ(dm->adsReports.RecordCount(), 4);
    EXPECT_EQ(dm->adsReporting.Data()->RowCount(), 0u) << "history starts empty (its pending new row is not stored)";
    EXPECT_EQ(dm->adsDefaults.RecordCount(), 1);
    EXPECT_EQ(dm->adsTasks.FieldByName(u"TaskCode").AsString(), QStringLiteral("GEN"));
    // The most recent Sunday counting today, at the time of day of the start.
    EXPECT_EQ(DateTimeValue::ToDateTime(dm->adsDefaults.FieldByName(u"WeekStartDate").AsDateTime()),
              QDateTime(QDate(2026, 12, 6), QTime(14, 5)));
    EXPECT_EQ(dm->adsMaxNumbers.FieldByName(u"UserId").AsInteger(), 0);
    EXPECT_EQ(dm->adsMaxNumbers.FieldByName(u"ClientId").AsInteger(), 0);
    EXPECT_EQ(dm->adsMaxNumbers.FieldByName(u"ProjectNumber").AsInteger(), 0);
    EXPECT_FALSE(dm->CreationPhase());
}
