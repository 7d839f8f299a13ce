#include "monitor/position_download.h"

#include <QFile>
#include <cerrno>
#include <QString>

#include "link/shared_flags.h"
#include "monitor/requests.h"
#include "monitor/file_reason.h"

namespace {

QString SuccessText(const PositionFileRecord& record)
{
    static const char* const ecef[3] = {"X", "Y", "Z"};
    static const char* const geodetic[3] = {"Lat", "Lon", "Alt"};
    const char* const* names = record.kind == PositionKind::Ecef ? ecef : geodetic;
    QString text = QStringLiteral("Position successfully downloaded.\n");
    for (size_t i = 0; i < record.values.size(); ++i)
        text += QString::asprintf("\n%s: %.*f", names[i], record.decimals[i], record.values[i]);
    return text;
}

} // namespace

void DownloadPositionIfPending(const PositionFileRecord& record)
{
    if (!Flags.PositionDownloadPending)
        return;
    // Cleared before the dialog: a report arriving while it is open must not open another.
    Flags.PositionDownloadPending = 0;
    ui::FileRequest request;
    request.mode = ui::FileMode::Save;
    request.filter = QStringLiteral("Data Files (*.dat)|*.dat|All Files (*.*)|*.*");
    request.defaultExtension = QStringLiteral("dat");
    request.initialName = QStringLiteral(" ");
    // The fix is kept with the request: the ports go on while the user chooses.
    ui::PostFile(request, [record](const QString& path) {
        if (path.isEmpty())
            return;
        if (!WritePositionFile(QFile::encodeName(path).toStdString(), record)) {
            const int error = errno;
            ui::Tell(ui::WithFileReason(QStringLiteral("Unable to open data file."), path, ui::OpenFailureReason(path, error)),
                     QStringLiteral("Error"), ui::Icon::Exclamation);
            return;
        }
        ui::Tell(SuccessText(record), QStringLiteral("Success"));
    });
}
