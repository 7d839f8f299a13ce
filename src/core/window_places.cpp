#include "core/window_places.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>
#include <algorithm>

#include "core/main_window.h"
#include "platform/widgets.h"

namespace {

constexpr int kGap = 8;   // between the main window and a window beside it
constexpr int kStep = 16; // how far the search for room moves at a time

// Windows that are opened again at start when they were open at the end. The
// configuration dialogs are not: they show the receiver's settings only after
// their command has asked for them.
const QStringList kReopened = {"Form_Track", "Form_Bias", "Form_Product", "Form_Log", "Form_LogZelk", "Form_Sky",
                               "Form_Signal", "Form_Scatter", "Form_Ports", "Form_Packets"};

bool IsCompanion(const QWidget* w)
{
    return w->isWindow() && w->objectName().startsWith("Form_") && w->objectName() != "Form_Main";
}

QList<QWidget*> Companions()
{
    QList<QWidget*> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (IsCompanion(w))
            windows << w;
    return windows;
}

QRect AvailableAround(const QPoint& point)
{
    const QScreen* screen = QGuiApplication::screenAt(point);
    if (!screen && Form_Main)
        screen = Form_Main->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// The frame a window will have: before it is first shown only the main
// window's frame tells how thick the window manager's frames are.
QSize FrameSize(const QWidget* w)
{
    QSize frame = w->frameGeometry().size();
    if (frame == w->size() && Form_Main)
        frame += Form_Main->frameGeometry().size() - Form_Main->size();
    return frame;
}

bool Resizable(const QWidget* w) { return w->minimumSize() != w->maximumSize(); }

// The windows placed in this run: only their places are written at the end.
QSet<QString> g_placed;
// The windows open when the program began to end: quitting closes them all
// before the places are written.
QSet<QString> g_openAtEnd;
bool g_ending = false;

void NoteOpenWindows()
{
    if (g_ending)
        return;
    g_ending = true;
    for (QWidget* w : Companions())
        if (w->isVisible())
            g_openAtEnd.insert(w->objectName());
}

QString StoreFile() { return QString::fromStdString(WindowPlacesFile()); }

// A kept place, moved into the screen (a screen may have gone since).
bool MoveToKeptPlace(QWidget* w)
{
    const QSettings store(StoreFile(), QSettings::IniFormat);
    const QString key = w->objectName() + "/";
    if (!store.contains(key + "pos"))
        return false;
    if (Resizable(w) && store.contains(key + "size"))
        w->resize(store.value(key + "size").toSize().boundedTo(AvailableAround(w->pos()).size()));
    const QPoint pos = store.value(key + "pos").toPoint();
    const QSize frame = FrameSize(w);
    const QRect screen = AvailableAround(QRect(pos, frame).center());
    w->move(screen.isValid() ? KeptInside(QRect(pos, frame), screen).topLeft() : pos);
    return true;
}

void PlaceBesideMain(QWidget* w)
{
    if (!Form_Main)
        return;
    const QRect main = Form_Main->frameGeometry();
    std::vector<QRect> taken;
    for (QWidget* other : Companions())
        if (other != w && other->isVisible())
            taken.push_back(other->frameGeometry());
    const QRect screen = AvailableAround(main.center());
    if (screen.isValid())
        w->move(PlaceBeside(main, FrameSize(w), screen, taken));
}

// Places each window when it first opens in this run.
class FirstShowPlacer : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Quit || (event->type() == QEvent::Close && watched == Form_Main))
            NoteOpenWindows();
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto* w = static_cast<QWidget*>(watched);
        if (!IsCompanion(w) || g_placed.contains(w->objectName()))
            return false;
        g_placed.insert(w->objectName());
        if (!MoveToKeptPlace(w))
            PlaceBesideMain(w);
        return false;
    }
};

} // namespace

std::string WindowPlacesFile()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return (dir + QStringLiteral("/JX_Monitor/windows.conf")).toStdString();
}

QRect KeptInside(const QRect& rect, const QRect& screen)
{
    QRect r = rect;
    r.moveLeft(std::max(screen.left(), std::min(r.left(), screen.right() + 1 - r.width())));
    r.moveTop(std::max(screen.top(), std::min(r.top(), screen.bottom() + 1 - r.height())));
    return r;
}

QPoint PlaceBeside(const QRect& main, const QSize& size, const QRect& screen, const std::vector<QRect>& taken)
{
    std::vector<QPoint> tries;
    std::vector<int> rows;
    for (int y = main.top(); y + size.height() <= screen.bottom() + 1; y += kStep)
        rows.push_back(y);
    for (int y = main.top() - kStep; y >= screen.top(); y -= kStep)
        rows.push_back(y);
    for (int y : rows)
        tries.emplace_back(main.right() + 1 + kGap, y);
    for (int y : rows)
        tries.emplace_back(main.left() - kGap - size.width(), y);
    for (int x = main.left(); x + size.width() <= screen.right() + 1; x += kStep)
        tries.emplace_back(x, main.bottom() + 1 + kGap);
    auto fits = [&](const QPoint& p, bool clearOfOthers) {
        const QRect r(p, size);
        if (!screen.contains(r) || r.intersects(main))
            return false;
        return !clearOfOthers || std::none_of(taken.begin(), taken.end(), [&](const QRect& t) { return t.intersects(r); });
    };
    for (bool clearOfOthers : {true, false})
        for (const QPoint& p : tries)
            if (fits(p, clearOfOthers))
                return p;
    // No room beside the main window: over it, but on the screen.
    return KeptInside(QRect(QPoint(main.right() + 1 + kGap, main.top()), size), screen).topLeft();
}

void RestoreWindowPlaces()
{
    if (!Form_Main)
        return;
    if (!MoveToKeptPlace(Form_Main))
        CentreOnScreen(Form_Main);
    g_placed = {Form_Main->objectName()};
    g_openAtEnd.clear();
    g_ending = false;
    qApp->installEventFilter(new FirstShowPlacer(Form_Main));
    const QSettings store(StoreFile(), QSettings::IniFormat);
    for (QWidget* w : Companions())
        if (kReopened.contains(w->objectName()) && store.value(w->objectName() + "/visible").toBool())
            w->show();
}

void SaveWindowPlaces()
{
    QSettings store(StoreFile(), QSettings::IniFormat);
    QList<QWidget*> windows = Companions();
    if (Form_Main)
        windows << Form_Main;
    for (QWidget* w : windows) {
        const QString key = w->objectName() + "/";
        // A window never opened in this run keeps the place it had.
        if (g_placed.contains(w->objectName())) {
            store.setValue(key + "pos", w->pos());
            store.setValue(key + "size", w->size());
        }
        if (w != Form_Main)
            store.setValue(key + "visible", g_ending ? g_openAtEnd.contains(w->objectName()) : w->isVisible());
    }
    store.sync();
}
