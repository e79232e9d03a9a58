#include "output/utils.h"

#include "reportdir.h"

#include <gtest/gtest.h>

// --- page and image names -------------------------------------------------------

TEST(TReportNames, PageNames_CarryPeriodOnlyForPeriodicAndAlarmPages)
{
    const QDate d1(2024, 3, 1), d3(2024, 3, 3);
    EXPECT_EQ(TReportNames::PageName(EReportKind::Per, QStringLiteral("7"), d1, d3, 15),
              QStringLiteral("per_7_20240301_20240303_0015.html"));
    EXPECT_EQ(TReportNames::PageName(EReportKind::Alm, QStringLiteral("7"), d1, d1, 5),
              QStringLiteral("alm_7_20240301_20240301_0005.html"));
    EXPECT_EQ(TReportNames::PageName(EReportKind::Prf, QStringLiteral("M01"), d1, d3, 15),
              QStringLiteral("prf_M01_20240301_20240303.html"));
    EXPECT_EQ(TReportNames::PageName(EReportKind::Cal, QStringLiteral("M01"), d1, d3, 15),
              QStringLiteral("cal_M01_20240301_20240303.html"));
    EXPECT_EQ(TReportNames::PageName(EReportKind::Sum, QStringLiteral("M01"), d1, d3, 10),
              QStringLiteral("sum_M01_20240301_20240303_0010.html"));
    // A period of more than four digits keeps all of them.
    EXPECT_EQ(TReportNames::PageName(EReportKind::Per, QStringLiteral("7"), d1, d1, 12345),
              QStringLiteral("per_7_20240301_20240301_12345.html"));
}

TEST(TReportNames, ChartNames_ZoomImagesEndWithZoomBmp)
{
    const QDate d1(2024, 3, 1), d3(2024, 3, 3);
    EXPECT_EQ(TReportNames::ChartName(EReportKind::Per, QStringLiteral("7"), d1, d3, 60, false),
              QStringLiteral("per_7_20240301_20240303_0060.bmp"));
    EXPECT_EQ(TReportNames::ChartName(EReportKind::Alm, QStringLiteral("7"), d1, d3, 60, true),
              QStringLiteral("alm_7_20240301_20240303_0060_zoom.bmp"));
    EXPECT_EQ(TReportNames::ChartName(EReportKind::Sum, QStringLiteral("7"), d1, d3, 10, false),
              QStringLiteral("sum_7_20240301_20240303_0010.bmp"));
    EXPECT_EQ(TReportNames::ChartName(EReportKind::Sum, QStringLiteral("7"), d1, d3, 10, true),
              QStringLiteral("sum_7_20240301_20240303_0010_zoom.bmp"));
    EXPECT_EQ(TReportNames::ProfileChartName(QStringLiteral("7"), d3, false),
              QStringLiteral("prf_7_20240303.bmp"));
    EXPECT_EQ(TReportNames::ProfileChartName(QStringLiteral("7"), d3, true),
              QStringLiteral("prf_7_20240303_zoom.bmp"));
}

TEST(TReportNames, Summary_LastKindWithItsOwnFolder)
{
    // The index lists the kinds in enumeration order; the older kinds keep their numbers.
    EXPECT_EQ(int(EReportKind::Cal), 3);
    EXPECT_EQ(int(EReportKind::Sum), 4);
    EXPECT_EQ(TReportNames::KindFolder(EReportKind::Sum), QStringLiteral("summaries"));
    EXPECT_EQ(TReportNames::LinkPrefix(EReportKind::Sum), QStringLiteral("summaries/"));
}

// --- number and date fields -------------------------------------------------------

TEST(DecimalNumber, DigitsOnlyAndWithinInt)
{
    EXPECT_EQ(DecimalNumber(QStringLiteral("0015")), 15);
    EXPECT_EQ(DecimalNumber(QStringLiteral("0")), 0);
    EXPECT_EQ(DecimalNumber(QStringLiteral("2147483647")), 2147483647);
    for (const char* sz :
         {"", "+15", "-5", " 15", "15 ", "1.5", "00a5", "2147483648", "99999999999999999999"})
        EXPECT_EQ(DecimalNumber(QString::fromLatin1(sz)), -1) << sz;
}

TEST(ReportDateToDate, ReadsBothForms)
{
    EXPECT_EQ(ReportDateToDate(QStringLiteral("20240305")), QDate(2024, 3, 5));
    EXPECT_EQ(ReportDateToDate(QStringLiteral("2024-03-05")), QDate(2024, 3, 5));
    EXPECT_EQ(ReportDateToDate(QStringLiteral("20240229")), QDate(2024, 2, 29));
}

TEST(ReportDateToDate, AnythingElseIsTheDayBeforeTheOrigin)
{
    for (const char* sz : {"", "2024035", "202403051", "2024-3-05", "2024/03/05", "20240230", "20231301",
                           "2024-13-01", "2O240305", "+2024030", "2024 305", "00000101", "20240000"})
        EXPECT_EQ(ReportDateToDate(QString::fromLatin1(sz)), QDate(1899, 12, 29)) << sz;
}
