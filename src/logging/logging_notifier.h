// What the data logger and the raw recorder tell the rest of the program:
// the log status caption and colour, the record status caption, and that
// Start made the display port a monitored one. The main window subscribes;
// the logging windows never write its widgets. Connections are direct.
#pragma once

#include <QColor>
#include <QObject>
#include <QString>

class LoggingNotifier : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void logStatusCaptionChanged(const QString& caption); // "Logging On", "Logging Off" or the duration
    void logStatusColourChanged(const QColor& colour);
    void recordStatusChanged(const QString& caption); // "Off", "Data", "Zelk" or "Zelk/Data"
    void portMonitored(int slot);                      // Start set the port's monitored flag
};

// The program's one logging notifier. It lives as long as the program.
LoggingNotifier& LoggingEvents();
