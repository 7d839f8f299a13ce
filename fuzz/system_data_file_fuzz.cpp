// Any bytes as an almanac (first byte even) or ephemeris (odd) data file,
// read block by block as the loaders do: never a crash or an endless loop,
// and every block read whole writes back to the bytes it was read from.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "model/formats/system_data_file.h"

namespace {

// A block that was read whole must read back the same from its own bytes.
void CheckRewrite(FileKind kind, const SystemDataBlock& block)
{
    std::vector<uint8_t> bytes;
    AppendBlock(bytes, block);
    MemoryByteSource again(bytes.data(), bytes.size());
    SystemDataBlock copy;
    if (ReadBlockHeader(again, kind, copy) != BlockStep::Ok || ReadBlockBody(again, copy) != BlockStep::Ok)
        __builtin_trap();
    if (copy.type != block.type || copy.sv != block.sv || copy.length != block.length ||
        std::memcmp(copy.data.data(), block.data.data(), block.length) != 0 || again.Next() != -1)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const FileKind kind = (data[0] & 1) ? FileKind::Ephemeris : FileKind::Almanac;
    MemoryByteSource in(data + 1, size - 1);
    // Each step takes at least one byte, so the input bounds the loop; the
    // loaders stop at the first bad block, here the reading goes on.
    for (size_t steps = 0; steps <= size; ++steps) {
        SystemDataBlock block;
        BlockStep step = ReadBlockHeader(in, kind, block);
        if (step == BlockStep::End)
            return 0;
        if (step != BlockStep::Ok)
            continue;
        step = ReadBlockBody(in, block);
        if (step == BlockStep::End)
            return 0;
        if (step == BlockStep::Ok)
            CheckRewrite(kind, block);
    }
    __builtin_trap(); // more steps than bytes: a step read nothing
}
