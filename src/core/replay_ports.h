// Recordings opened as replayed ports: the File menu that opens them and the
// port list that takes them in.
#pragma once

#include <string>
#include <vector>

class TForm_Main;

// "Open &Recording..." (Ctrl+O) at the top of the File menu.
void AddRecordingItem(TForm_Main* form);
// Chooses recordings and opens them in the Player window.
void FileOpenRecordingClick();
// --recording FILE...: opened in the Player window, shown and playing.
void PlayRecordingsAtStart(const std::vector<std::string>& files);
// The replayed ports changed: the port list holds them, the first is shown.
void ReplayPortsChanged(const std::vector<int>& coms);
