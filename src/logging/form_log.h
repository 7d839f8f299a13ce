// The data logging window, caption "Data Logging Setup and Status": chooses
// the values of a record, the interval, pacing and files, starts and stops
// logging and shows the active port's progress. Its setup controls edit
// DataLogSettings(), which the logger reads. Created hidden at start;
// closing only hides it, logging goes on.
#pragma once

#include <array>
#include <string>

#include "model/formats/log_record.h"
#include "platform/widgets.h"

struct LogPortRecord;

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTimer;

class TForm_Log : public Form {
    Q_OBJECT
public:
    TForm_Log();

    // The root of the log file names, as if typed into the window.
    void SetFileRoot(const QString& root);
    // For callers that run Timer_SystemTimer() on their own clock.
    void StopSystemTimer();

    void Button_StartClick();
    void Button_StopClick();
    void Button_BrowseClick();
    void Button_ClearClick();
    void Button_SelectAllClick();
    void Button_SelectClearClick();
    void Button_CancelClick();
    void Timer_SystemTimer();

private:
    Panel* Panel_DataSelection = nullptr;
    // In record order: TOW, Bias, Bias Rate, Signal Levels, Position LLA,
    // Position XYZ, Velocity ENU, Velocity XYZ, Receiver Mode, Health, DGPS, DOPs.
    std::array<QCheckBox*, kLogFields> CheckBoxes{};
    QCheckBox* CheckBox_TOW = nullptr;
    QCheckBox* CheckBox_Bias = nullptr;
    QCheckBox* CheckBox_BiasRate = nullptr;
    QCheckBox* CheckBox_Levels = nullptr;
    QCheckBox* CheckBox_PosLLA = nullptr;
    QCheckBox* CheckBox_PosXYZ = nullptr;
    QCheckBox* CheckBox_VelENU = nullptr;
    QCheckBox* CheckBox_VelXYZ = nullptr;
    QCheckBox* CheckBox_Mode = nullptr;
    QCheckBox* CheckBox_Health = nullptr;
    QCheckBox* CheckBox_DGPS = nullptr;
    QCheckBox* CheckBox_DOPs = nullptr;
    QPushButton* Button_SelectAll = nullptr;
    QPushButton* Button_SelectClear = nullptr;

    Panel* Panel_Setup = nullptr;
    QLineEdit* Edit_Interval = nullptr;
    QCheckBox* CheckBox_SystemTimer = nullptr;
    QLineEdit* Edit_FileRoot = nullptr;
    QCheckBox* CheckBox_Append = nullptr;
    Panel* Panel_Filename = nullptr;
    QPushButton* Button_Browse = nullptr;
    QPushButton* Button_Clear = nullptr;

    Panel* Panel_Status = nullptr;
    Shape* Shape_OnOff = nullptr;
    Label* Label_OnOff = nullptr;
    Panel* Panel_DataSets = nullptr;
    Panel* Panel_StartTime = nullptr;
    Panel* Panel_Duration = nullptr;
    Panel* Panel_Data = nullptr;
    // Names the log files that could not be written in this run.
    Label* Label_FileError = nullptr;

    QPushButton* Button_Start = nullptr;
    QPushButton* Button_Stop = nullptr;
    QPushButton* Button_Cancel = nullptr;
    QTimer* Timer_System = nullptr;

    // After a record of the active port: its count and the line written.
    void ShowLastSet(int count, const std::string& line);
    // A log file that cannot be written: told once per file in the status.
    void ShowUnwritable(const std::string& fileName);
    // Bias is offered only while the receiver reports one; the logger has
    // cleared the choice if it had to.
    void SetBiasAvailable(bool available);
    // The controls show DataLogSettings() and write every change back.
    void EditSettings();
    void FollowLogger();
    void ShowFilesWritten(const LogPortRecord* active);
    void BuildDataSelection();
    void BuildSetup();
    void BuildStatus();
    void BuildButtons();
    void ConnectExclusive(QCheckBox* a, QCheckBox* b);
    void SetSetupEnabled(bool enabled);

    std::string unwritable_;
};

extern TForm_Log* Form_Log;
