// The GUI application object. An exception escaping an event handler is
// shown in an error box and the message loop carries on.
#pragma once

#include <QApplication>

class MonitorApplication : public QApplication {
    Q_OBJECT
public:
    MonitorApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
