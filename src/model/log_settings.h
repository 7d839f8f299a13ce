// What the data logger is set to do: the values of a record, the file root,
// the interval, append or empty at Start, and the pacing. The logging window
// edits it; the logger reads it (the selection at every record, the rest at
// Start), so logging runs the same with or without the window.
#pragma once

#include <string>

#include "model/formats/log_record.h"

struct LogSettings {
    LogSelection selection = TimeOfWeekOnly();
    std::string fileRoot = "data";
    std::string intervalText = "1"; // read at Start; no number keeps the previous interval
    bool append = false;            // false: Start empties the monitored ports' files
    bool systemTimer = false;       // records paced by the one-second timer instead of reports

    static LogSelection TimeOfWeekOnly()
    {
        LogSelection s{};
        s[static_cast<size_t>(LogField::TOW)] = true;
        return s;
    }
    bool Has(LogField field) const { return selection[static_cast<size_t>(field)]; }
};

// The program's one set of logging settings.
LogSettings& DataLogSettings();
