// The desktop's side of boxes, file dialogs and modal dialogs. The engine's
// requests (monitor/requests.h) are answered by the responder installed here:
// Qt's boxes and file dialogs, opened without a nested event loop, one after
// another. The synchronous calls below are for the user's own actions (a menu
// item, a button), never for a timer slot or a decoder. Tests install an
// answerer that records every request and answers in turn; the engine's
// requests then reach it too.
#pragma once

#include <QString>

#include "monitor/requests.h"

class QDialog;
class QWidget;

namespace ui {

class Answerer {
public:
    virtual ~Answerer() = default;
    virtual Answer message(const MessageRequest& request) = 0;
    // The chosen file name, or "" for Cancel.
    virtual QString fileName(const FileRequest& request) = 0;
    // Runs a modal dialog; returns its result (QDialog::Accepted or Rejected).
    virtual int dialog(QDialog& dialog) = 0;
};

// Installs an answerer for every later request; null restores Qt's dialogs.
// Returns the one installed before.
Answerer* InstallAnswerer(Answerer* answerer);
// Makes Qt's dialogs (or the installed answerer) answer the engine's requests.
void InstallWidgetsResponder();

Answer ShowMessage(const MessageRequest& request);
// A box with an OK button.
void Message(const QString& text, const QString& title, Icon icon = Icon::None);
// A Yes/No box; true on Yes.
bool AskYesNo(const QString& text, const QString& title, Icon icon = Icon::None, Answer defaultButton = Answer::Yes);

QString ChooseFile(const FileRequest& request);
int RunModal(QDialog& dialog);

// Turns "Name (*.x)|*.x|All (*.*)|*.*" into Qt's ";;"-separated filter.
QString QtFilter(const QString& filter);

} // namespace ui
