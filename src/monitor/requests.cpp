#include "monitor/requests.h"

#include <cstdio>
#include <deque>
#include <utility>

namespace ui {
namespace {

Responder* g_responder = nullptr;
int g_holdDepth = 0;
std::deque<std::function<void()>> g_waiting;

// Without a face: the request goes to stderr and takes its default answer.
void AnswerUnattended(const MessageRequest& request, const AnswerHandler& done)
{
    std::fprintf(stderr, "jx_monitor: %s: %s\n", qPrintable(request.title), qPrintable(request.text));
    if (done)
        done(request.buttons == Buttons::YesNo ? request.defaultButton : Answer::Ok);
}

void Deliver(std::function<void()> send)
{
    if (g_holdDepth > 0)
        g_waiting.push_back(std::move(send));
    else
        send();
}

void SendWaiting()
{
    while (g_holdDepth == 0 && !g_waiting.empty()) {
        const std::function<void()> next = std::move(g_waiting.front());
        g_waiting.pop_front();
        next();
    }
}

} // namespace

Responder* InstallResponder(Responder* responder)
{
    Responder* previous = g_responder;
    g_responder = responder;
    return previous;
}

void Post(const MessageRequest& request, AnswerHandler done)
{
    Deliver([request, done = std::move(done)] {
        if (g_responder)
            g_responder->message(request, done);
        else
            AnswerUnattended(request, done);
    });
}

void Tell(const QString& text, const QString& title, Icon icon)
{
    Post(MessageRequest{text, title, icon, Buttons::Ok, Answer::Ok});
}

void Ask(const QString& text, const QString& title, Icon icon, Answer defaultButton, std::function<void(bool)> done)
{
    Post(MessageRequest{text, title, icon, Buttons::YesNo, defaultButton},
         [done = std::move(done)](Answer answer) { done(answer == Answer::Yes); });
}

void PostFile(const FileRequest& request, FileHandler done)
{
    Deliver([request, done = std::move(done)] {
        if (g_responder) {
            g_responder->fileName(request, done);
            return;
        }
        std::fprintf(stderr, "jx_monitor: a file choice is not possible without a window; cancelled\n");
        done(QString());
    });
}

HoldRequests::HoldRequests() { ++g_holdDepth; }

HoldRequests::~HoldRequests()
{
    --g_holdDepth;
    SendWaiting();
}

void ResetRequests()
{
    g_waiting.clear();
    g_holdDepth = 0;
}

} // namespace ui
