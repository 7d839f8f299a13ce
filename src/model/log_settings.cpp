#include "model/log_settings.h"

LogSettings& DataLogSettings()
{
    static LogSettings settings;
    return settings;
}
