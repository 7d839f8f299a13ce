// The port selection dialog shown at start when no display port was given.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

class TForm_Comm : public QDialog {
    Q_OBJECT
public:
    TForm_Comm();

    // Replaces the built-in rows by "COM%d" for each port and selects the first.
    void SetPorts(const int* ports, int count);

    QLabel* Label1 = nullptr;
    QComboBox* ComboBox_Com = nullptr;
    QPushButton* Button_OK = nullptr;
    QPushButton* Button_Cancel = nullptr;

    void Button_ContinueClick();
    void Button_CancelClick();
};
