#include "platform/ui.h"
#include "platform/ui_files.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include <deque>
#include <functional>
#include <utility>

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

QMessageBox* MakeBox(const MessageRequest& request)
{
    auto* box = new QMessageBox(QtIcon(request.icon), request.title, request.text, QMessageBox::NoButton,
                                QApplication::activeWindow());
    box->setObjectName(QStringLiteral("MessageBox"));
    if (request.buttons == Buttons::YesNo) {
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(request.defaultButton == Answer::No ? QMessageBox::No : QMessageBox::Yes);
    } else {
        box->setStandardButtons(QMessageBox::Ok);
    }
    return box;
}

Answer BoxAnswer(const MessageRequest& request, QMessageBox::StandardButton clicked)
{
    if (request.buttons == Buttons::Ok)
        return Answer::Ok;
    return clicked == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

QFileDialog* MakeFileDialog(const FileRequest& request)
{
    auto* dialog = new QFileDialog(QApplication::activeWindow(), request.title, QString(), QtFilter(request.filter));
    dialog->setObjectName(QStringLiteral("FileDialog"));
    dialog->setAcceptMode(request.mode == FileMode::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setOption(QFileDialog::DontConfirmOverwrite); // ChooseFile asks, whichever dialog runs
    dialog->setDefaultSuffix(request.defaultExtension);
    dialog->selectFile(request.initialName);
    if (g_chooseMany)
        dialog->setFileMode(QFileDialog::ExistingFiles);
    return dialog;
}

QString ChosenName(const QFileDialog& dialog, int result)
{
    if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return g_chooseMany ? dialog.selectedFiles().join(QLatin1Char('\n')) : dialog.selectedFiles().first();
}

// The engine's requests on the desktop: each opens with open(), never exec(),
// so no event loop of its own runs and the engine's timers go on; one at a
// time, in the order asked.
class WidgetsResponder : public Responder {
public:
    void message(const MessageRequest& request, AnswerHandler done) override
    {
        if (g_answerer) {
            const Answer answer = g_answerer->message(request);
            if (done)
                done(answer);
            return;
        }
        Enqueue([this, request, done = std::move(done)] {
            QMessageBox* box = MakeBox(request);
            QObject::connect(box, &QDialog::finished, box, [this, box, request, done] {
                const Answer answer = BoxAnswer(request, box->standardButton(box->clickedButton()));
                box->deleteLater();
                if (done)
                    done(answer);
                Next();
            });
            box->open();
        });
    }

    void fileName(const FileRequest& request, FileHandler done) override
    {
        if (g_answerer) {
            done(g_answerer->fileName(request));
            return;
        }
        Enqueue([this, request, done = std::move(done)] {
            QFileDialog* dialog = MakeFileDialog(request);
            QObject::connect(dialog, &QDialog::finished, dialog, [this, dialog, done](int result) {
                const QString name = ChosenName(*dialog, result);
                dialog->deleteLater();
                done(name);
                Next();
            });
            dialog->open();
        });
    }

private:
    void Enqueue(std::function<void()> show)
    {
        waiting_.push_back(std::move(show));
        if (!showing_)
            Next();
    }

    void Next()
    {
        showing_ = !waiting_.empty();
        if (!showing_)
            return;
        const std::function<void()> show = std::move(waiting_.front());
        waiting_.pop_front();
        show();
    }

    std::deque<std::function<void()>> waiting_;
    bool showing_ = false;
};

Answer QtMessage(const MessageRequest& request)
{
    QMessageBox* box = MakeBox(request);
    const int result = box->exec();
    delete box;
    return BoxAnswer(request, static_cast<QMessageBox::StandardButton>(result));
}

QString QtFileName(const FileRequest& request)
{
    QFileDialog* dialog = MakeFileDialog(request);
    const QString name = ChosenName(*dialog, dialog->exec());
    delete dialog;
    return name;
}

} // namespace

Answerer* InstallAnswerer(Answerer* answerer)
{
    Answerer* previous = g_answerer;
    g_answerer = answerer;
    return previous;
}

void InstallWidgetsResponder()
{
    static WidgetsResponder responder;
    InstallResponder(&responder);
}

Answer ShowMessage(const MessageRequest& request)
{
    return g_answerer ? g_answerer->message(request) : QtMessage(request);
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
