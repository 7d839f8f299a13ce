#include "platform/ui.h"
#include "platform/ui_files.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

#include <deque>
#include <functional>

namespace ui {
namespace {

Answerer* g_answerer = nullptr;
bool g_chooseMany = false; // the file dialog being run takes several files

QMessageBox::Icon QtIcon(Icon icon)
{
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Warning:
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Error:
        return QMessageBox::Critical;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

Answer QtMessage(const MessageRequest& request)
{
    QMessageBox box(QtIcon(request.icon), request.title, request.text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    if (request.buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(request.defaultButton == Answer::No ? QMessageBox::No : QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int result = box.exec();
    if (request.buttons == Buttons::Ok)
        return Answer::Ok;
    return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

QString QtFileName(const FileRequest& request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, QString(), QtFilter(request.filter));
    dialog.setAcceptMode(request.mode == FileMode::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::DontConfirmOverwrite); // ChooseFile asks, whichever dialog runs
    dialog.setDefaultSuffix(request.defaultExtension);
    dialog.selectFile(request.initialName);
    if (g_chooseMany)
        dialog.setFileMode(QFileDialog::ExistingFiles);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return g_chooseMany ? dialog.selectedFiles().join(QLatin1Char('\n')) : dialog.selectedFiles().first();
}

} // namespace

Answerer* InstallAnswerer(Answerer* answerer)
{
    Answerer* previous = g_answerer;
    g_answerer = answerer;
    return previous;
}

namespace {

int g_deferDepth = 0;
bool g_showingDeferred = false;
std::deque<std::function<void()>> g_deferred;

} // namespace

Answer ShowMessage(const MessageRequest& request)
{
    if (g_deferDepth > 0 && request.buttons == Buttons::Ok) {
        g_deferred.push_back([request] { ShowMessage(request); });
        return Answer::Ok;
    }
    return g_answerer ? g_answerer->message(request) : QtMessage(request);
}

DeferBoxes::DeferBoxes() { ++g_deferDepth; }
DeferBoxes::~DeferBoxes() { --g_deferDepth; }

void AfterDeferral(std::function<void()> action)
{
    if (g_deferDepth > 0)
        g_deferred.push_back(std::move(action));
    else
        action();
}

void ShowDeferredBoxes()
{
    if (g_showingDeferred || g_deferDepth > 0)
        return;
    g_showingDeferred = true;
    while (!g_deferred.empty()) {
        const std::function<void()> next = std::move(g_deferred.front());
        g_deferred.pop_front();
        next();
    }
    g_showingDeferred = false;
}

void DropDeferredBoxes()
{
    g_deferred.clear();
    g_deferDepth = 0;
    g_showingDeferred = false;
}

void Message(const QString& text, const QString& title, Icon icon)
{
    ShowMessage(MessageRequest{text, title, icon, Buttons::Ok, Answer::Ok});
}

bool AskYesNo(const QString& text, const QString& title, Icon icon, Answer defaultButton)
{
    return ShowMessage(MessageRequest{text, title, icon, Buttons::YesNo, defaultButton}) == Answer::Yes;
}

// A Save dialog's choice of an existing file is confirmed first ("Replace
// File?", No the default), whichever dialog runs; No runs the dialog again.
QString ChooseFile(const FileRequest& request)
{
    FileRequest current = request;
    for (;;) {
        const QString name = g_answerer ? g_answerer->fileName(current) : QtFileName(current);
        if (name.isEmpty() || current.mode != FileMode::Save || !QFileInfo::exists(name))
            return name;
        const QString text =
            QString("The file\n%1\nalready exists. Replace it?").arg(QFileInfo(name).absoluteFilePath());
        if (AskYesNo(text, QStringLiteral("Replace File?"), Icon::Warning, Answer::No))
            return name;
        current.initialName = name;
    }
}

QStringList ChooseFiles(const FileRequest& request)
{
    g_chooseMany = true;
    const QString names = ChooseFile(request);
    g_chooseMany = false;
    return names.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

int RunModal(QDialog& dialog) { return g_answerer ? g_answerer->dialog(dialog) : dialog.exec(); }

QString QtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList names;
    for (int i = 0; i < parts.size(); i += 2)
        names << parts[i];
    return names.join(QStringLiteral(";;"));
}

} // namespace ui
