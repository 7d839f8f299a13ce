// The tests reach the windows' private controls by object name: a name that
// is missing or of another type must fail the test, never pass or crash.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QPushButton>
#include <stdexcept>

#include "support/ui_find.h"
#include "transfer/form_alm.h"

TEST(UiFind, AMissingOrMistypedControlFailsTheTestWithItsName)
{
    TForm_Alm form;
    EXPECT_EQ(Ui<QPlainTextEdit>(&form, "Memo_Alm")->parent(), &form);
    EXPECT_NONFATAL_FAILURE(EXPECT_THROW(Ui<QPushButton>(&form, "Panel_TS", 3), std::runtime_error),
                            "no control 'Panel_TS4' of the requested type in Form_Alm");
    EXPECT_NONFATAL_FAILURE(EXPECT_THROW(Ui<QPushButton>(&form, "Memo_Alm"), std::runtime_error), "'Memo_Alm'");
}
