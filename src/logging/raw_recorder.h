// The raw recorder: the display port's packets, framed as on the line, into
// the recording file chosen in the recording window.
#pragma once

#include <cstdint>
#include <string>

// The chosen path; " " (one space) while none has been chosen.
const std::string& RawRecordFileName();
void SetRawRecordFileName(const std::string& path);

// Opens RawRecordFileName() for recording (emptied first unless append); false
// when it cannot be opened.
bool OpenRawRecordFile(bool append);
// Appends the frame of one packet and flushes it to disk. A failed or short
// write is told to the user once per recording; recording goes on.
void WriteRawPacket(int id, const uint8_t* data, uint32_t length);
// Closes the file if it is open.
void CloseRawRecordFile();
bool RawRecordFileOpen();

// Closes the file and forgets the chosen path and the failure told.
void ResetRawRecorderState();
