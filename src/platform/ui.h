// The seam for modal boxes, file dialogs and modal dialogs. The program uses
// Qt's dialogs; tests install an answerer that records every request and
// answers in turn, so no test ever blocks in a modal loop.
#pragma once

#include <functional>

#include <QString>

class QDialog;
class QWidget;

namespace ui {

enum class Icon { None, Information, Warning, Exclamation, Error };
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No, Cancel };

struct MessageRequest {
    QString text;
    QString title;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    Answer defaultButton = Answer::Ok;
};

enum class FileMode { Open, Save };

struct FileRequest {
    FileMode mode = FileMode::Open;
    QString title;
    QString filter;           // "Data Files (*.dat)|*.dat|All Files (*.*)|*.*"
    QString defaultExtension; // without the dot, e.g. "dat"
    QString initialName;
};

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

Answer ShowMessage(const MessageRequest& request);
// A box with an OK button.
void Message(const QString& text, const QString& title, Icon icon = Icon::None);
// A Yes/No box; true on Yes.
bool AskYesNo(const QString& text, const QString& title, Icon icon = Icon::None, Answer defaultButton = Answer::Yes);

// While one of these lives (a poll timer tick), OK boxes wait in a queue
// instead of opening: a box's own event loop must not run inside the tick.
class DeferBoxes {
public:
    DeferBoxes();
    ~DeferBoxes();
    DeferBoxes(const DeferBoxes&) = delete;
    DeferBoxes& operator=(const DeferBoxes&) = delete;
};
// Runs an action that asks the user (a Yes/No box and what follows from the
// answer) after the tick, in order with the waiting boxes; at once outside a tick.
void AfterDeferral(std::function<void()> action);
// Shows the waiting boxes one after another, in order. Returns at once when
// called from inside a box already being shown: that loop takes them on.
void ShowDeferredBoxes();
// Forgets the waiting boxes (state reset).
void DropDeferredBoxes();

QString ChooseFile(const FileRequest& request);
int RunModal(QDialog& dialog);

// Turns "Name (*.x)|*.x|All (*.*)|*.*" into Qt's ";;"-separated filter.
QString QtFilter(const QString& filter);

} // namespace ui
