#include "views/history_recorder.h"

#include <QDateTime>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>

#include "model/history_feed.h"
#include "model/history_store.h"

HistoryRecorder::HistoryRecorder(const std::string& root, int keepDays, QObject* parent)
    : QObject(parent), feed_(std::make_unique<HistoryFeed>(root, keepDays))
{
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &HistoryRecorder::Tick);
    timer_.start();
}

HistoryRecorder::~HistoryRecorder() = default;

void HistoryRecorder::Tick()
{
    feed_->Tick(QDateTime::currentSecsSinceEpoch());
    for (const std::string& error : feed_->TakeErrors()) {
        // Not modal: a box that waited would stop every port's timer.
        auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("History"), QString::fromStdString(error));
        box->setObjectName(QStringLiteral("HistoryErrorBox"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        box->show();
    }
}

int HistoryKeepDaysSetting()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QSettings settings(dir + QStringLiteral("/JX_Monitor/history.conf"), QSettings::IniFormat);
    return std::max(1, settings.value(QStringLiteral("history/keepDays"), 7).toInt());
}

HistoryRecorder* StartHistoryRecorder(QObject* parent)
{
    return new HistoryRecorder(HistoryRoot(), HistoryKeepDaysSetting(), parent);
}
