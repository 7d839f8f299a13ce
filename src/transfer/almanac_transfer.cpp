#include "transfer/almanac_transfer.h"

#include "transfer/transfer_steps.h"

namespace {

// The download's order: health page, SV 1 to 32, ionosphere, UTC. The first
// block the receiver lacks ends it.
void RequestAlmanacSet(std::ostream& file)
{
    if (!RequestBlock(kTypeHealthPage, 0, QStringLiteral("Almanac health page, t_oa, wn_oa requested..."), file))
        return;
    for (uint8_t sv = 1; sv <= kMaxSv; ++sv)
        if (!RequestBlock(kTypeAlmanac, sv, QString::asprintf("SV %d almanac requested...", sv), file))
            return;
    if (!RequestBlock(kTypeIonosphere, 0, QStringLiteral("Ionospheric data requested..."), file))
        return;
    RequestBlock(kTypeUtc, 0, QStringLiteral("UTC time data requested..."), file);
}

QString AlmanacBlockLine(const SystemDataBlock& block)
{
    switch (block.type) {
    case kTypeAlmanacRaw: return QString::asprintf("Almanac raw for SV %02d...", block.sv);
    case kTypeAlmanac: return QString::asprintf("Almanac data for SV %02d...", block.sv);
    case kTypeHealthPage: return QStringLiteral("Almanac health page, t_oa, wn_oa... ");
    case kTypeIonosphere: return QStringLiteral("Ionosphere data... ");
    default: return QStringLiteral("UTC time correction data... ");
    }
}

constexpr TransferTexts kDownloadTexts{"Couldn't open almanac data file!", "Almanac download complete.",
                                      "Couldn't write almanac data file!"};
constexpr TransferTexts kUploadTexts{"Couldn't open almanac data file!", "System data load complete."};

} // namespace

void RunAlmanacDownload() { RunDownload(kDownloadTexts, true, &RequestAlmanacSet); }

bool SendNextAlmanacBlock(ByteSource& file) { return SendNextBlock(file, FileKind::Almanac, &AlmanacBlockLine); }

void RunAlmanacUpload() { RunUpload(kUploadTexts, &SendNextAlmanacBlock); }
