// The small codes that describe a line's settings on both the PC and the
// receiver side, with their captions and the values they stand for.
#pragma once

#include <cstdint>
#include <string>

#include "link/port_table.h"

// Code tables; a code outside its table yields an empty text and -1.
const char* BaudText(int code);          // 1..9 -> "110".."38400"
int BaudRate(int code);
const char* DataBitsText(int code);      // 0..3 -> "5".."8"
int DataBitsValue(int code);
const char* ParityText(int code);        // 0..2 -> "N", "O", "E"
int ParityValue(int code);
const char* StopBitsText(int code);      // 0..1 -> "1", "2"
int StopBitsValue(int code);             // 0 -> 0 (one), 1 -> 2 (two)

// Applies the codes to an open device. Returns 0, or -1 when a code is out of range
// or the device refuses the settings.
int ApplyLineCodes(SerialDevice* handle, const LineCodes& codes);
