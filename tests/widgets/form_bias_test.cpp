// The timing outputs window as created at start.
#include <gtest/gtest.h>

#include "config/form_bias.h"
#include "support/monitor_gui.h"
#include "support/ui_find.h"

namespace {

TEST(FormBias, StartsHiddenWithEmptyDataFieldsBetweenCaptionsAndUnits)
{
    ASSERT_NE(StartMonitorOnFake(1), nullptr);
    ASSERT_NE(Form_Bias, nullptr);
    EXPECT_EQ(Form_Bias->windowTitle(), "Timing Outputs");
    EXPECT_FALSE(Form_Bias->isVisible());
    for (Panel* p : {Ui<Panel>(Form_Bias, "Panel_Bias"), Ui<Panel>(Form_Bias, "Panel_BiasRate")}) {
        EXPECT_EQ(p->text(), "");
        EXPECT_EQ(p->colour(), WindowColour());
    }
    auto text = [](const char* name) {
        const auto* label = Form_Bias->findChild<QLabel*>(name);
        return label ? label->text() : QString("<missing>");
    };
    EXPECT_EQ(text("Label_Bias"), "Bias");
    EXPECT_EQ(text("Label_BiasUnit"), "ns");
    EXPECT_EQ(text("Label_BiasRate"), "Bias Rate");
    EXPECT_EQ(text("Label_BiasRateUnit"), "ppb");
    EXPECT_EQ(Ui<Panel>(Form_Bias, "Panel_Bias")->objectName(), "Panel_Bias");
    EXPECT_EQ(Ui<Panel>(Form_Bias, "Panel_BiasRate")->objectName(), "Panel_BiasRate");
}

} // namespace
