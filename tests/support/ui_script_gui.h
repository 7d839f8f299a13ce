// A scripted stand-in for message boxes, file dialogs and modal dialogs:
// records every request and answers from queues, in turn.
#pragma once

#include <deque>
#include <functional>
#include <vector>

#include <QString>

#include "platform/ui.h"

class ScriptedUi : public ui::Answerer {
public:
    ScriptedUi();  // installs itself
    ~ScriptedUi() override;
    ScriptedUi(const ScriptedUi&) = delete;
    ScriptedUi& operator=(const ScriptedUi&) = delete;

    ui::Answer message(const ui::MessageRequest& request) override;
    QString fileName(const ui::FileRequest& request) override;
    int dialog(QDialog& dialog) override;

    // Recorded requests.
    std::vector<ui::MessageRequest> boxes;
    std::vector<ui::FileRequest> fileRequests;
    std::vector<QString> dialogs; // object names of the modal dialogs run

    // Answers, taken in turn. With none left, a box gets its default button,
    // a file dialog is cancelled and a modal dialog is rejected.
    std::deque<ui::Answer> answers;
    std::deque<QString> fileNames;
    std::function<int(QDialog&)> dialogHandler;
    // Runs while a box is open, as the box's own event loop runs the timers.
    std::function<void(const ui::MessageRequest&)> whileOpen;

private:
    ui::Answerer* previous_ = nullptr;
};
