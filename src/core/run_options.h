// Our own command-line options, taken out of the arguments before the
// one-letter scan: --list-ports, --demo, --screenshot FILE, --show WINDOW,
// --quit-after SECONDS, --time-to-paint, --open-all.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

class QWidget;

struct RunOptions {
    bool listPorts = false;
    bool demo = false;
    std::string screenshot;  // PNG file to write from the main window (or the shown one)
    std::string showWindow;  // object name of a window to show at start, e.g. Form_Track
    double quitAfter = -1;   // seconds; < 0 = run until closed
    bool timeToPaint = false; // print the time of the main window's first paint, then quit
    bool openAll = false;     // open and monitor every listed port at start (COM > Open All)
};

// Removes our options from args. Returns false and fills error on a bad one.
bool TakeRunOptions(std::vector<std::string>& args, RunOptions& options, std::string* error);

// Prints the COM number -> device mapping, one line each.
void ListPorts(std::ostream& out);

// After the delay, writes the window's picture (if a file is given) and quits.
void ScheduleScreenshotAndQuit(QWidget* window, const RunOptions& options);
