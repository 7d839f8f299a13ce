// "&Download Position...": the next position fix of the display port is
// saved into a position data file chosen by the user.
#pragma once

#include "model/formats/position_file.h"

// Runs once per request: clears PositionDownloadPending before the file
// dialog opens, writes the file and tells the user how it went. Does nothing
// without a pending request.
void DownloadPositionIfPending(const PositionFileRecord& record);
