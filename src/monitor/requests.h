// The engine's questions, boxes and file choices. A decoder or a tick never
// waits for a person: it posts a request with what to do with the answer, and
// the face that runs the engine answers later (the desktop shows a dialog
// after the slot has returned; without a face the request is written to
// stderr and gets its default answer). QtCore only.
#pragma once

#include <functional>

#include <QString>

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

using AnswerHandler = std::function<void(Answer)>;
// The chosen file name, or "" for Cancel.
using FileHandler = std::function<void(const QString&)>;

// Answers the engine's requests. Neither call may run a modal loop: it shows
// the request and calls the handler when the person has answered (or at once).
class Responder {
public:
    virtual ~Responder() = default;
    virtual void message(const MessageRequest& request, AnswerHandler done) = 0;
    virtual void fileName(const FileRequest& request, FileHandler done) = 0;
};

// Installs the responder for every later request; null answers every request
// with its default at once (and tells it on stderr). Returns the one before.
Responder* InstallResponder(Responder* responder);

// Posts a box; done (may be empty) gets the answer.
void Post(const MessageRequest& request, AnswerHandler done = {});
// A box with an OK button.
void Tell(const QString& text, const QString& title, Icon icon = Icon::None);
// A Yes/No question; done gets true on Yes.
void Ask(const QString& text, const QString& title, Icon icon, Answer defaultButton, std::function<void(bool)> done);
// A file choice; done gets the name, "" for Cancel.
void PostFile(const FileRequest& request, FileHandler done);

// While one of these lives (a tick of the engine), requests wait and go to
// the responder, in order, when the outermost one ends.
class HoldRequests {
public:
    HoldRequests();
    ~HoldRequests();
    HoldRequests(const HoldRequests&) = delete;
    HoldRequests& operator=(const HoldRequests&) = delete;
};
// Forgets the waiting requests (state reset); the responder stays.
void ResetRequests();

} // namespace ui
