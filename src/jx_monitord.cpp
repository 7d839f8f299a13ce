// jx_monitord: the receivers of one station, monitored without a window and
// served to Prometheus. See docs/fleet.md.
#include <QCoreApplication>
#include <QFile>
#include <QHostAddress>
#include <QTimer>
#include <iostream>

#include "daemon/daemon.h"
#include "daemon/daemon_config.h"
#include "daemon/daemon_options.h"
#include "daemon/metrics_server.h"
#include "daemon/port_keeper.h"
#include "daemon/service_notify.h"
#include "daemon/termination.h"
#include "jx_version.h"
#include "monitor/monitor.h"
#include "platform/port_enumeration.h"
#include "platform/process_signals.h"
#include "sim/demo.h"

namespace {

constexpr int kBadUsage = 2;
constexpr int kDemoReceivers = 3;

int Refuse(const std::string& text)
{
    std::cerr << "jx_monitord: " << text << std::endl;
    return kBadUsage;
}

// The configuration, or the exit status when it is refused.
std::optional<int> ReadConfig(const DaemonOptions& options, DaemonConfig& config)
{
    const std::string file = options.configFile.empty() ? kDefaultConfigFile : options.configFile;
    if (options.configFile.empty() && !QFile::exists(QString::fromStdString(file)))
        return std::nullopt; // no file installed: the defaults
    const std::vector<ConfigError> errors = LoadDaemonConfig(file, config);
    for (const ConfigError& error : errors)
        std::cerr << "jx_monitord: " << error.Text() << std::endl;
    if (!errors.empty())
        return kBadUsage;
    return std::nullopt;
}

// The file's ports for the COM numbers the command line left free.
std::optional<int> MapConfiguredPorts(const DaemonConfig& config)
{
    for (const auto& [com, path] : config.ports) {
        if (!ComDevicePath(com).empty())
            continue; // the command line's choice
        std::vector<std::string> args = {"--com" + std::to_string(com) + "=" + path};
        std::string error;
        if (!TakeComArguments(args, &error))
            return Refuse(error);
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    IgnoreFileSizeSignal();
    DaemonOptions options;
    std::string error;
    if (!ParseDaemonOptions(std::vector<std::string>(argv + 1, argv + argc), options, &error))
        return Refuse(error);
    if (options.help) {
        std::cout << DaemonUsage();
        return 0;
    }
    if (options.version) {
        std::cout << "jx_monitord " << kJxVersion << std::endl;
        return 0;
    }
    DaemonConfig config;
    if (const std::optional<int> status = ReadConfig(options, config))
        return *status;
    DemoReceivers demo;
    if (options.demo) {
        if (!demo.Start(kDemoReceivers, &error))
            return Refuse("--demo: " + error);
        for (size_t i = 0; i < demo.DevicePaths().size(); ++i)
            SetComDevice(static_cast<int>(i) + 1, demo.DevicePaths()[i]);
    }
    if (const std::optional<int> status = MapConfiguredPorts(config))
        return *status;

    ServiceNotifier notifier;
    Daemon daemon(config, SystemDaemonClock(), std::cerr, &notifier);
    MetricsServer server([&daemon] { return daemon.Metrics(); }, [&daemon] { return daemon.Health(); });
    if (!server.Listen(QHostAddress(QString::fromStdString(config.listenHost)),
                       static_cast<quint16>(config.listenPort), &error))
        return Refuse(error);

    // The engine: no display port, every port decoded in full and queried.
    Monitor& engine = Monitor::Instance();
    engine.SetQueryEveryPort(true);
    QObject::connect(&engine, &Monitor::ticked, &daemon, &Daemon::OnTick);
    PortKeeper keeper(engine, std::cerr);
    keeper.OpenMappedPorts();
    engine.Start();

    Termination termination([&app](int) { app.quit(); });
    if (options.quitAfterS >= 0)
        QTimer::singleShot(static_cast<int>(options.quitAfterS * 1000), &app, &QCoreApplication::quit);
    std::cerr << "<6>jx_monitord " << kJxVersion << ": metrics on http://" << config.listenHost << ":"
              << server.Port() << "/metrics, " << CurrentComMapping().size() << " ports mapped" << std::endl;
    if (CurrentComMapping().empty())
        std::cerr << "<4>jx_monitord: no ports mapped: name them in [ports] of the configuration or on the command line"
                  << std::endl;
    notifier.Ready("serving metrics on port " + std::to_string(server.Port()));
    const int status = app.exec();
    notifier.Stopping();
    engine.Stop();
    daemon.CloseRecordings();
    engine.CloseEveryPort();
    return status;
}
