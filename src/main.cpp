#include <QtGlobal>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "core/application.h"
#include "core/demo.h"
#include "core/first_paint.h"
#include "core/main_window.h"
#include "core/replay_ports.h"
#include "core/run_options.h"
#include "core/saved_ports.h"
#include "core/startup.h"
#include "core/window_places.h"
#include "core/windows.h"
#include "jx_version.h"
#include "monitor/monitor.h"
#include "platform/port_enumeration.h"
#include "views/history_recorder.h"

namespace {

int Fail(const std::string& message)
{
    std::cerr << "jx_monitor: " << message << "\nTry 'jx_monitor --help'.\n";
    return 2;
}

// --save-ports: the command line's mapping becomes the saved one.
int SaveCommandLinePorts()
{
    std::string error;
    const std::vector<ComMapping> mapping = CurrentComMapping();
    if (!SavePortMapping(mapping, &error)) {
        std::cerr << "jx_monitor: " << error << '\n';
        return 1;
    }
    std::cout << (mapping.empty() ? "Removed the saved port mapping " : "Saved the port mapping in ")
              << SavedPortsFile() << '\n';
    for (const ComMapping& m : mapping)
        std::cout << "COM" << m.com << "  " << PrintableText(m.path) << '\n';
    return 0;
}

// The saved mapping stands in for a command line that maps no port.
void ApplySavedPorts()
{
    std::vector<std::string> problems;
    for (const ComMapping& m : LoadSavedPortMapping(&problems))
        SetComDevice(m.com, m.path);
    for (const std::string& problem : problems)
        std::cerr << "jx_monitor: " << problem << '\n';
}

// Fills the COM mapping from the command line, the demo, the saved mapping
// and the devices present, in that order of precedence; false when the demo
// cannot start.
bool MapPorts(const RunOptions& options, std::vector<std::string>& args, PortOrigins& origins)
{
    NoteNewMappings(origins, "command line");
    const bool mappedByArguments = !origins.empty();
    std::string error;
    // The simulated receivers take COM1..COM3 before the devices present
    // get the free numbers.
    if (options.demo && !StartDemo(args, &error)) {
        std::cerr << "jx_monitor: " << error << '\n';
        return false;
    }
    NoteNewMappings(origins, "demo");
    if (!mappedByArguments && !options.demo)
        ApplySavedPorts();
    NoteNewMappings(origins, "saved");
    MapPresentDevices();
    NoteNewMappings(origins, "present");
    return true;
}

// The arguments Qt is given: the program name and what our own options left.
// Qt takes its own (-platform, -style, ...) out of them.
struct QtArguments {
    explicit QtArguments(const char* program, const std::vector<std::string>& args) : strings(args)
    {
        strings.insert(strings.begin(), program);
        for (std::string& s : strings)
            pointers.push_back(s.data());
        pointers.push_back(nullptr);
        count = static_cast<int>(strings.size());
    }
    std::vector<std::string> Left() const
    {
        return std::vector<std::string>(pointers.begin() + 1, pointers.begin() + count);
    }
    std::vector<std::string> strings;
    std::vector<char*> pointers;
    int count = 0;
};

// The windows need a display; without one Qt would abort with a core dump.
bool DisplayReachable(const std::vector<std::string>& args)
{
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (!qEnvironmentVariableIsEmpty(variable))
            return true;
    if (std::find(args.begin(), args.end(), "-platform") != args.end())
        return true;
    std::cerr << "jx_monitor: no display to open the windows on (DISPLAY is not set).\n"
                 "--list-ports, --save-ports, --help and --version work without one; "
                 "xvfb-run gives a virtual display.\n";
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    const auto mainStarted = std::chrono::steady_clock::now();
    std::vector<std::string> args(argv + 1, argv + argc);
    RunOptions options;
    std::string error;
    if (!TakeRunOptions(args, options, &error) || !TakeComArguments(args, &error) ||
        !RefuseUnknownLongOptions(args, &error))
        return Fail(error);
    if (options.help || options.version) {
        std::cout << (options.help ? MonitorUsage() : std::string("jx_monitor ") + kJxVersion + '\n');
        return 0;
    }
    if (options.savePorts)
        return SaveCommandLinePorts();
    PortOrigins origins;
    if (!MapPorts(options, args, origins))
        return 1;
    if (options.listPorts) {
        ListPorts(std::cout, origins);
        if (std::filesystem::exists(SavedPortsFile()))
            std::cout << "Saved mapping: " << SavedPortsFile() << " (used when the command line maps no port)\n";
        StopDemo();
        return 0;
    }
    if (!DisplayReachable(args)) {
        StopDemo();
        return 1;
    }
    QtArguments qt(argv[0], args);
    MonitorApplication app(qt.count, qt.pointers.data());
    const StartResult started = StartMonitor(qt.Left());
    if (started != StartResult::Run) {
        StopDemo();
        return started == StartResult::Cancelled ? 0 : 1;
    }
    MonitorDemoReceivers();
    if (options.openAll)
        Monitor::Instance().OpenAll();
    if (!options.recordings.empty())
        PlayRecordingsAtStart(options.recordings);
    if (options.timeToPaint)
        QuitAtFirstPaint(Form_Main, mainStarted);
    Form_Main->show();
    RestoreWindowPlaces();
    ScheduleScreenshotAndQuit(Form_Main, options);
    HistoryRecorder* history = StartHistoryRecorder(&app);
    const int rc = app.exec();
    SaveWindowPlaces();
    delete history; // writes out what waits
    DestroyAllWindows();
    StopDemo();
    return rc;
}
