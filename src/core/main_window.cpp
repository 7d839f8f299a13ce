#include "core/main_window.h"
#include "monitor/health.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QFontMetrics>
#include <QEnterEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLayout>
#include <QMenuBar>
#include <algorithm>

#include "monitor/dispatch.h"
#include "monitor/monitor.h"
#include "core/open_failure.h"
#include "link/commands.h"
#include "link/port_table.h"
#include "platform/port_enumeration.h"
#include "platform/ui.h"

TForm_Main* Form_Main = nullptr;

namespace {

constexpr int kClientHeight = 351;
constexpr int kFrameWidth = 6; // designed outer width minus client width

// Feeds the hint line from the control under the pointer.
class HintWatcher : public QObject {
public:
    explicit HintWatcher(TForm_Main* form) : QObject(form), form_(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Enter && watched->isWidgetType())
            form_->ApplyHint(NearestHint(static_cast<QWidget*>(watched)));
        else if (event->type() == QEvent::Leave && watched->isWidgetType())
            form_->ApplyHint(NearestHint(QApplication::widgetAt(QCursor::pos())));
        return false;
    }

private:
    TForm_Main* form_;
};

} // namespace

TForm_Main::TForm_Main()
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    Form_Main = this;
    setObjectName("Form_Main");
    setWindowTitle("JX_Monitor");
    SetDesignFont(this);
    BuildClientArea();
    BuildMainMenu();
    ConnectReceivers();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    ConnectEngine();
    SubscribeToModules();
    SetSingleLayout();
}

TForm_Main::~TForm_Main()
{
    if (created_)
        FormDestroy();
    if (Form_Main == this)
        Form_Main = nullptr;
}

bool TForm_Main::FormCreate()
{
    const int slot = DisplayPort - 1;
    PortRecord* port = slot >= 0 && slot < kPortSlots ? &PortTable[static_cast<size_t>(slot)] : nullptr;
    // A device already in the slot (put there by a test or by the demo) is kept.
    OpenError error{OpenFailure::Missing, "No such COM number"};
    if (!port || (!port->open && OpenPort(*port, ComDevicePath(DisplayPort), slot, error) != 0)) {
        ReportOpenFailure(DisplayPort, error, "Serial Port Error");
        return false;
    }
    created_ = true;
    port->searchStep = 7;
    qApp->installEventFilter(new HintWatcher(this));
    ShowDisplayPortIdentity();
    if (PortCount == -1)
        EnableAllPorts();
    else
        FillPortControls();
    SelectDisplayComItem();
    PortLineCodes.fill(LineCodes{7, 3, 1, 0});
    Monitor::Instance().SetAutoQuery(true);
    LoggingAutoQuery->setChecked(true);
    Monitor::Instance().Start();
    return true;
}

void TForm_Main::FormDestroy()
{
    Monitor::Instance().Stop();
    if (CloseRawRecordingHook)
        CloseRawRecordingHook();
    Monitor::Instance().CloseEveryPort();
    created_ = false;
}

void TForm_Main::ApplyHint(const QString& hint) { Panel_Hint->setCaption(hint.isEmpty() ? NoteCaption() : hint); }

// The note as the line has room for it; the pointer over the line reads all of it.
QString TForm_Main::NoteCaption() const
{
    return QFontMetrics(Panel_Hint->font()).elidedText(statusNote_, Qt::ElideRight, TextRoom(*Panel_Hint));
}

void TForm_Main::SetStatusNote(const QString& note)
{
    // A new note shows at once, over a hint; a note that goes takes only itself away.
    const bool showingNote = Panel_Hint->caption() == NoteCaption();
    statusNote_ = note;
    if (!note.isEmpty() || showingNote)
        Panel_Hint->setCaption(NoteCaption());
    Panel_Hint->setToolTip(note);
    Panel_Hint->setAccessibleDescription(note);
}

void TForm_Main::closeEvent(QCloseEvent* event)
{
    // The main window's end is the program's, whatever other windows are open:
    // the recording and the ports are closed before the loop ends.
    QMainWindow::closeEvent(event);
    if (!event->isAccepted())
        return;
    if (created_)
        FormDestroy();
    QCoreApplication::quit();
}

void TForm_Main::SetSingleLayout()
{
    ApplyLayout(Panel_Satellites->geometry().right() + 1 + Scaled(7), false);
}

void TForm_Main::SetMultiportLayout() { ApplyLayout(Panel_Com->geometry().right() + 1 + Scaled(7), true); }

bool TForm_Main::IsMultiport() const { return designWidth_ == Panel_Com->geometry().right() + 1 + Scaled(7); }

void TForm_Main::ApplyLayout(int designWidth, bool multiport)
{
    designWidth_ = designWidth;
    ClientArea->setFixedSize(designWidth - Scaled(kFrameWidth), Scaled(kClientHeight));
    Bevel1->setGeometry(Bevel1->x(), Bevel1->y(), designWidth - Scaled(8), Bevel1->height());
    PlaceStatusPanels();
    WindowMultiPort->setChecked(multiport);
    MenuMP_MultiPort->setChecked(multiport);
    adjustSize();
}

// Right-aligned 3 pixels apart: Serial, Device, Version, Record; the hint line fills the rest.
void TForm_Main::PlaceStatusPanels()
{
    const int bevelEnd = Bevel1->x() + Bevel1->width();
    const int gap = Scaled(3);
    int right = bevelEnd - gap;
    for (Panel* panel : {Panel_Serial, Panel_Device, Panel_Version, Panel_Record}) {
        panel->move(right - panel->width(), panel->y());
        right = panel->x() - gap;
    }
    Panel_Hint->resize(Panel_Record->x() - Panel_TxRx->width() - Scaled(11), Panel_Hint->height());
}

void TForm_Main::ShowDisplayPortIdentity()
{
    // The application display name stays "JX_Monitor": a title that ends with
    // it is shown as it is, not as "JX_Monitor — N JX_Monitor".
    setWindowTitle(QString("%1 JX_Monitor").arg(DisplayPort));
    const QString path = QString::fromStdString(ComDevicePath(DisplayPort));
    // Wide enough for a usual path; a longer one is cut in the middle and
    // read whole in the hint line.
    constexpr int kMaxDeviceWidth = 130, kMinDeviceWidth = 24, kPadding = 10;
    const QFontMetrics metrics(Panel_Device->font());
    const int needed = metrics.horizontalAdvance(path) + kPadding;
    const int width = std::clamp(needed, Scaled(kMinDeviceWidth), Scaled(kMaxDeviceWidth));
    Panel_Device->resize(width, Panel_Device->height());
    Panel_Device->setCaption(needed <= width ? path : metrics.elidedText(path, Qt::ElideMiddle, width - kPadding));
    Panel_Device->setHint(QString("COM%1: %2").arg(DisplayPort).arg(path));
    Panel_Device->setAccessibleDescription(path);
    PlaceStatusPanels();
}

void TForm_Main::SelectDisplayComItem()
{
    for (int i = 0; i < PortCount && i < kPortSlots; ++i) {
        if (PortList[static_cast<size_t>(i)] == DisplayPort) {
            ComboBox_DisplayCom->setCurrentIndex(i);
            return;
        }
    }
}

void TForm_Main::ResetDisplay()
{
    for (Panel* panel : ClientArea->findChildren<Panel*>()) {
        if (panel->tag() == 0)
            continue;
        panel->setCaption("?");
        panel->setColour(WindowColour());
    }
    for (Shape* lamp : ClientArea->findChildren<Shape*>())
        if (lamp->tag() != 0)
            lamp->setFill(Colours::Grey);
    ClearFixSatellites();
}
