#include "core/form_comm.h"

#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>

#include "platform/port_enumeration.h"
#include "platform/widgets.h"

TForm_Comm::TForm_Comm()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName("Form_Comm");
    setWindowTitle("JX_Monitor");
    SetDesignFont(this);
    setFixedSize(Scaled(220), Scaled(132));
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
    Label_Device = new QLabel(this);
    Place(Label_Device, "Label_Device", 16, 64, 188, 18);
    Button_OK = new QPushButton("&OK", this);
    Place(Button_OK, "Button_OK", 30, 94, 75, 25);
    Button_OK->setDefault(true);
    Button_Cancel = new QPushButton("&Cancel", this);
    Place(Button_Cancel, "Button_Cancel", 115, 94, 75, 25);
    connect(Button_OK, &QPushButton::clicked, this, &TForm_Comm::Button_ContinueClick);
    connect(Button_Cancel, &QPushButton::clicked, this, &TForm_Comm::Button_CancelClick);
    connect(ComboBox_Com, &QComboBox::currentIndexChanged, this, &TForm_Comm::ShowDevice);
    ShowDevice(0);
}

void TForm_Comm::SetPorts(const int* ports, int count)
{
    const QSignalBlocker quiet(ComboBox_Com);
    ComboBox_Com->clear();
    rowComs_.assign(ports, ports + std::max(count, 0));
    for (int i = 0; i < count; ++i) {
        ComboBox_Com->addItem(QString("COM%1").arg(ports[i]));
        ComboBox_Com->setItemData(i, QString::fromStdString(ComDevicePath(ports[i])), Qt::ToolTipRole);
    }
    ComboBox_Com->setCurrentIndex(count > 0 ? 0 : -1);
    ShowDevice(ComboBox_Com->currentIndex());
}

int TForm_Comm::ChosenRow() const { return ComboBox_Com->currentIndex(); }

void TForm_Comm::ShowDevice(int row)
{
    const int com = row >= 0 && row < static_cast<int>(rowComs_.size()) ? rowComs_[static_cast<size_t>(row)] : 0;
    const QString path = com ? QString::fromStdString(ComDevicePath(com)) : QString();
    const QString text = path.isEmpty() ? QString() : QString("COM%1: %2").arg(com).arg(path);
    Label_Device->setText(Label_Device->fontMetrics().elidedText(text, Qt::ElideMiddle, Label_Device->width()));
    Label_Device->setToolTip(text);
    Label_Device->setAccessibleName(text);
}

void TForm_Comm::Button_ContinueClick() { accept(); }

void TForm_Comm::Button_CancelClick() { reject(); }
