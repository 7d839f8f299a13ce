#include <gtest/gtest.h>

#include "support/state_reset.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    InstallStateResetListener();
    return RUN_ALL_TESTS();
}
