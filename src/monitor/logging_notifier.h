// What the data logger and the raw recorder tell the rest of the program:
// the log status caption and lamp, the record status caption, and that
// Start made the display port a monitored one. The main window subscribes;
// the logging windows never write its widgets. Connections are direct.
// QtCore only: the logger runs without any window.
#pragma once

#include <QObject>
#include <QString>

#include <string>

// The main window's log status lamp: off (button face), logging (lime), a
// record written that second (yellow).
enum class LogLamp { Off, On, Written };

class LoggingNotifier : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void logStatusCaptionChanged(const QString& caption); // "Logging On", "Logging Off" or the duration
    void logStatusLampChanged(LogLamp lamp);
    void recordStatusChanged(const QString& caption); // "Off", "Data", "Zelk" or "Zelk/Data"
    void portMonitored(int slot);                      // Start set the port's monitored flag
    // The data logger's progress, for the logging window.
    void logRecordWritten(int count, const std::string& line); // a record of the active port
    void logDurationChanged(const QString& duration);          // the active port's time since Start
    void logFileUnwritable(const std::string& fileName);       // once per file and run
    void logBiasAvailable(bool available);                     // the display port's reports carry a bias
};

// The program's one logging notifier. It lives as long as the program.
LoggingNotifier& LoggingEvents();
