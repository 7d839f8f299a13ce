#include "core/main_window.h"
#include "display/health.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QEnterEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLayout>
#include <QMenuBar>
#include <QTimer>

#include "core/dispatch.h"
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
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    Timer_ZELK = new QTimer(this);
    Timer_ZELK->setObjectName("Timer_ZELK");
    Timer_ZELK->setInterval(200);
    connect(Timer_ZELK, &QTimer::timeout, this, &TForm_Main::ZELKTimer);
    SetSingleLayout();
}

TForm_Main::~TForm_Main()
{
    if (created_)
        FormDestroy();
    RemoveLinkHooks();
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
    QGuiApplication::setApplicationDisplayName(QString("%1 JX_Monitor").arg(DisplayPort));
    if (PortCount == -1)
        EnableAllPorts();
    else
        FillPortControls();
    SelectDisplayComItem();
    PortLineCodes.fill(LineCodes{7, 3, 1, 0});
    AutoQueryOn = true;
    LoggingAutoQuery->setChecked(true);
    InstallLinkHooks();
    Timer_ZELK->start();
    return true;
}

void TForm_Main::FormDestroy()
{
    Timer_ZELK->stop();
    if (Timer_Transmit)
        Timer_Transmit->stop();
    if (CloseRawRecordingHook)
        CloseRawRecordingHook();
    for (PortRecord& port : PortTable)
        if (port.open || port.lost)
            ClosePort(port);
    created_ = false;
}

void TForm_Main::ApplyHint(const QString& hint) { Panel_Hint->setCaption(hint); }

void TForm_Main::SetSingleLayout()
{
    ApplyLayout(Panel_Satellites->geometry().right() + 1 + 7, false);
}

void TForm_Main::SetMultiportLayout() { ApplyLayout(Panel_Com->geometry().right() + 1 + 7, true); }

bool TForm_Main::IsMultiport() const { return designWidth_ == Panel_Com->geometry().right() + 1 + 7; }

void TForm_Main::ApplyLayout(int designWidth, bool multiport)
{
    designWidth_ = designWidth;
    ClientArea->setFixedSize(designWidth - kFrameWidth, kClientHeight);
    Bevel1->setGeometry(Bevel1->x(), Bevel1->y(), designWidth - 8, Bevel1->height());
    const int bevelEnd = Bevel1->x() + Bevel1->width();
    Panel_Serial->move(bevelEnd - 3 - Panel_Serial->width(), Panel_Serial->y());
    Panel_Version->move(Panel_Serial->x() - 3 - Panel_Version->width(), Panel_Version->y());
    Panel_Record->move(Panel_Version->x() - 3 - Panel_Record->width(), Panel_Record->y());
    Panel_Hint->resize(Panel_Record->x() - Panel_TxRx->width() - 11, Panel_Hint->height());
    WindowMultiPort->setChecked(multiport);
    MenuMP_MultiPort->setChecked(multiport);
    adjustSize();
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
