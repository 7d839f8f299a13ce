#include "config/config_notifier.h"

ConfigNotifier& ConfigEvents()
{
    static ConfigNotifier notifier;
    return notifier;
}
