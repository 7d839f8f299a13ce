// The port selection dialog shown at start when no display port was given.
#pragma once

#include <QDialog>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;

class TForm_Comm : public QDialog {
    Q_OBJECT
public:
    TForm_Comm();

    // Replaces the built-in rows by "COM%d" for each port and selects the first.
    void SetPorts(const int* ports, int count);
    // The row chosen in the list, -1 when none.
    int ChosenRow() const;

    void Button_ContinueClick();
    void Button_CancelClick();

private:
    QLabel* Label1 = nullptr;
    QComboBox* ComboBox_Com = nullptr;
    QLabel* Label_Device = nullptr; // the device (or URL) behind the selected row
    QPushButton* Button_OK = nullptr;
    QPushButton* Button_Cancel = nullptr;

    // Row r's COM number: the port list's entry, or r + 1 for the built-in rows.
    std::vector<int> rowComs_{1, 2, 3, 4};
    void ShowDevice(int row);
};
