// What the almanac and ephemeris transfers tell the rest of the program: a
// transfer holds the poll timer off from start to finish, and bytes read
// while it waits for a reply light the receive lamp. The main window
// subscribes; the transfers never touch its widgets. Connections are direct.
#pragma once

#include <QObject>

class TransferNotifier : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void transferStarted();
    void transferFinished();
    void packetReceived(); // a packet of the display port read by the reply wait
};

// The program's one transfer notifier. It lives as long as the program.
TransferNotifier& TransferEvents();
