#include "logging/logging_notifier.h"

LoggingNotifier& LoggingEvents()
{
    static LoggingNotifier notifier;
    return notifier;
}
