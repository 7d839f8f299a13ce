// Keeps every mapped port open through the engine: opened at start, tried
// again every few seconds while it will not open (the engine itself reopens
// a port that was open and went away), each failure told once per reason.
#pragma once

#include <QObject>
#include <QTimer>
#include <array>
#include <iosfwd>
#include <string>

#include "link/port_table.h"

class Monitor;

class PortKeeper : public QObject {
    Q_OBJECT
public:
    PortKeeper(Monitor& engine, std::ostream& journal, int retryMs = 5000, QObject* parent = nullptr);

    // Opens every mapped port that is neither open nor waiting to be reopened.
    void OpenMappedPorts();

private:
    Monitor& engine_;
    std::ostream& journal_;
    QTimer retry_;
    std::array<std::string, kPortSlots> told_; // the last failure told per slot
};
