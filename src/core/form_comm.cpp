#include "core/form_comm.h"

#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QPushButton>

#include "platform/widgets.h"

TForm_Comm::TForm_Comm()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName("Form_Comm");
    setWindowTitle("JX_Monitor");
    SetDesignFont(this);
    setFixedSize(Scaled(220), Scaled(110));
    Label1 = new QLabel("Select Serial Port:", this);
    Place(Label1, "Label1", 16, 12, 190, 20);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    ComboBox_Com = new QComboBox(this);
    Place(ComboBox_Com, "ComboBox_Com", 16, 36, 188, 24);
    ComboBox_Com->addItems({"COM 1", "COM 2", "COM 3", "COM 4"});
    ComboBox_Com->setCurrentIndex(0);
    Label1->setBuddy(ComboBox_Com);
    Button_OK = new QPushButton("&OK", this);
    Place(Button_OK, "Button_OK", 30, 72, 75, 25);
    Button_OK->setDefault(true);
    Button_Cancel = new QPushButton("&Cancel", this);
    Place(Button_Cancel, "Button_Cancel", 115, 72, 75, 25);
    connect(Button_OK, &QPushButton::clicked, this, &TForm_Comm::Button_ContinueClick);
    connect(Button_Cancel, &QPushButton::clicked, this, &TForm_Comm::Button_CancelClick);
}

void TForm_Comm::SetPorts(const int* ports, int count)
{
    ComboBox_Com->clear();
    for (int i = 0; i < count; ++i)
        ComboBox_Com->addItem(QString("COM%1").arg(ports[i]));
    ComboBox_Com->setCurrentIndex(count > 0 ? 0 : -1);
}

void TForm_Comm::Button_ContinueClick() { accept(); }

void TForm_Comm::Button_CancelClick() { reject(); }
