// The "All Receivers" window: one row per open or lost port with its state,
// its last fix and what it has received. Refreshed once a second while shown.
#pragma once

#include <QElapsedTimer>
#include <QStringList>
#include <vector>

#include "platform/widgets.h"

class QTableWidget;
class QTimer;

class TForm_Ports : public Form {
    Q_OBJECT
public:
    TForm_Ports();

    // The cells of each row as shown, top to bottom.
    std::vector<QStringList> Rows() const;
    // Fills the rows from the port table and the reports now (while shown,
    // the window does it once a second and when a port is lost or back).
    void Refresh();

signals:
    // The user double-clicked the row of this COM number.
    void displayPortChosen(int com);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void RowDoubleClicked(int row);
    bool ShowCell(int row, int column, const QString& text, bool bold);
    void FitColumns();

    QTableWidget* Table_Ports = nullptr;
    QTimer* Timer_Refresh = nullptr;
    QElapsedTimer lastRefresh_;
    std::vector<int> rowComs_; // the COM number of each row
    std::vector<int> widest_;  // per column: the widest text shown so far, in pixels
};

extern TForm_Ports* Form_Ports;
