// SIGTERM and SIGINT as an event of the loop: the handler only writes to a
// pipe, the loop reads it and calls back, so the daemon ends between ticks,
// closing its recordings and ports like any other end of run.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

class Termination : public QObject {
    Q_OBJECT
public:
    explicit Termination(std::function<void(int signal)> onSignal, QObject* parent = nullptr);
    ~Termination() override;

private:
    std::function<void(int)> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};
