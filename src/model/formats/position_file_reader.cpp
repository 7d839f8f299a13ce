#include "model/formats/position_file_reader.h"

#include <charconv>
#include <filesystem>
#include <fstream>

#include "model/formats/decimal_text.h"

namespace {

// A cursor over the text that reads blank-separated fields.
class FieldReader {
public:
    explicit FieldReader(std::string_view text) : text_(text) {}

    // An integer: optional sign and digits, ending at white space or the end.
    std::optional<int> Integer()
    {
        SkipSpace();
        size_t end = pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-') ? pos_ + 1 : pos_;
        const size_t digits = end;
        while (end < text_.size() && text_[end] >= '0' && text_[end] <= '9')
            ++end;
        if (end == digits || !EndsField(end))
            return std::nullopt;
        const bool negative = text_[pos_] == '-';
        int value = 0;
        const auto [ptr, ec] = std::from_chars(text_.data() + digits, text_.data() + end, value);
        if (ec != std::errc() || ptr != text_.data() + end)
            return std::nullopt;
        pos_ = end;
        return negative ? -value : value;
    }

    // A decimal number; unless it is the last field, white space must follow it.
    std::optional<float> Number(bool last)
    {
        SkipSpace();
        const size_t length = ScanDecimal(text_.substr(pos_));
        if (length == 0 || (!last && !EndsField(pos_ + length)))
            return std::nullopt;
        const auto value = DecimalToFloat(text_.substr(pos_, length));
        pos_ += length;
        return value;
    }

    // True when the last field read runs to the very end of the text.
    bool AtEnd() const { return pos_ == text_.size(); }

private:
    void SkipSpace()
    {
        while (pos_ < text_.size() && IsTextSpace(text_[pos_]))
            ++pos_;
    }
    bool EndsField(size_t at) const { return at == text_.size() || IsTextSpace(text_[at]); }

    std::string_view text_;
    size_t pos_ = 0;
};

std::optional<PositionFileData> ReadFields(FieldReader& reader)
{
    const auto kind = reader.Integer();
    if (!kind || (*kind != 0 && *kind != 1))
        return std::nullopt;
    PositionFileData data;
    data.kind = *kind == 0 ? PositionKind::Geodetic : PositionKind::Ecef;
    for (int i = 0; i < 3; ++i) {
        const auto value = reader.Number(i == 2);
        if (!value)
            return std::nullopt;
        data.values[i] = *value;
    }
    return data;
}

} // namespace

std::optional<PositionFileData> ParsePositionText(std::string_view text)
{
    FieldReader reader(text);
    return ReadFields(reader);
}

PositionFileResult ReadPositionFile(const std::string& path)
{
    PositionFileResult result;
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error))
        return result;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return result;
    // One byte more than is parsed tells whether the file goes on.
    std::string text(kMaxPositionFileBytes + 1, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (file.bad())
        return result;
    text.resize(static_cast<size_t>(file.gcount()));
    const bool cut = text.size() > kMaxPositionFileBytes;
    if (cut)
        text.resize(kMaxPositionFileBytes);

    FieldReader reader(text);
    const auto data = ReadFields(reader);
    // A last number running into the cut may go on past it: not trusted.
    if (!data || (cut && reader.AtEnd())) {
        result.status = PositionFileStatus::FormatIncorrect;
        return result;
    }
    result.status = PositionFileStatus::Ok;
    result.data = *data;
    return result;
}
