#include "monitor/file_reason.h"

#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace ui {

QString WithFileReason(const QString& text, const QString& path, const QString& reason)
{
    return reason.isEmpty() ? QString("%1\n%2").arg(text, path) : QString("%1\n%2: %3").arg(text, path, reason);
}

QString ErrorText(int error) { return error == 0 ? QString() : QString::fromLocal8Bit(std::strerror(error)); }

QString OpenFailureReason(const QString& path, int error)
{
    const QFileInfo info(path);
    if (info.isDir())
        return ErrorText(EISDIR);
    if (info.exists() && !info.isFile())
        return QStringLiteral("not a regular file");
    return ErrorText(error);
}

} // namespace ui
