// The window feeds the chart from the selection and switches its marks.
#include "MainWindowFixture.h"
#include "TempTree.h"

#include "chart/PieSeries.h"
#include "chart/qt/Chart.h"

TEST_F(MainWindowTest, SelectionFeedsTheChartAndButtonsSwitchMarks)
{
    TTempTree t;
    t.File("big/f", 3'000'000);
    t.File("mid/f", 2'000'000);
    t.File("loose", 500'000);
    t.File("small/f", 1000);  // below 2 %: goes into "Other"
    TChart* chart = frm.Chart;
    EXPECT_EQ(chart->objectName(), QStringLiteral("Chart"));
    EXPECT_FALSE(chart->isVisible());

    frm.btnValue->click();  // with nothing selected: the hidden chart's style changes
    EXPECT_EQ(frm.PieSeries->Marks().Style(), smsValue);

    frm.ScanRoot(t.Path());
    EXPECT_FALSE(chart->isVisible());  // a scan selects nothing
    frm.Tree->setCurrentIndex(frm.Model().IndexOf(frm.SizeTree().FirstTopLevelEntry()));
    EXPECT_TRUE(chart->isVisible());
    const TPieSeries& pie = *frm.PieSeries;
    ASSERT_EQ(pie.Count(), 4);
    EXPECT_EQ(pie.PointLabel(0), "big");
    EXPECT_EQ(pie.PointLabel(1), "mid");
    EXPECT_EQ(pie.PointLabel(2), "[FILES]");
    EXPECT_EQ(pie.PointLabel(3), "Other");

    frm.btnPercent->click();
    EXPECT_EQ(frm.PieSeries->Marks().Style(), smsPercent);
    frm.btnPercent->click();  // down already: stays percent
    EXPECT_EQ(frm.PieSeries->Marks().Style(), smsPercent);
    EXPECT_TRUE(frm.btnPercent->isChecked());
}
