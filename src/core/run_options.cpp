#include "core/run_options.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <ostream>

#include "platform/port_enumeration.h"

namespace {

// Takes the value that follows a long option; false when there is none.
bool TakeValue(std::vector<std::string>& args, size_t i, std::string& value, std::string* error)
{
    if (i + 1 >= args.size()) {
        if (error)
            *error = args[i] + " needs a value";
        return false;
    }
    value = args[i + 1];
    args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
    return true;
}

// The quit timer counts whole milliseconds in an int.
constexpr double kMaxQuitAfterSeconds = 2147483.0;

bool ParseSeconds(const std::string& text, double& seconds, std::string* error)
{
    char* end = nullptr;
    seconds = std::strtod(text.c_str(), &end);
    // Written so that NaN fails too: it would reach the timer as undefined milliseconds.
    if (text.empty() || *end != '\0' || !(seconds >= 0 && seconds <= kMaxQuitAfterSeconds)) {
        if (error)
            *error = "--quit-after needs a number of seconds, not '" + text + "'";
        return false;
    }
    return true;
}

} // namespace

bool TakeRunOptions(std::vector<std::string>& args, RunOptions& options, std::string* error)
{
    size_t i = 0;
    while (i < args.size()) {
        const std::string arg = args[i];
        std::string value;
        if (arg == "--list-ports" || arg == "--demo") {
            (arg == "--demo" ? options.demo : options.listPorts) = true;
            args.erase(args.begin() + static_cast<long>(i));
        } else if (arg == "--time-to-paint" || arg == "--open-all") {
            (arg == "--open-all" ? options.openAll : options.timeToPaint) = true;
            args.erase(args.begin() + static_cast<long>(i));
        } else if (arg == "--screenshot") {
            if (!TakeValue(args, i, options.screenshot, error))
                return false;
        } else if (arg == "--show") {
            if (!TakeValue(args, i, options.showWindow, error))
                return false;
        } else if (arg == "--quit-after") {
            if (!TakeValue(args, i, value, error) || !ParseSeconds(value, options.quitAfter, error))
                return false;
        } else {
            ++i;
        }
    }
    return true;
}

void ListPorts(std::ostream& out)
{
    const std::vector<ComMapping> mapping = CurrentComMapping();
    if (mapping.empty())
        out << "No serial ports found.\n";
    for (const ComMapping& m : mapping) {
        out << "COM" << m.com << "  " << m.path;
        if (!m.description.empty())
            out << "  (" << m.description << ")";
        if (const std::string link = StableDeviceLink(m.path); !link.empty())
            out << "\n      stays COM" << m.com << " when replugged with --com" << m.com << "=" << link;
        out << '\n';
    }
    out << "A lost device is reopened when it comes back at the same path. A USB adapter may come back\n"
           "as another node (ttyUSB0 -> ttyUSB1): map its /dev/serial/by-id/ link with --comN=LINK.\n";
}

namespace {

// The top-level window of that object name (e.g. "Form_Track"), or null.
QWidget* TopLevelNamed(const std::string& name)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QString::fromStdString(name))
            return w;
    return nullptr;
}

} // namespace

void ScheduleScreenshotAndQuit(QWidget* window, const RunOptions& options)
{
    if (!options.showWindow.empty()) {
        if (QWidget* shown = TopLevelNamed(options.showWindow)) {
            shown->show();
            window = shown;
        } else {
            qWarning("no window named %s", options.showWindow.c_str());
        }
    }
    if (options.screenshot.empty() && options.quitAfter < 0)
        return;
    const double seconds = options.quitAfter < 0 ? 1.0 : options.quitAfter;
    const QString file = QString::fromStdString(options.screenshot);
    QTimer::singleShot(static_cast<int>(seconds * 1000), window, [window, file] {
        if (!file.isEmpty() && !window->grab().save(file, "PNG"))
            qWarning("could not write the screenshot %s", qPrintable(file));
        QApplication::quit();
    });
}
