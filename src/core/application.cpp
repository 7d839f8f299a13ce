#include "core/application.h"

#include <exception>

#include "platform/ui.h"

MonitorApplication::MonitorApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    ui::InstallWidgetsResponder();
    setApplicationName("JX_Monitor");
    setApplicationDisplayName("JX_Monitor");
}

bool MonitorApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ui::Tell(QString::fromLocal8Bit(e.what()), "JX_Monitor", ui::Icon::Error);
    } catch (...) {
        ui::Tell("An unexpected error occurred.", "JX_Monitor", ui::Icon::Error);
    }
    return false;
}
