// The tracking status window, caption "Tracking Status": every field of the
// display receiver's channel reports as one fixed-pitch text row per channel,
// with the satellites in the fix and the DOPs below. Created hidden at start.
#pragma once

#include <array>

#include "platform/widgets.h"

class TForm_Track : public Form {
    Q_OBJECT
public:
    TForm_Track();

    // Row text of channel `chan` (0..7); an empty text blanks the row. Other channels have no row.
    void ShowRow(size_t chan, const QString& text);
    // The satellites in the fix, as one line of PRNs.
    void ShowFixSatellites(const QString& prns);
    void ShowDops(float pdop, float hdop, float vdop, float tdop);

private:
    // Header captions, one per column of the row text, left to right.
    std::array<Label*, 13> Label_Column{};
    // Row n (1..8) shows channel n-1.
    std::array<Panel*, 8> Panel_TS{};
    Panel* Panel_SVSel = nullptr;
    Panel* Panel_PDOP = nullptr;
    Panel* Panel_HDOP = nullptr;
    Panel* Panel_VDOP = nullptr;
    Panel* Panel_TDOP = nullptr;

    void BuildHeader(int charWidth);
    void BuildRows(int charWidth);
    void BuildSelection(int charWidth);
    void ConnectReceivers();
};

extern TForm_Track* Form_Track;
