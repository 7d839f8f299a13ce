// The "Trends" window: a quantity of the receivers' one-second history over
// time, chosen receivers overlaid, spans from 10 minutes to 7 days, zoom and
// pan, a cursor reading every receiver, event markers with "Previous event"
// and "Next event"; and the "Stability" tab: ADEV, MDEV and TDEV of the
// receivers' clock bias over the range shown, log-log with confidence bars,
// the table copyable. Files are read, decimated and the statistics computed
// off the GUI thread; the cursor reads a few records of each receiver.
#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/history_series.h"
#include "model/stability.h"
#include "platform/widgets.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;
class QTabWidget;
class StabilityPlot;
class TrendsPlot;

class TForm_Trends : public Form {
    Q_OBJECT
public:
    // root: the folder holding the receivers' history folders.
    explicit TForm_Trends(std::string root = {});
    ~TForm_Trends() override; // stops the reads still running for it

    // Lists the receivers found under the root again (keeping the choices).
    void RefreshReceivers();
    // Chooses receivers by folder name (tests, screenshots).
    void ChooseReceivers(const std::vector<std::string>& folderNames);
    void SetQuantity(HistoryQuantity q);
    // 0: 10 min, 1: 1 h, 2: 6 h, 3: 24 h, 4: 7 days; ending at `end` (now when 0).
    void SetSpan(int index, int64_t end = 0);
    bool Loading() const { return loading_ > 0; }
    void NextEvent();
    void PreviousEvent();
    // The cursor's line: its time and each plotted receiver's value.
    QString CursorText() const;
    // Computes the stability of the chosen receivers over the range shown.
    void ComputeStability();
    bool Computing() const { return computing_ > 0; }
    // The stability table as tab-separated text (what "Copy" puts on the clipboard).
    QString StabilityText() const;
    TrendsPlot* Plot() const { return plot_; }
    // 0: the trends, 1: the stability.
    void ShowTab(int index);

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Receiver {
        std::string folder, label;
        int colour = 0; // its row in the list, for its colour
        std::vector<HistoryEvent> events;
    };
    struct PendingLoad;
    struct Computed {
        std::string label;
        int colour = 0;
        PhaseRun run;
        std::vector<StabilityRow> rows;
    };
    std::vector<std::string> ChosenFolders() const;
    void Load();
    void Loaded(int generation, PendingLoad& loaded);
    void JumpToEvent(bool forward);
    void ShowStability(int generation, std::vector<Computed> computed);
    void UpdateCursorText();

    std::string root_;
    QComboBox* quantity_ = nullptr;
    QComboBox* span_ = nullptr;
    QListWidget* receiversList_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    TrendsPlot* plot_ = nullptr;
    QLabel* cursorLabel_ = nullptr;
    QComboBox* statistic_ = nullptr;
    StabilityPlot* stabilityPlot_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* stabilityNote_ = nullptr;
    std::vector<Receiver> receivers_;
    std::vector<Computed> computed_;
    std::shared_ptr<std::atomic<bool>> cancelLoad_; // set when a newer load makes the running one useless
    int generation_ = 0, stabilityGeneration_ = 0;
    int loading_ = 0, computing_ = 0;
};

extern TForm_Trends* Form_Trends;
