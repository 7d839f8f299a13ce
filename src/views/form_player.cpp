#include "views/form_player.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QTimer>

#include "link/port_table.h"
#include "link/replayed_ports.h"
#include "model/replay/replay_player.h"
#include "platform/device_openers.h"
#include "platform/port_enumeration.h"
#include "platform/ui.h"
#include "views/view_support.h"

TForm_Player* Form_Player = nullptr;

namespace {

constexpr int kRefreshMs = 100;
constexpr int64_t kSliderUnitNs = 100000000; // a slider step is a tenth of a second
constexpr int64_t kMsNs = 1000000;

struct SpeedChoice {
    const char* caption;
    double speed;
};
const SpeedChoice kSpeeds[] = {{"x0.1", 0.1}, {"x0.5", 0.5}, {"x1", 1.0},   {"x2", 2.0},
                               {"x10", 10.0}, {"x100", 100.0}, {"Fastest", kAsFastAsPossible}};
constexpr int kNormalSpeed = 2;

// The lowest COM number with no device mapped and no port open, or 0.
int FreeCom()
{
    for (int com = 1; com <= kPortSlots; ++com) {
        const PortRecord& port = PortTable[static_cast<size_t>(com - 1)];
        if (ComDevicePath(com).empty() && !port.open && !port.lost)
            return com;
    }
    return 0;
}

QString Duration(int64_t ns)
{
    const int64_t s = std::max<int64_t>(ns, 0) / 1000000000;
    return QString::asprintf("%02lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                             static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
}

} // namespace

TForm_Player::TForm_Player() : Form("Form_Player", "Player", 460, 200)
{
    // Resizable, so the layout's least size (which follows the font) always fits.
    MakeResizable(this, QSize(Scaled(400), Scaled(150)));
    BuildControls();
    Timer_Refresh = new QTimer(this);
    Timer_Refresh->setObjectName("Timer_Refresh");
    Timer_Refresh->setInterval(kRefreshMs);
    connect(Timer_Refresh, &QTimer::timeout, this, &TForm_Player::Refresh);
    Refresh();
}

TForm_Player::~TForm_Player() { CloseRecordings(); }

void TForm_Player::showEvent(QShowEvent* event)
{
    // The time field holds a whole time in the font the window really has.
    const int room = Edit_Time->fontMetrics().horizontalAdvance(UtcText(0) + "00");
    Edit_Time->setMinimumWidth(room + Edit_Time->contentsMargins().left() + Edit_Time->contentsMargins().right());
    // A larger font than the design's makes the window grow, never overlap.
    if (layout())
        resize(size().expandedTo(layout()->totalSizeHint()));
    Form::showEvent(event);
}

void TForm_Player::BuildControls()
{
    Label_Files = new QLabel("No recording open.", this);
    Label_Files->setObjectName("Label_Files");
    Slider_Time = new QSlider(Qt::Horizontal, this);
    Slider_Time->setObjectName("Slider_Time");
    Slider_Time->setAccessibleName("Time");
    SetHint(Slider_Time, "Drag to go to a time of the recordings.");
    Button_StepBack = new QPushButton("Step &Back", this);
    Button_StepBack->setObjectName("Button_StepBack");
    Button_Play = new QPushButton("&Play", this);
    Button_Play->setObjectName("Button_Play");
    Button_StepForward = new QPushButton("Step &Forward", this);
    Button_StepForward->setObjectName("Button_StepForward");
    ComboBox_Speed = new QComboBox(this);
    ComboBox_Speed->setObjectName("ComboBox_Speed");
    ComboBox_Speed->setAccessibleName("Speed");
    for (const SpeedChoice& choice : kSpeeds)
        ComboBox_Speed->addItem(choice.caption);
    ComboBox_Speed->setCurrentIndex(kNormalSpeed);
    auto* timeCaption = new QLabel("&Time (UTC):", this);
    Edit_Time = new QLineEdit(this);
    Edit_Time->setObjectName("Edit_Time");
    timeCaption->setBuddy(Edit_Time);
    SetHint(Edit_Time, "Type a UTC time and press Enter to go there.");
    Label_Time = new QLabel(this);
    Label_Time->setObjectName("Label_Time");
    CheckBox_Log = new QCheckBox("&Log replayed ports", this);
    CheckBox_Log->setObjectName("CheckBox_Log");
    SetHint(CheckBox_Log, "Let data logging take the replayed ports too.");
    Label_Status = new QLabel(this);
    Label_Status->setObjectName("Label_Status");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button_StepBack);
    buttons->addWidget(Button_Play);
    buttons->addWidget(Button_StepForward);
    buttons->addStretch();
    buttons->addWidget(new QLabel("Speed:", this));
    buttons->addWidget(ComboBox_Speed);
    auto* grid = new QGridLayout(this);
    grid->addWidget(Label_Files, 0, 0, 1, 3);
    grid->addWidget(Slider_Time, 1, 0, 1, 3);
    grid->addLayout(buttons, 2, 0, 1, 3);
    grid->addWidget(timeCaption, 3, 0);
    grid->addWidget(Edit_Time, 3, 1);
    grid->addWidget(Label_Time, 3, 2);
    grid->addWidget(CheckBox_Log, 4, 0, 1, 3);
    grid->addWidget(Label_Status, 5, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(6, 1);

    connect(Button_Play, &QPushButton::clicked, this, &TForm_Player::Button_PlayClick);
    connect(Button_StepForward, &QPushButton::clicked, this, &TForm_Player::Button_StepForwardClick);
    connect(Button_StepBack, &QPushButton::clicked, this, &TForm_Player::Button_StepBackClick);
    connect(ComboBox_Speed, &QComboBox::currentIndexChanged, this, &TForm_Player::ComboBox_SpeedChange);
    connect(Edit_Time, &QLineEdit::returnPressed, this, &TForm_Player::Edit_TimeReturn);
    connect(Slider_Time, &QSlider::sliderMoved, this, &TForm_Player::Slider_TimeMoved);
    connect(CheckBox_Log, &QCheckBox::toggled, this, [](bool on) { LogReplayedPorts = on; });
    auto* space = new QShortcut(QKeySequence(Qt::Key_Space), this);
    space->setObjectName("Shortcut_Play");
    space->setContext(Qt::WindowShortcut);
    connect(space, &QShortcut::activated, this, &TForm_Player::Button_PlayClick);
    // Space is the player's: the buttons take their own keys, not Space.
    for (QPushButton* button : {Button_StepBack, Button_Play, Button_StepForward})
        button->setFocusPolicy(Qt::TabFocus);
}

std::vector<int> TForm_Player::OpenRecordings(const QStringList& files)
{
    CloseRecordings();
    auto player = std::make_shared<ReplayPlayer>();
    QStringList failures;
    QStringList opened;
    for (const QString& file : files) {
        std::string error;
        if (!player->Add(file.toStdString(), &error))
            failures << QString::fromStdString(error);
        else
            opened << file;
    }
    if (!failures.isEmpty())
        ui::Message(failures.join('\n'), "Player", ui::Icon::Exclamation);
    if (opened.isEmpty()) {
        Refresh();
        return {};
    }
    player->SetSpeed(kSpeeds[ComboBox_Speed->currentIndex()].speed);
    player_ = player;
    InstallReplayPlayer(player_);
    QStringList lines;
    QStringList noRoom;
    for (size_t i = 0; i < player_->Count(); ++i) {
        const int com = FreeCom();
        const QString name = QFileInfo(opened[static_cast<int>(i)]).fileName();
        if (com == 0) {
            noRoom << name;
            continue;
        }
        SetComDevice(com, ReplayDevicePath(player_->Session(i).path));
        if (OpenSlot(com - 1) != 0) {
            RemoveComDevice(com);
            noRoom << name;
            continue;
        }
        PortTable[static_cast<size_t>(com - 1)].monitored = 1;
        coms_.push_back(com);
        lines << QString("COM%1  replay: %2%3").arg(com).arg(name, player_->Session(i).timeline.Indexed()
                                                                          ? QString()
                                                                          : QString("  (paced by its fixes)"));
    }
    if (!noRoom.isEmpty())
        ui::Message("No free COM number for: " + noRoom.join(", "), "Player", ui::Icon::Exclamation);
    Label_Files->setText(lines.join('\n'));
    Slider_Time->setRange(0, static_cast<int>((player_->End() - player_->Start()) / kSliderUnitNs));
    Timer_Refresh->start();
    Refresh();
    emit replayPortsChanged(coms_);
    return coms_;
}

void TForm_Player::CloseRecordings()
{
    for (int com : coms_) {
        ClosePort(PortTable[static_cast<size_t>(com - 1)]);
        RemoveComDevice(com);
    }
    const bool had = !coms_.empty();
    coms_.clear();
    if (player_ && InstalledReplayPlayer() == player_)
        InstallReplayPlayer(nullptr);
    player_.reset();
    if (Label_Files)
        Label_Files->setText("No recording open.");
    if (had)
        emit replayPortsChanged(coms_);
}

void TForm_Player::Button_PlayClick()
{
    if (!player_)
        return;
    if (player_->Playing())
        player_->Pause();
    else
        player_->Play();
    Refresh();
}

void TForm_Player::Button_StepForwardClick()
{
    if (player_)
        player_->StepForward();
    Refresh();
}

void TForm_Player::Button_StepBackClick()
{
    if (player_)
        player_->StepBack();
    Refresh();
}

void TForm_Player::ComboBox_SpeedChange(int index)
{
    if (player_ && index >= 0 && index < static_cast<int>(std::size(kSpeeds)))
        player_->SetSpeed(kSpeeds[index].speed);
    Refresh();
}

void TForm_Player::Seek(int64_t utcNs)
{
    if (!player_)
        return;
    // The ports' parsers may hold half a frame of the old place: start them afresh.
    for (int com : coms_) {
        PortRecord& port = PortTable[static_cast<size_t>(com - 1)];
        port.readPos = port.collectLen = 0;
        port.bytesLeft = 0;
        port.dlePending = 0;
    }
    player_->Seek(utcNs);
    Refresh();
}

void TForm_Player::Edit_TimeReturn()
{
    int64_t at = 0;
    if (!ParseUtcText(Edit_Time->text(), at)) {
        Label_Status->setText("Not a time: use 2026-12-09 13:45:10");
        return;
    }
    Seek(at);
}

void TForm_Player::Slider_TimeMoved(int value)
{
    if (player_)
        Seek(player_->Start() + value * kSliderUnitNs);
}

void TForm_Player::Refresh()
{
    const bool loaded = player_ != nullptr;
    for (QWidget* w : std::initializer_list<QWidget*>{Button_StepBack, Button_Play, Button_StepForward, Slider_Time,
                                                      Edit_Time})
        w->setEnabled(loaded);
    if (!loaded) {
        Button_Play->setText("&Play");
        Label_Time->clear();
        Label_Status->setText("No recording open.");
        return;
    }
    if (player_->Playing() && player_->Finished())
        player_->Pause();
    const int64_t now = player_->Now();
    Button_Play->setText(player_->Playing() ? "&Pause" : "&Play");
    if (!Slider_Time->isSliderDown())
        Slider_Time->setValue(static_cast<int>((now - player_->Start()) / kSliderUnitNs));
    if (!Edit_Time->hasFocus())
        Edit_Time->setText(UtcText(now));
    Label_Time->setText(Duration(now - player_->Start()) + " / " + Duration(player_->End() - player_->Start()));
    uint64_t refused = 0;
    for (size_t i = 0; i < player_->Count(); ++i)
        refused += player_->Session(i).refusedWrites;
    QString state = player_->Finished() ? "End" : player_->Playing() ? "Playing" : "Paused";
    if (refused)
        state += QString(", %1 commands not sent").arg(refused);
    Label_Status->setText(state);
}

QString TForm_Player::UtcText(int64_t utcNs)
{
    return QDateTime::fromMSecsSinceEpoch(utcNs / kMsNs, Qt::UTC).toString("yyyy-MM-dd hh:mm:ss.zzz");
}

bool TForm_Player::ParseUtcText(const QString& text, int64_t& utcNs)
{
    for (const char* format : {"yyyy-MM-dd hh:mm:ss.zzz", "yyyy-MM-dd hh:mm:ss", "yyyy-MM-dd hh:mm"}) {
        QDateTime t = QDateTime::fromString(text.trimmed(), format);
        if (t.isValid()) {
            t.setTimeSpec(Qt::UTC);
            utcNs = t.toMSecsSinceEpoch() * kMsNs;
            return true;
        }
    }
    return false;
}
