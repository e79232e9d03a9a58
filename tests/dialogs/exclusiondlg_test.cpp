#include "dialogs/exclusiondlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

TExclusion Sample(const QString& sFrom, const QString& sTo)
{
    TExclusion ex;
    ex.sMonitor = QStringLiteral("M2");
    ex.nFrom = *TExclusion::ParseWall(sFrom);
    ex.nTo = *TExclusion::ParseWall(sTo);
    ex.eReason = TExclusion::EReason::Works;
    ex.sComment = QStringLiteral("road works");
    return ex;
}

QPushButton* Ok(TExclusionDlg& dlg)
{
    return dlg.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
}

// Wall-clock times come back to the second, also in the hour a spring clock change
// skips and across midnight, where a local-time editor would move or refuse them.
TEST(ExclusionDlg, KeepsWallClockSpansAndFields)
{
    for (const auto& [sFrom, sTo] : {std::pair{"2026-03-29 02:10:05", "2026-03-29 02:50:00"},
                                     std::pair{"2026-10-25 23:59:59", "2026-10-26 00:00:01"}}) {
        TExclusionDlg dlg(Sample(QString::fromLatin1(sFrom), QString::fromLatin1(sTo)),
                          {QStringLiteral("M1"), QStringLiteral("M2")}, nullptr);
        const TExclusion r = dlg.Result();
        EXPECT_EQ(TExclusion::WallText(r.nFrom), QString::fromLatin1(sFrom));
        EXPECT_EQ(TExclusion::WallText(r.nTo), QString::fromLatin1(sTo));
        EXPECT_EQ(r.sMonitor, QStringLiteral("M2"));
        EXPECT_EQ(r.eReason, TExclusion::EReason::Works);
        EXPECT_EQ(r.sComment, QStringLiteral("road works"));
        EXPECT_TRUE(r.slParams.isEmpty());
        EXPECT_TRUE(Ok(dlg)->isEnabled());
    }
}

// OK refuses a span that does not run forward and a parameter list naming nothing;
// a monitor the installation lacks stays chosen rather than turning into another.
TEST(ExclusionDlg, RefusesWhatCannotBeStored)
{
    TExclusion ex = Sample(QStringLiteral("2026-05-01 10:00:00"), QStringLiteral("2026-05-01 12:00:00"));
    ex.sMonitor = QStringLiteral("OLD");
    TExclusionDlg dlg(ex, {QStringLiteral("M1")}, nullptr);
    EXPECT_EQ(dlg.Result().sMonitor, QStringLiteral("OLD"));
    auto* editTo = dlg.findChild<QDateTimeEdit*>(QStringLiteral("editTo"));
    auto* editFrom = dlg.findChild<QDateTimeEdit*>(QStringLiteral("editFrom"));
    editTo->setDateTime(editFrom->dateTime());
    EXPECT_FALSE(Ok(dlg)->isEnabled());
    editTo->setDateTime(editFrom->dateTime().addSecs(1));
    EXPECT_TRUE(Ok(dlg)->isEnabled());

    dlg.findChild<QCheckBox*>(QStringLiteral("chkAllLevels"))->setChecked(false);
    auto* editParams = dlg.findChild<QLineEdit*>(QStringLiteral("editParams"));
    editParams->setText(QStringLiteral(" ; , "));
    EXPECT_FALSE(Ok(dlg)->isEnabled());
    editParams->setText(QStringLiteral("LAeq, LAF90;LCpeak"));
    EXPECT_TRUE(Ok(dlg)->isEnabled());
    EXPECT_EQ(dlg.Result().slParams,
              (QStringList{QStringLiteral("LAeq"), QStringLiteral("LAF90"), QStringLiteral("LCpeak")}));
}

} // namespace
