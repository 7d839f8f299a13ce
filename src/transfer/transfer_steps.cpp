#include "transfer/transfer_steps.h"

#include <QFile>
#include <cerrno>
#include <filesystem>
#include <fstream>

#include "link/commands.h"
#include "link/port_table.h"
#include "link/shared_flags.h"
#include "monitor/file_reason.h"
#include "platform/ui.h"
#include "transfer/form_alm.h"
#include "transfer/reply_wait.h"
#include "transfer/transfer_notifier.h"

namespace {
bool g_running = false;

// Only a regular file holds data blocks: a directory opens and reads as
// empty, and a named pipe would block the open until a writer came.
bool IsDataFile(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// A download creates its file or replaces a regular one; writing into a
// named pipe would block until a reader came, and a device is no data file.
bool IsNewOrDataFile(const std::string& path)
{
    std::error_code error;
    return !std::filesystem::exists(path, error) || IsDataFile(path);
}
} // namespace

QString ChooseDataFile(ui::FileMode mode)
{
    ui::FileRequest request;
    request.mode = mode;
    request.filter = QStringLiteral("Data Files (*.dat)|*.dat|All Files (*.*)|*.*");
    request.defaultExtension = QStringLiteral("dat");
    request.initialName = QStringLiteral(" ");
    return ui::ChooseFile(request);
}

TransferSession::TransferSession()
{
    g_running = true;
    Flags.TransferRunning = 1;
    emit TransferEvents().transferStarted();
    if (Form_Alm)
        Form_Alm->showForm();
}

TransferSession::~TransferSession()
{
    if (DisplayPort >= 1 && DisplayPort <= kPortSlots) {
        PortRecord& port = PortTable[static_cast<size_t>(DisplayPort - 1)];
        port.collectLen = 0;
        port.dlePending = 0;
        port.id = 0;
    }
    emit TransferEvents().transferFinished();
    g_running = false;
    Flags.TransferRunning = 0;
}

bool TransferSession::Running() { return g_running; }

bool RequestBlock(uint8_t dataType, uint8_t sv, const QString& requestMessage, std::ostream& file)
{
    RequestSystemData(TX_DEFAULT, dataType, sv);
    AlmMessage(requestMessage);
    const auto reply = WaitForSystemDataReply(dataType, sv);
    if (!reply || reply->operation != 2) {
        AlmMessage(QStringLiteral("Data not available!"));
        return false;
    }
    AlmMessage(QString::asprintf("   received, length = %d", reply->dataLength));
    SystemDataBlock block;
    block.type = dataType;
    block.sv = sv;
    block.length = reply->dataLength;
    block.data = reply->data;
    std::vector<uint8_t> bytes;
    AppendBlock(bytes, block);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return true;
}

void LoadBlock(const SystemDataBlock& block)
{
    LoadSystemData(TX_DEFAULT, block.type, block.sv, block.length, block.data.data());
    // Without a reply the block is not called acknowledged, whatever an
    // earlier block's answer was.
    if (!WaitForSystemDataReply(block.type, block.sv))
        AlmMessage(QStringLiteral("   No reply to data block"));
    else if (LastReplyOperation == 1)
        AlmMessage(QStringLiteral("   Data block acknowledged"));
    else
        AlmMessage(QStringLiteral("   Data block rejected"));
}

bool SendNextBlock(ByteSource& file, FileKind kind, BlockLineFn line)
{
    SystemDataBlock block;
    BlockStep step = ReadBlockHeader(file, kind, block);
    if (step == BlockStep::Ok) {
        AlmMessage(line(block));
        step = ReadBlockBody(file, block);
    }
    if (step == BlockStep::UnknownType)
        AlmMessage(QStringLiteral("Unknown data block type! "));
    else if (step == BlockStep::BadEndByte)
        AlmMessage(QStringLiteral("End of block format error! "));
    if (step != BlockStep::Ok)
        return false;
    LoadBlock(block);
    return true;
}

namespace {

// The data file for a new transfer, as a local path; empty when a transfer
// already runs or the user cancelled. A download saves: its dialog asks
// before an existing file is replaced.
std::string ChooseTransferPath(ui::FileMode mode)
{
    if (TransferSession::Running())
        return {};
    const QString name = ChooseDataFile(mode);
    return name.isEmpty() ? std::string() : QFile::encodeName(name).toStdString();
}

// The failure line, then which file and why.
void TellCannotOpen(const TransferTexts& texts, const std::string& localPath, int error)
{
    const QString path = QFile::decodeName(QByteArray::fromStdString(localPath));
    const QString text =
        ui::WithFileReason(QString::fromLatin1(texts.cannotOpen), path, ui::OpenFailureReason(path, error));
    for (const QString& line : text.split(QLatin1Char('\n')))
        AlmMessage(line);
}

} // namespace

void RunDownload(const TransferTexts& texts, bool almanacHeader, void (*requests)(std::ostream& file))
{
    const std::string path = ChooseTransferPath(ui::FileMode::Save);
    if (path.empty())
        return;
    std::ofstream file;
    errno = 0;
    if (IsNewOrDataFile(path))
        file.open(path, std::ios::binary | std::ios::trunc);
    const int error = errno;
    TransferSession session;
    if (!file.is_open()) {
        TellCannotOpen(texts, path, error);
        return;
    }
    if (almanacHeader)
        file.write(reinterpret_cast<const char*>(kAlmanacFileHeader.data()), kAlmanacFileHeader.size());
    requests(file);
    file.close(); // a full disk shows here at the latest
    AlmMessage(QString::fromLatin1(file.fail() ? texts.cannotWrite : texts.complete));
}

void RunUpload(const TransferTexts& texts, bool (*sendNext)(ByteSource& file))
{
    const std::string path = ChooseTransferPath(ui::FileMode::Open);
    if (path.empty())
        return;
    std::ifstream file;
    errno = ENOENT; // what is left when the path is no file at all
    if (IsDataFile(path)) {
        errno = 0;
        file.open(path, std::ios::binary);
    }
    const int error = errno;
    TransferSession session;
    if (!file.is_open()) {
        TellCannotOpen(texts, path, error);
        return;
    }
    StreamByteSource source(file);
    while (sendNext(source)) {
    }
    AlmMessage(QString::fromLatin1(texts.complete));
    file.close();
}
