// What the configuration dialogs tell the rest of the program about the main
// window's figures they decide: the altitude reference, the time mode and the
// datum name from the receiver's reports, the serial caption after a change
// of line settings and a note on the hint line. The main window subscribes;
// the dialogs never write its widgets. Connections are direct.
#pragma once

#include <QObject>
#include <QString>

class ConfigNotifier : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void altitudeReferenceChanged(const QString& caption, const QString& hint); // "HAE", "MSL" or none
    void timeModeChanged(const QString& caption);                               // "GPS" or "UTC"
    void datumChanged(const QString& name);
    void serialCaptionChanged(const QString& caption); // the display port's line settings
    void noteForUser(const QString& text);             // one line for the hint panel
};

// The program's one configuration notifier. It lives as long as the program.
ConfigNotifier& ConfigEvents();
