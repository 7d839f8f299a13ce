// Our own command-line options, taken out of the arguments before the
// one-letter scan: --help, --version, --list-ports, --save-ports, --demo,
// --screenshot FILE, --show WINDOW, --show-all, --quit-after SECONDS, --time-to-paint, --open-all,
// --recording FILE.
#pragma once

#include <iosfwd>
#include <map>
#include <string>
#include <vector>

class QWidget;

struct RunOptions {
    bool help = false;
    bool version = false;
    bool listPorts = false;
    bool savePorts = false;   // keep the command line's port mapping for later starts
    bool demo = false;
    std::string screenshot;  // PNG file to write from the main window (or the shown one)
    std::string showWindow;  // object name of a window to show at start, e.g. Form_Track
    double quitAfter = -1;   // seconds; < 0 = run until closed
    bool timeToPaint = false; // print the time of the main window's first paint, then quit
    bool openAll = false;     // open and monitor every listed port at start (COM > Open All)
    bool showAll = false;     // open every window of the Window menu at start
    std::vector<std::string> recordings; // --recording FILE: played in the Player window from the start
};

// Removes our options from args. Returns false and fills error on a bad one.
bool TakeRunOptions(std::vector<std::string>& args, RunOptions& options, std::string* error);

// After our options and the port arguments are taken: an argument left that
// starts with "--" is an option we do not know. False and error filled then.
bool RefuseUnknownLongOptions(const std::vector<std::string>& args, std::string* error);

// What --help prints.
const char* MonitorUsage();

// Where each COM number's device came from ("command line", "saved", ...).
using PortOrigins = std::map<int, std::string>;
// Gives every mapped COM number that has no origin yet this one.
void NoteNewMappings(PortOrigins& origins, const std::string& origin);

// Prints the COM number -> device mapping, one line each, with its origin.
void ListPorts(std::ostream& out, const PortOrigins& origins);

// Triggers every item of the main window's Window menu that opens a window,
// as a user opening them all would; a check item that opens none (the layout
// switch) is put back as it was. Returns how many Form_ windows are then
// visible, the main window included.
int OpenEveryWindowOfTheWindowMenu();
// How many top-level Form_ windows are visible.
int VisibleFormWindows();

// After the delay, writes the window's picture (if a file is given) and quits.
void ScheduleScreenshotAndQuit(QWidget* window, const RunOptions& options);
