// Process-wide signal settings the monitor needs from the operating system.
#pragma once

// A write past the file-size limit raises a signal whose default action ends
// the process. Ignored, the write fails instead, and the loggers report it
// as any other failed write.
void IgnoreFileSizeSignal();
