// Where the windows open: each window's place, size and whether it was open
// are kept between runs (windows.conf beside the saved port mapping); a
// window without a kept place opens beside the main window where the screen
// has room. No window is put outside the screen.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <string>
#include <vector>

// $XDG_CONFIG_HOME/JX_Monitor/windows.conf (~/.config when unset).
std::string WindowPlacesFile();

// A place for a window of frame size `size` beside the main window's frame
// `main` within `screen`, clear of the frames in `taken` where there is room:
// right of the main window, then left of it, then below it, then over the
// others but still beside the main window; inside the screen in any case.
QPoint PlaceBeside(const QRect& main, const QSize& size, const QRect& screen, const std::vector<QRect>& taken);
// The rectangle moved (not resized unless larger) to lie inside the screen.
QRect KeptInside(const QRect& rect, const QRect& screen);

// Once the windows exist and the main window is shown: puts the main window
// at its kept place (or the middle of the screen), places every other window
// when it first opens, and opens again the views that were open at the end
// of the last run.
void RestoreWindowPlaces();
// Writes every window's place, size and visibility (at program end).
void SaveWindowPlaces();
