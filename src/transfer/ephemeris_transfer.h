// Ephemeris download into a data file and upload from one, on the display port.
#pragma once

#include "model/formats/system_data_file.h"

void RunEphemerisDownload();
void RunEphemerisUpload();
// Reads the next block of the open ephemeris file and loads it. False at the
// end of the file or after a bad block.
bool SendNextEphemerisBlock(ByteSource& file);
