#include "config/settings_follow.h"

#include <QEvent>
#include <QWidget>

#include "link/port_table.h"
#include "notify/receiver_notifier.h"

namespace {

// Runs the refresh before the dialog is first painted on each opening.
class ShowWatcher : public QObject {
public:
    ShowWatcher(QWidget* dialog, std::function<void()> refresh) : QObject(dialog), refresh_(std::move(refresh))
    {
        dialog->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            refresh_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> refresh_;
};

} // namespace

void FollowReceivedSettings(QWidget* dialog, std::function<void()> refresh)
{
    new ShowWatcher(dialog, refresh);
    QObject::connect(&Receivers(), &ReceiverNotifier::settingsChanged, dialog, [dialog, refresh](int slot) {
        if (dialog->isVisible() && slot + 1 == DisplayPort)
            refresh();
    });
    QObject::connect(&Receivers(), &ReceiverNotifier::portStateChanged, dialog, [dialog, refresh] {
        if (dialog->isVisible())
            refresh();
    });
}
