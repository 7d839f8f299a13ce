// How a configuration dialog follows the receiver settings the engine keeps
// per port: when it opens it shows the display port's record, and while it
// is open it shows every new setting of the display port (and the record of
// a new display port) as it arrives. A closed dialog is left alone.
#pragma once

#include <functional>

class QWidget;

// Runs refresh when the dialog is shown and, while it is visible, when a
// setting of the display port arrives or the display port changes. refresh
// reads PortSettings through its SettingCursors, so it may run often.
void FollowReceivedSettings(QWidget* dialog, std::function<void()> refresh);
