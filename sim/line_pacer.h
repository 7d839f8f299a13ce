// Paces bytes onto a line at its bit rate: an 8-O-1 character is 11 bits,
// so a 9600 bit/s line carries at most 9600 / 11 bytes a second.
#pragma once

#include <cstddef>

class LinePacer {
public:
    // baud 0: no limit.
    void SetBaud(int baud) { baud_ = baud; }
    // Adds the credit of the elapsed time; returns how many bytes may go now.
    size_t Allowance(double elapsedSeconds);
    void Spent(size_t bytes);

private:
    int baud_ = 9600;
    double credit_ = 0;
};
