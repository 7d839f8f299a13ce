// Choosing several files at once, through the same seam as every file dialog.
#pragma once

#include <QStringList>

#include "platform/ui.h"

namespace ui {

// An open dialog that takes one or more existing files; none for Cancel. A
// scripted answerer answers with the names one per line.
QStringList ChooseFiles(const FileRequest& request);

} // namespace ui
