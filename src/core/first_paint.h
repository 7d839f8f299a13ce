// Start-up timing: on the main window's first paint, prints when it happened
// and quits, so a script can time start-up from the outside.
#pragma once

#include <chrono>

class QWidget;

// Watches the window; at its first paint prints one line to standard output,
//   "first paint: <ms> ms after main, at <us> us since the epoch",
// then ends the message loop. mainStarted: the steady clock at main's start.
void QuitAtFirstPaint(QWidget* window, std::chrono::steady_clock::time_point mainStarted);
