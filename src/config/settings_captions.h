// The main window's figures that follow the display port's I/O options and
// datum (altitude reference, time mode, datum name): told through
// ConfigEvents() as each report arrives, with or without the dialog.
#pragma once

// Connects the captions to the receiver notifier; a second call does nothing.
void AnnounceSettingsCaptions();
