// Recordings opened as replayed ports: the File menu's command and the port
// list that takes them in.
#include "core/replay_ports.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>

#include "core/main_window.h"
#include "link/port_table.h"
#include "platform/ui_files.h"
#include "views/form_player.h"

namespace {

// The COM numbers the replays had, to take them out of the list when they go.
std::vector<int>& ListedReplays()
{
    static std::vector<int> coms;
    return coms;
}

bool Listed(int com)
{
    const auto end = PortList.begin() + std::max(PortCount, 0);
    return std::find(PortList.begin(), end, com) != end;
}

} // namespace

void AddRecordingItem(TForm_Main* form)
{
    QMenu* menu = form->menuBar()->findChild<QMenu*>("FileMenu");
    if (!menu)
        return;
    auto* open = new QAction("Open &Recording...", menu);
    open->setObjectName("FileOpenRecording");
    open->setShortcut(QKeySequence("Ctrl+O"));
    menu->insertAction(menu->actions().value(0), open); // at the top of the File menu
    QObject::connect(open, &QAction::triggered, form, &FileOpenRecordingClick);
}

void FileOpenRecordingClick()
{
    ui::FileRequest request;
    request.title = "Open Recording";
    request.filter = "ZELK Files (*.zlk)|*.zlk|All Files (*.*)|*.*";
    request.defaultExtension = "zlk";
    request.initialName = " ";
    const QStringList files = ui::ChooseFiles(request);
    if (files.isEmpty() || !Form_Player)
        return;
    Form_Player->OpenRecordings(files);
    Form_Player->showForm();
}

void ReplayPortsChanged(const std::vector<int>& coms)
{
    std::vector<int> list(PortList.begin(), PortList.begin() + std::max(PortCount, 0));
    for (int old : ListedReplays())
        if (std::find(coms.begin(), coms.end(), old) == coms.end() && old != DisplayPort)
            list.erase(std::remove(list.begin(), list.end(), old), list.end());
    for (int com : coms)
        if (!Listed(com))
            list.push_back(com);
    std::sort(list.begin(), list.end());
    list.resize(std::min<size_t>(list.size(), kPortSlots));
    std::copy(list.begin(), list.end(), PortList.begin());
    PortCount = list.empty() ? -1 : static_cast<int>(list.size());
    ListedReplays() = coms;
    if (!Form_Main)
        return;
    Form_Main->FillPortControls();
    if (!coms.empty())
        Form_Main->ChooseDisplayCom(coms.front());
    Form_Main->RefreshMonitorPanels();
}

void PlayRecordingsAtStart(const std::vector<std::string>& files)
{
    QStringList names;
    for (const std::string& file : files)
        names << QString::fromStdString(file);
    if (!Form_Player || Form_Player->OpenRecordings(names).empty())
        return;
    Form_Player->showForm();
    Form_Player->Button_PlayClick();
}
