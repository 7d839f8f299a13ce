#include "model/formats/system_data_file.h"

bool TypeHasSv(uint8_t type)
{
    return type == kTypeAlmanacRaw || type == kTypeAlmanac || type == kTypeEphemeris;
}

void AppendBlock(std::vector<uint8_t>& out, const SystemDataBlock& block)
{
    out.push_back(kBlockStart);
    out.push_back(block.type);
    if (TypeHasSv(block.type))
        out.push_back(block.sv);
    out.push_back(block.length);
    out.insert(out.end(), block.data.begin(), block.data.begin() + block.length);
    out.push_back(kBlockEnd);
}

int StreamByteSource::Next()
{
    const auto c = in_.get();
    return c == std::istream::traits_type::eof() ? -1 : static_cast<int>(static_cast<uint8_t>(c));
}

namespace {

bool TypeBelongsTo(FileKind kind, int type)
{
    if (kind == FileKind::Ephemeris)
        return type == kTypeEphemeris;
    return type >= kTypeAlmanacRaw && type <= kTypeUtc;
}

} // namespace

BlockStep ReadBlockHeader(ByteSource& in, FileKind kind, SystemDataBlock& block)
{
    int b = 0;
    do {
        b = in.Next();
        if (b < 0)
            return BlockStep::End;
    } while (b != kBlockStart);

    const int type = in.Next();
    if (type < 0)
        return BlockStep::End;
    if (!TypeBelongsTo(kind, type))
        return BlockStep::UnknownType;
    block.type = static_cast<uint8_t>(type);
    block.sv = 0;
    if (TypeHasSv(block.type)) {
        const int sv = in.Next();
        if (sv <= 0 || sv > kMaxSv)
            return BlockStep::End;
        block.sv = static_cast<uint8_t>(sv);
    }
    return BlockStep::Ok;
}

BlockStep ReadBlockBody(ByteSource& in, SystemDataBlock& block)
{
    const int length = in.Next();
    if (length < 0)
        return BlockStep::End;
    block.length = static_cast<uint8_t>(length);
    for (int i = 0; i < length; ++i) {
        const int b = in.Next();
        if (b < 0)
            return BlockStep::End;
        block.data[static_cast<size_t>(i)] = static_cast<uint8_t>(b);
    }
    const int end = in.Next();
    if (end < 0)
        return BlockStep::End;
    return end == kBlockEnd ? BlockStep::Ok : BlockStep::BadEndByte;
}
