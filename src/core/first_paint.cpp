#include "core/first_paint.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

class FirstPaintWatch : public QObject {
public:
    FirstPaintWatch(QWidget* window, std::chrono::steady_clock::time_point mainStarted)
        : QObject(window), mainStarted_(mainStarted)
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || seen_)
            return false;
        seen_ = true;
        // Queued: runs once this paint has been drawn and flushed.
        QTimer::singleShot(0, this, [this] { Report(); });
        return false;
    }

private:
    void Report()
    {
        using namespace std::chrono;
        const double ms = duration<double, std::milli>(steady_clock::now() - mainStarted_).count();
        const auto epochUs = duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
        std::printf("first paint: %.1f ms after main, at %lld us since the epoch\n", ms,
                    static_cast<long long>(epochUs));
        std::fflush(stdout);
        QApplication::quit();
    }

    std::chrono::steady_clock::time_point mainStarted_;
    bool seen_ = false;
};

} // namespace

void QuitAtFirstPaint(QWidget* window, std::chrono::steady_clock::time_point mainStarted)
{
    window->installEventFilter(new FirstPaintWatch(window, mainStarted));
}
