#include "monitor/logging_notifier.h"

LoggingNotifier& LoggingEvents()
{
    static LoggingNotifier notifier;
    return notifier;
}
