// The engine without a screen: QCoreApplication only, as the headless monitor runs it.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "model/base_state.h"
#include "monitor/data_log.h"
#include "monitor/monitor.h"
#include "support/state_reset.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    RegisterStateReset([] {
        Monitor::Instance().Reset();
        ResetDataLogState();
        ResetBaseState();
    });
    InstallStateResetListener();
    return RUN_ALL_TESTS();
}
