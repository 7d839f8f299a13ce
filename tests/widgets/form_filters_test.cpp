// The filter dialog: the coupling of the static filter to the
// position-velocity filter, report 0x70 into the boxes, the boxes into 0x70.
#include <QCheckBox>

#include "config/form_filters.h"
#include "config_test_support.h"
#include "support/ui_find.h"

namespace {

class FiltersDialog : public ConfigDialogTest {};

TEST_F(FiltersDialog, StartsUncheckedAndEnabledAndSendsZeros)
{
    EXPECT_EQ(Form_Filters->windowTitle(), "Configure Filters");
    EXPECT_EQ(Ui<QCheckBox>(Form_Filters, "CheckBox_Static")->text(), "Static Filter");
    EXPECT_TRUE(Ui<QCheckBox>(Form_Filters, "CheckBox_Static")->isEnabled());
    EXPECT_FALSE(Ui<QCheckBox>(Form_Filters, "CheckBox_Dynamic")->isChecked());
    Form_Filters->showForm();
    Form_Filters->Button_OKClick();
    EXPECT_EQ(Sent(), Frame({0x70, 0, 0, 0, 0}));
    EXPECT_FALSE(Form_Filters->isVisible());
}

TEST_F(FiltersDialog, UncheckingThePositionVelocityFilterGreysTheStaticFilter)
{
    Ui<QCheckBox>(Form_Filters, "CheckBox_Dynamic")->setChecked(true);
    Ui<QCheckBox>(Form_Filters, "CheckBox_Static")->setChecked(true);
    Ui<QCheckBox>(Form_Filters, "CheckBox_Dynamic")->click();
    EXPECT_FALSE(Ui<QCheckBox>(Form_Filters, "CheckBox_Static")->isChecked());
    EXPECT_FALSE(Ui<QCheckBox>(Form_Filters, "CheckBox_Static")->isEnabled());
    Ui<QCheckBox>(Form_Filters, "CheckBox_Dynamic")->click();
    EXPECT_TRUE(Ui<QCheckBox>(Form_Filters, "CheckBox_Static")->isEnabled());
    EXPECT_FALSE(Ui<QCheckBox>(Form_Filters, "CheckBox_Static")->isChecked());
}

TEST_F(FiltersDialog, ReportOneOneZeroZeroGoesBackUnchanged)
{
    Deliver({0x70, 1, 1, 0, 0});
    Form_Filters->showForm();
    EXPECT_TRUE(Ui<QCheckBox>(Form_Filters, "CheckBox_Dynamic")->isChecked());
    EXPECT_TRUE(Ui<QCheckBox>(Form_Filters, "CheckBox_Static")->isChecked());
    EXPECT_TRUE(Ui<QCheckBox>(Form_Filters, "CheckBox_Static")->isEnabled());
    EXPECT_FALSE(Ui<QCheckBox>(Form_Filters, "CheckBox_Altitude")->isChecked());
    Form_Filters->Button_OKClick();
    EXPECT_EQ(Sent(), Frame({0x70, 1, 1, 0, 0}));
}

TEST_F(FiltersDialog, StaticFilterOnWithoutThePositionVelocityFilterShowsCheckedAndGreyed)
{
    Ui<QCheckBox>(Form_Filters, "CheckBox_Dynamic")->setChecked(true);
    Deliver({0x70, 0, 1, 1, 0});
    Form_Filters->showForm();
    EXPECT_FALSE(Ui<QCheckBox>(Form_Filters, "CheckBox_Dynamic")->isChecked());
    EXPECT_TRUE(Ui<QCheckBox>(Form_Filters, "CheckBox_Static")->isChecked());
    EXPECT_FALSE(Ui<QCheckBox>(Form_Filters, "CheckBox_Static")->isEnabled());
    EXPECT_TRUE(Ui<QCheckBox>(Form_Filters, "CheckBox_Altitude")->isChecked());
    Form_Filters->Button_ApplyClick();
    EXPECT_EQ(Sent(), Frame({0x70, 0, 1, 1, 0}));
    // The same report with the filter already off greys the box as well.
    Deliver({0x70, 1, 0, 0, 0});
    Deliver({0x70, 0, 1, 1, 0});
    EXPECT_FALSE(Ui<QCheckBox>(Form_Filters, "CheckBox_Static")->isEnabled());
    EXPECT_TRUE(Ui<QCheckBox>(Form_Filters, "CheckBox_Static")->isChecked());
}

TEST_F(FiltersDialog, NonzeroCountsAsOnAndOtherLengthsAreIgnored)
{
    Deliver({0x70, 2, 0, 0, 0});
    Deliver({0x70, 0, 1, 1});
    Deliver({0x70, 0, 1, 1, 0, 0});
    Form_Filters->showForm();
    EXPECT_TRUE(Ui<QCheckBox>(Form_Filters, "CheckBox_Dynamic")->isChecked());
    EXPECT_FALSE(Ui<QCheckBox>(Form_Filters, "CheckBox_Altitude")->isChecked());
    Form_Filters->Button_ApplyClick();
    EXPECT_EQ(Sent(), Frame({0x70, 1, 0, 0, 0}));
}

TEST_F(FiltersDialog, MenuQueriesAndCloseSendsNothing)
{
    Form_Main->ConfigureFiltersClick();
    EXPECT_EQ(Sent(), Frame({0x70}));
    EXPECT_TRUE(Form_Filters->isVisible());
    Form_Filters->Button_CancelClick();
    EXPECT_FALSE(Form_Filters->isVisible());
    EXPECT_TRUE(Sent().empty());
}

} // namespace
