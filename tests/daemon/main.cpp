#include <gtest/gtest.h>

#include <QCoreApplication>

#include "support/state_reset.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv); // the daemon needs no display
    testing::InitGoogleTest(&argc, argv);
    InstallStateResetListener();
    return RUN_ALL_TESTS();
}
