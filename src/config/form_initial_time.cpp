#include "config/form_initial_time.h"

#include <cstdint>

#include <QPushButton>

#include "model/gps_time.h"
#include "model/port_reports.h"
#include "link/commands.h"
#include "notify/receiver_notifier.h"

TForm_InitialTime* Form_InitialTime = nullptr;

TForm_InitialTime::TForm_InitialTime() : Form("Form_InitialTime", "Time From PC", 260, 96)
{
    SetHint(this, QStringLiteral("Set Initial Time: packets 2E, 4E."));
    Shape_TimeAccepted = new Shape(this, QStringLiteral("Shape_TimeAccepted"), 24, 18, 16);
    SetHint(Shape_TimeAccepted,
            QStringLiteral("When red, the receiver already had time from a sattelite and uses that time."));
    Label4 = new Label(this, QStringLiteral("Label4"), QStringLiteral("Time Accepted by Receiver"), 50, 18, 190, 16);
    Label4->setHint(QStringLiteral("When red, the receiver already has time from a sattelite and uses that time."));

    Button_SetTime = new QPushButton(QStringLiteral("&Set Time"), this);
    Place(Button_SetTime, QStringLiteral("Button_SetTime"), 40, 56, 80, 25);
    Button_Cancel = new QPushButton(QStringLiteral("&Close"), this);
    Place(Button_Cancel, QStringLiteral("Button_Cancel"), 140, 56, 80, 25);
    connect(Button_SetTime, &QPushButton::clicked, this, &TForm_InitialTime::Button_SetTimeClick);
    connect(Button_Cancel, &QPushButton::clicked, this, &TForm_InitialTime::Button_CancelClick);
    connect(&Receivers(), &ReceiverNotifier::timeAnswered, this, &TForm_InitialTime::ShowTimeAnswer);
    CentreOnScreen(this);
}

void TForm_InitialTime::Button_SetTimeClick()
{
    // The PC's UTC reading is taken as GPS time: no leap seconds, whole
    // seconds. Whole-number division is exact, so Sunday midnight always
    // starts the new week at time 0.
    const auto seconds = static_cast<int64_t>(PcClockToGpsSeconds());
    const int64_t weekLength = static_cast<int64_t>(kSecondsPerWeek);
    const int64_t week = seconds / weekLength;
    const auto timeOfWeek = static_cast<float>(seconds - week * weekLength);
    SendGpsTime(TX_DEFAULT, timeOfWeek, static_cast<int16_t>(week));
}

void TForm_InitialTime::Button_CancelClick() { hide(); }

void TForm_InitialTime::SetTimeAccepted(bool accepted) { Shape_TimeAccepted->setFill(accepted ? Colours::Lime : Colours::Red); }

void TForm_InitialTime::ShowTimeAnswer(int slot)
{
    SetTimeAccepted(PortReports[static_cast<size_t>(slot)].timeAnswer == 'Y');
}

void TForm_InitialTime::ClearTimeAccepted() { Shape_TimeAccepted->setFill(Colours::Grey); }
