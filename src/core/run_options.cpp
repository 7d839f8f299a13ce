#include "core/run_options.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <ostream>
#include <utility>

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

// The options that only switch something on.
bool* FlagOf(const std::string& arg, RunOptions& options)
{
    static const std::pair<const char*, bool RunOptions::*> kFlags[] = {
        {"--help", &RunOptions::help},           {"-h", &RunOptions::help},
        {"--version", &RunOptions::version},
        {"--list-ports", &RunOptions::listPorts}, {"--save-ports", &RunOptions::savePorts},
        {"--demo", &RunOptions::demo},           {"--time-to-paint", &RunOptions::timeToPaint},
        {"--open-all", &RunOptions::openAll},    {"--show-all", &RunOptions::showAll},
    };
    for (const auto& [name, member] : kFlags)
        if (arg == name)
            return &(options.*member);
    return nullptr;
}

} // namespace

bool TakeRunOptions(std::vector<std::string>& args, RunOptions& options, std::string* error)
{
    size_t i = 0;
    while (i < args.size()) {
        const std::string arg = args[i];
        std::string value;
        if (bool* flag = FlagOf(arg, options)) {
            *flag = true;
            args.erase(args.begin() + static_cast<long>(i));
        } else if (arg == "--screenshot") {
            if (!TakeValue(args, i, options.screenshot, error))
                return false;
        } else if (arg == "--show") {
            if (!TakeValue(args, i, options.showWindow, error))
                return false;
        } else if (arg == "--recording") {
            if (!TakeValue(args, i, value, error))
                return false;
            options.recordings.push_back(value);
        } else if (arg == "--quit-after") {
            if (!TakeValue(args, i, value, error) || !ParseSeconds(value, options.quitAfter, error))
                return false;
        } else {
            ++i;
        }
    }
    return true;
}

bool RefuseUnknownLongOptions(const std::vector<std::string>& args, std::string* error)
{
    for (const std::string& arg : args) {
        if (arg.rfind("--", 0) == 0) {
            if (error)
                *error = "unknown option '" + arg + "'";
            return false;
        }
    }
    return true;
}

const char* MonitorUsage()
{
    return "usage: jx_monitor [OPTION]... [-e] [-cN] [-m] [DEVICE]...\n"
           "Monitor and command GPS receivers that speak the ZELK binary packet protocol\n"
           "over serial lines (COM1 to COM16).\n"
           "\n"
           "Letter arguments count by their second character only (-c3 and /c3 are the\n"
           "same); for each letter the first argument that carries it counts:\n"
           "  -e                    enable all 16 ports; the ports present are not read\n"
           "  -cN                   show COM N (1 to 16) in the main window; without it a\n"
           "                        dialog asks which port to show\n"
           "  -m                    start in the multiport layout\n"
           "\n"
           "Ports:\n"
           "  --comN=PATH           map COM N to a device, e.g. --com3=/dev/ttyUSB0\n"
           "  --comN=tcp://HOST:PORT, --comN=rfc2217://HOST:PORT\n"
           "                        a receiver behind a network serial server\n"
           "  DEVICE                a bare /dev/... path takes the lowest free COM number\n"
           "  --list-ports          print the COM number of each device and where the\n"
           "                        mapping came from, then exit (needs no display)\n"
           "  --save-ports          save the --comN= and DEVICE arguments as the mapping\n"
           "                        used when the command line maps no port, then exit;\n"
           "                        without port arguments, forget the saved mapping.\n"
           "                        The file is $XDG_CONFIG_HOME/JX_Monitor/ports.conf\n"
           "                        (~/.config/JX_Monitor/ports.conf by default)\n"
           "\n"
           "Devices present that are not mapped get the free numbers: /dev/ttyUSB*, then\n"
           "/dev/ttyACM*, then the built-in UARTs /dev/ttyS* that exist.\n"
           "\n"
           "Running:\n"
           "  --demo                three simulated receivers on COM1 to COM3 (COM3 a\n"
           "                        timing receiver); COM1 shown unless -cN says\n"
           "  --open-all            open and monitor every listed port at start\n"
           "  --recording FILE      play a raw recording as a port in the Player window\n"
           "                        (repeat it for recordings to play in step)\n"
           "  --show WINDOW         open that window at start (object name, e.g. Form_Track)\n"
           "  --show-all            open every window of the Window menu at start\n"
           "  --screenshot FILE     write a PNG of the main window (or the shown one)\n"
           "  --quit-after SECONDS  quit after that many seconds (default with\n"
           "                        --screenshot: 1)\n"
           "  --time-to-paint       print the time to the first paint of the main window\n"
           "                        and quit\n"
           "  -h, --help            print this help and exit\n"
           "  --version             print the version and exit\n"
           "\n"
           "Qt's own options (-platform NAME, -style NAME, ...) are passed to Qt.\n"
           "Exit status: 0 when the program ends normally or the port dialog is\n"
           "cancelled, 1 when the display port, the demo or the display cannot be\n"
           "opened, 2 for a bad option.\n";
}

void NoteNewMappings(PortOrigins& origins, const std::string& origin)
{
    for (const ComMapping& m : CurrentComMapping())
        origins.emplace(m.com, origin);
}

void ListPorts(std::ostream& out, const PortOrigins& origins)
{
    const std::vector<ComMapping> mapping = CurrentComMapping();
    if (mapping.empty())
        out << "No serial ports found.\n";
    for (const ComMapping& m : mapping) {
        out << "COM" << m.com << "  " << PrintableText(m.path);
        if (!m.description.empty())
            out << "  (" << PrintableText(m.description) << ")";
        const auto origin = origins.find(m.com);
        if (origin != origins.end())
            out << "  [" << origin->second << "]";
        if (const std::string link = StableDeviceLink(m.path); !link.empty())
            out << "\n      stays COM" << m.com << " when replugged with --com" << m.com << "=" << PrintableText(link);
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

int OpenEveryWindowOfTheWindowMenu()
{
    QWidget* main = TopLevelNamed("Form_Main");
    QMenu* menu = main ? main->findChild<QMenu*>("WindowMenu") : nullptr;
    if (menu == nullptr)
        return 0;
    for (QAction* item : menu->actions()) {
        if (item->isSeparator() || item->menu() != nullptr || !item->isEnabled() || item->isChecked())
            continue;
        const int before = VisibleFormWindows();
        item->trigger();
        // A checkable item that opened no window is a switch (the layout): put it back.
        if (item->isCheckable() && VisibleFormWindows() == before)
            item->trigger();
    }
    return VisibleFormWindows();
}

int VisibleFormWindows()
{
    int visible = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName().startsWith("Form_"))
            ++visible;
    return visible;
}

void ScheduleScreenshotAndQuit(QWidget* window, const RunOptions& options)
{
    if (options.showAll)
        OpenEveryWindowOfTheWindowMenu();
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
