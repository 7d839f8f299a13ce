// The initial position dialog, caption "Initial Position": sends an
// approximate or exact position, as latitude/longitude/altitude or as ECEF
// X/Y/Z, typed in or read from a position data file. Created hidden at start.
#pragma once

#include <array>
#include <optional>

#include "platform/widgets.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class RadioGroup;
struct PositionFileData;

class TForm_InitialPos : public Form {
    Q_OBJECT
public:
    TForm_InitialPos();

    // Rows of RadioGroup_PosMode.
    enum PosMode { ApproximateLla = 0, ApproximateEcef = 1, ExactLla = 2, ExactEcef = 3 };

    void RadioGroup_PosModeClick();
    void Button_FileClick();
    void Button_OKClick();
    void Button_ApplyClick();
    void Button_CancelClick();

private:
    RadioGroup* RadioGroup_PosMode = nullptr;
    QGroupBox* GroupBox_LLA = nullptr;
    QLineEdit* Edit_Lat = nullptr;
    QLineEdit* Edit_Lon = nullptr;
    QLineEdit* Edit_Alt = nullptr;
    QPushButton* Button_File1 = nullptr;
    QGroupBox* GroupBox_ECEF = nullptr;
    QLineEdit* Edit_X = nullptr;
    QLineEdit* Edit_Y = nullptr;
    QLineEdit* Edit_Z = nullptr;
    QPushButton* Button_File2 = nullptr;
    QPushButton* Button_OK = nullptr;
    QPushButton* Button_Apply = nullptr;
    QPushButton* Button_Cancel = nullptr;

    void BuildLlaGroup();
    void BuildEcefGroup();
    void BuildButtons();
    bool ModeIsLla() const;
    void ShowFilePosition(const PositionFileData& position);
    // Sends the chosen mode's command; false when a field is no number.
    bool SendPosition();
    std::optional<std::array<float, 3>> ReadLlaFields();
    std::optional<std::array<float, 3>> ReadEcefFields();
};

extern TForm_InitialPos* Form_InitialPos;
