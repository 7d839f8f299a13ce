// Failure texts that say which file and why, under the fixed text of the
// failure: "Unable to open data file.\n/home/u/pos.dat: Permission denied".
#pragma once

#include <QString>

namespace ui {

QString WithFileReason(const QString& text, const QString& path, const QString& reason);
// The system's words for errno error; "" for 0.
QString ErrorText(int error);
// Why a file at path could not be opened, given errno after the attempt: a
// directory or another kind of non-regular file is named as such.
QString OpenFailureReason(const QString& path, int error);

} // namespace ui
