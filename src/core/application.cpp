#include "core/application.h"

#include <QIcon>
#include <exception>

#include "platform/ui.h"

namespace {

// The name of the desktop entry and of the icon.
const QString kAppId = QStringLiteral("org.jxmonitor.JXMonitor");

} // namespace

MonitorApplication::MonitorApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    ui::InstallWidgetsResponder();
    setApplicationName("JX_Monitor");
    setApplicationDisplayName("JX_Monitor");
    // Docks and task switchers match the windows to the desktop entry by this name.
    setDesktopFileName(kAppId);
    // The PNGs built into the program: the theme's scalable icon would need
    // Qt's SVG support at run time.
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QString(":/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kAppId));
    setWindowIcon(icon);
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
