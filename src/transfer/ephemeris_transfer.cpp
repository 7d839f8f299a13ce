#include "transfer/ephemeris_transfer.h"

#include "transfer/transfer_steps.h"

namespace {

// SV 1 first; the first satellite without ephemeris ends the download.
void RequestEphemerisSet(std::ostream& file)
{
    for (uint8_t sv = 1; sv <= kMaxSv; ++sv)
        if (!RequestBlock(kTypeEphemeris, sv, QString::asprintf("SV %d ephemeris requested...", sv), file))
            return;
}

QString EphemerisBlockLine(const SystemDataBlock& block)
{
    return QString::asprintf("Ephemeris data for SV %02d...", block.sv);
}

constexpr TransferTexts kDownloadTexts{"Couldn't open ephemeris data file!", "Ephemeris download complete.",
                                      "Couldn't write ephemeris data file!"};
constexpr TransferTexts kUploadTexts{"Couldn't open ephemeris data file!", "Ephemeris data load complete."};

} // namespace

void RunEphemerisDownload() { RunDownload(kDownloadTexts, false, &RequestEphemerisSet); }

bool SendNextEphemerisBlock(ByteSource& file)
{
    return SendNextBlock(file, FileKind::Ephemeris, &EphemerisBlockLine);
}

void RunEphemerisUpload() { RunUpload(kUploadTexts, &SendNextEphemerisBlock); }
