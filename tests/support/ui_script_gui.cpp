#include "support/ui_script_gui.h"

#include <QDialog>

ScriptedUi::ScriptedUi() : previous_(ui::InstallAnswerer(this)) {}

ScriptedUi::~ScriptedUi() { ui::InstallAnswerer(previous_); }

ui::Answer ScriptedUi::message(const ui::MessageRequest& request)
{
    boxes.push_back(request);
    if (whileOpen)
        whileOpen(request);
    if (answers.empty())
        return request.defaultButton;
    const ui::Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

QString ScriptedUi::fileName(const ui::FileRequest& request)
{
    fileRequests.push_back(request);
    if (fileNames.empty())
        return {};
    const QString name = fileNames.front();
    fileNames.pop_front();
    return name;
}

int ScriptedUi::dialog(QDialog& dialog)
{
    dialogs.push_back(dialog.objectName());
    return dialogHandler ? dialogHandler(dialog) : QDialog::Rejected;
}
