// Every window of the program: created at start in a fixed order, the main
// window first, and kept until the end.
#pragma once

// Creates the windows; false when the main window could not open the display
// port (its box has been shown, nothing is left created).
bool CreateAllWindows();
// Destroys them in reverse order; the main window's destruction closes the ports.
void DestroyAllWindows();
