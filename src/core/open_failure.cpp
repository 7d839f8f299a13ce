#include "core/open_failure.h"

#include <cstdio>

#include "platform/device_access.h"
#include "platform/port_enumeration.h"
#include "platform/ui.h"

std::string OpenFailureText(int com, const std::string& path, const OpenError& error)
{
    std::string text = "Could not initialize COM" + std::to_string(com) + ".\n";
    if (path.empty())
        return text + "No device is mapped to COM" + std::to_string(com) + " (see jx_monitor --list-ports).";
    text += path + ": " + error.reason;
    if (error.kind == OpenFailure::Permission)
        text += "\n" + PermissionAdvice(ReadDeviceAccess(path));
    return text;
}

void ReportOpenFailure(int com, const OpenError& error, const QString& title)
{
    const std::string text = OpenFailureText(com, ComDevicePath(com), error);
    std::fprintf(stderr, "jx_monitor: %s\n", text.c_str());
    ui::Message(QString::fromStdString(text), title);
}
