// The desktop program's history: once a second every open or lost port's
// state goes to its receiver's files (model/history_feed.h). A failure to
// write is said once in a box that does not wait, and monitoring goes on.
#pragma once

#include <QObject>
#include <QTimer>
#include <memory>

class HistoryFeed;

class HistoryRecorder : public QObject {
public:
    // root: where the receivers' folders go; keepDays: how many days of files stay.
    HistoryRecorder(const std::string& root, int keepDays, QObject* parent = nullptr);
    ~HistoryRecorder() override;

    // One second's samples now (the timer's work).
    void Tick();

private:
    std::unique_ptr<HistoryFeed> feed_;
    QTimer timer_;
};

// The history's days kept, from the setting "history/keepDays" in
// $XDG_CONFIG_HOME/JX_Monitor/history.conf (7 when unset, 1 at least).
int HistoryKeepDaysSetting();
// Starts the desktop program's history (once); stops it with the returned object.
HistoryRecorder* StartHistoryRecorder(QObject* parent);
