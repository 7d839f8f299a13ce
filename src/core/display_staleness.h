// The main window's value fields keep their last text when the display port
// is lost or silent (no packet for 5 s; the engine decides) but turn to the
// button-face colour, the colour of a field without data, until fresh
// reports arrive.
#pragma once

class QWidget;

// Greys every data field showing data under area (stale), or gives the
// fields a fresh report has not recoloured their colour back.
void ShowDisplayStale(QWidget* area, bool stale);
// Forgets the greyed fields (state reset, display port change).
void ResetDisplayFreshness();
