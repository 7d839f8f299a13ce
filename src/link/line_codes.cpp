#include "link/line_codes.h"

#include <array>

namespace {

struct CodeRow {
    const char* text;
    int value;
};

constexpr std::array<CodeRow, 9> kBaud = {{{"110", 110}, {"300", 300}, {"600", 600}, {"1200", 1200},
                                            {"2400", 2400}, {"4800", 4800}, {"9600", 9600},
                                            {"19200", 19200}, {"38400", 38400}}};
constexpr std::array<CodeRow, 4> kDataBits = {{{"5", 5}, {"6", 6}, {"7", 7}, {"8", 8}}};
constexpr std::array<CodeRow, 3> kParity = {{{"N", 0}, {"O", 1}, {"E", 2}}};
constexpr std::array<CodeRow, 2> kStopBits = {{{"1", 0}, {"2", 2}}};

template <size_t N>
const CodeRow* Find(const std::array<CodeRow, N>& table, int index)
{
    if (index < 0 || index >= static_cast<int>(N))
        return nullptr;
    return &table[static_cast<size_t>(index)];
}

const char* TextOf(const CodeRow* row) { return row ? row->text : ""; }
int ValueOf(const CodeRow* row) { return row ? row->value : -1; }

} // namespace

const char* BaudText(int code) { return TextOf(Find(kBaud, code - 1)); }
int BaudRate(int code) { return ValueOf(Find(kBaud, code - 1)); }
const char* DataBitsText(int code) { return TextOf(Find(kDataBits, code)); }
int DataBitsValue(int code) { return ValueOf(Find(kDataBits, code)); }
const char* ParityText(int code) { return TextOf(Find(kParity, code)); }
int ParityValue(int code) { return ValueOf(Find(kParity, code)); }
const char* StopBitsText(int code) { return TextOf(Find(kStopBits, code)); }
int StopBitsValue(int code) { return ValueOf(Find(kStopBits, code)); }

int ApplyLineCodes(SerialDevice* handle, const LineCodes& codes)
{
    const int baud = BaudRate(codes.baud);
    const int bits = DataBitsValue(codes.dataBits);
    const int parity = ParityValue(codes.parity);
    const int stop = StopBitsValue(codes.stopBits);
    if (baud < 0 || bits < 0 || parity < 0 || stop < 0)
        return -1;
    return SetLineSettings(handle, baud, bits, parity, stop);
}
