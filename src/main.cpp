#include <chrono>
#include <iostream>
#include <string>
#include <vector>

#include "core/application.h"
#include "core/demo.h"
#include "core/first_paint.h"
#include "core/main_window.h"
#include "core/run_options.h"
#include "core/startup.h"
#include "core/windows.h"
#include "platform/port_enumeration.h"

namespace {

int Fail(const std::string& message)
{
    std::cerr << "jx_monitor: " << message << '\n';
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    const auto mainStarted = std::chrono::steady_clock::now();
    MonitorApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    RunOptions options;
    std::string error;
    if (!TakeRunOptions(args, options, &error) || !TakeComArguments(args, &error))
        return Fail(error);
    // The simulated receivers take COM1..COM3 before the devices present
    // get the free numbers.
    if (options.demo && !StartDemo(args, &error)) {
        std::cerr << "jx_monitor: " << error << '\n';
        return 1;
    }
    MapPresentDevices();
    if (options.listPorts) {
        ListPorts(std::cout);
        StopDemo();
        return 0;
    }
    const StartResult started = StartMonitor(args);
    if (started != StartResult::Run) {
        StopDemo();
        return started == StartResult::Cancelled ? 0 : 1;
    }
    MonitorDemoReceivers();
    if (options.openAll)
        Form_Main->MenuCOM_OpenAllClick();
    if (options.timeToPaint)
        QuitAtFirstPaint(Form_Main, mainStarted);
    Form_Main->show();
    CentreOnScreen(Form_Main);
    ScheduleScreenshotAndQuit(Form_Main, options);
    const int rc = app.exec();
    DestroyAllWindows();
    StopDemo();
    return rc;
}
