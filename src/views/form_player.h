// The "Player" window: recordings opened as replayed ports, played on one
// clock with pause, single steps, speed and a slider that seeks by time.
#pragma once

#include <QStringList>
#include <memory>
#include <vector>

#include "platform/widgets.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTimer;
class ReplayPlayer;

class TForm_Player : public Form {
    Q_OBJECT
public:
    TForm_Player();
    ~TForm_Player() override;

    // Replaces the recordings played by these files, each on a free COM
    // number. Returns the COM numbers opened (none when no file could be read;
    // the user has been told why).
    std::vector<int> OpenRecordings(const QStringList& files);
    // Closes the replayed ports and forgets the recordings.
    void CloseRecordings();
    const std::vector<int>& ReplayComs() const { return coms_; }
    ReplayPlayer* Player() const { return player_.get(); }

    // The controls' handlers, public for the main window and the tests.
    void Button_PlayClick();
    void Button_StepForwardClick();
    void Button_StepBackClick();
    void ComboBox_SpeedChange(int index);
    void Edit_TimeReturn();
    void Slider_TimeMoved(int value);
    // Shows the player's time and state now (the window does it 10 times a second).
    void Refresh();

    // "2026-12-09 13:45:10.250" for a time in nanoseconds since 1970 UTC.
    static QString UtcText(int64_t utcNs);
    // The inverse; false when the text is no such time.
    static bool ParseUtcText(const QString& text, int64_t& utcNs);

signals:
    // The replayed ports changed: the main window lists them and shows the first.
    void replayPortsChanged(const std::vector<int>& coms);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    void Seek(int64_t utcNs);

    std::shared_ptr<ReplayPlayer> player_;
    std::vector<int> coms_;
    QLabel* Label_Files = nullptr;
    QPushButton* Button_StepBack = nullptr;
    QPushButton* Button_Play = nullptr;
    QPushButton* Button_StepForward = nullptr;
    QComboBox* ComboBox_Speed = nullptr;
    QSlider* Slider_Time = nullptr;
    QLineEdit* Edit_Time = nullptr;
    QLabel* Label_Time = nullptr;
    QCheckBox* CheckBox_Log = nullptr;
    QLabel* Label_Status = nullptr;
    QTimer* Timer_Refresh = nullptr;
};

extern TForm_Player* Form_Player;
