// A timing receiver's codes in words (0x8F-AC), shared by the Timing Receiver
// window and zelk_dump. Codes without a word of their own show their number.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

std::string ReceiverModeText(uint8_t mode);
std::string DiscipliningModeText(uint8_t mode);
std::string DiscipliningActivityText(uint8_t activity);
std::string DecodingStatusText(uint8_t status);
// One word per set bit, lowest first; a bit without a meaning is "bit N".
std::vector<std::string> MinorAlarmWords(uint16_t bits);
std::vector<std::string> CriticalAlarmWords(uint16_t bits);
// The words joined with ", "; "none" when no bit is set.
std::string AlarmText(const std::vector<std::string>& words);
