// What the almanac and ephemeris transfers share: the data file dialog, the
// session that holds the poll timer off, the request step of a download and
// the load step of an upload.
#pragma once

#include <QString>
#include <cstdint>
#include <ostream>

#include "model/formats/system_data_file.h"
#include "platform/ui.h"

// Asks for the data file (a download saves, an upload opens); "" when the user cancelled.
QString ChooseDataFile(ui::FileMode mode);

// For the whole transfer: the poll timer is stopped and the status window
// shown; on leaving, by any path, the timer runs again. The display port's
// half-read packet is dropped, so nothing read during the transfer can be
// completed and dispatched by the next tick.
class TransferSession {
public:
    TransferSession();
    ~TransferSession();
    TransferSession(const TransferSession&) = delete;
    TransferSession& operator=(const TransferSession&) = delete;

    // True while a transfer runs; a second one is not started inside it.
    static bool Running();
};

// Requests one block, waits for it and appends it to the file. False when
// the receiver did not deliver it ("Data not available!").
bool RequestBlock(uint8_t dataType, uint8_t sv, const QString& requestMessage, std::ostream& file);

// Loads a block that was read from a file and reports the receiver's answer.
void LoadBlock(const SystemDataBlock& block);

// Reads the next block of the kind, writes its line, loads it. False at the
// end of the file or after a bad block (with its message, if it has one).
using BlockLineFn = QString (*)(const SystemDataBlock& block);
bool SendNextBlock(ByteSource& file, FileKind kind, BlockLineFn line);

// The frame of both downloads and both uploads: file dialog, data file,
// session, the body, the closing line. cannotOpen is written when the file
// cannot be created or opened, and then no command is sent; a download
// whose file did not take every block closes with cannotWrite instead.
struct TransferTexts {
    const char* cannotOpen;
    const char* complete;
    const char* cannotWrite = "";
};
void RunDownload(const TransferTexts& texts, bool almanacHeader, void (*requests)(std::ostream& file));
void RunUpload(const TransferTexts& texts, bool (*sendNext)(ByteSource& file));
