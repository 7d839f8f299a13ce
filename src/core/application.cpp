#include "core/application.h"

#include <exception>

#include "platform/ui.h"

MonitorApplication::MonitorApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName("JX_Monitor");
    setApplicationDisplayName("JX_Monitor");
}

bool MonitorApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ui::Message(QString::fromLocal8Bit(e.what()), "JX_Monitor", ui::Icon::Error);
    } catch (...) {
        ui::Message("An unexpected error occurred.", "JX_Monitor", ui::Icon::Error);
    }
    return false;
}
