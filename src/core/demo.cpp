#include "core/demo.h"

bool StartDemo(std::vector<std::string>&, std::string* message)
{
    if (message)
        *message = "demo mode is not available in this build";
    return false;
}
