// Any bytes as the text of a position data file: never a crash, and what is
// accepted is a position of a known kind with finite values.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/formats/decimal_text.h"
#include "model/formats/position_file_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto position = ParsePositionText(text)) {
        if (position->kind != PositionKind::Geodetic && position->kind != PositionKind::Ecef)
            std::abort();
        for (const float v : position->values)
            if (!std::isfinite(v))
                std::abort();
    }
    const size_t length = ScanDecimal(text);
    if (length > size)
        std::abort();
    if (const auto value = DecimalToFloat(text.substr(0, length)); value && !std::isfinite(*value))
        std::abort();
    return 0;
}
