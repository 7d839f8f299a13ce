#include "core/startup.h"

#include <QDialog>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "core/form_comm.h"
#include "core/main_window.h"
#include "core/windows.h"
#include "link/port_table.h"
#include "platform/process_signals.h"
#include "platform/ui.h"

namespace {

void ApplyEnableAll(const std::vector<std::string>& args)
{
    if (!FindOption(args, 'e'))
        return;
    for (int i = 0; i < kPortSlots; ++i)
        PortList[static_cast<size_t>(i)] = i + 1;
    PortCount = kPortSlots;
}

bool ListHolds(int com)
{
    const auto end = PortList.begin() + std::max(PortCount, 0);
    return std::find(PortList.begin(), end, com) != end;
}

void ApplyDisplayPortOption(const std::vector<std::string>& args)
{
    if (const std::string* c = FindOption(args, 'c')) {
        // Read as "%d" would (blanks, sign, digits, the rest ignored), but a
        // number beyond an int names no port instead of a wrapped-around one.
        const char* text = c->c_str() + 2;
        char* end = nullptr;
        errno = 0;
        const long number = std::strtol(text, &end, 10);
        if (end != text)
            DisplayPort = errno == ERANGE || number < INT_MIN || number > INT_MAX ? 0 : static_cast<int>(number);
    }
    // A display port that is not in the list joins it (the list has room for all 16).
    if (DisplayPort >= 1 && DisplayPort <= kPortSlots && PortCount >= 0 && PortCount < kPortSlots &&
        !ListHolds(DisplayPort)) {
        PortList[static_cast<size_t>(PortCount++)] = DisplayPort;
        std::sort(PortList.begin(), PortList.begin() + PortCount);
    }
}

// The modal port selection; false when it was not closed with OK.
bool ChooseDisplayPort()
{
    TForm_Comm dialog;
    if (PortCount != -1)
        dialog.SetPorts(PortList.data(), PortCount);
    if (ui::RunModal(dialog) != QDialog::Accepted)
        return false;
    const int row = dialog.ChosenRow();
    if (row < 0)
        return false;
    DisplayPort = PortCount == -1 ? row + 1 : PortList[static_cast<size_t>(std::min(row, kPortSlots - 1))];
    return true;
}

} // namespace

const std::string* FindOption(const std::vector<std::string>& args, char letter)
{
    for (const std::string& arg : args)
        if (arg.size() >= 2 && arg[1] == letter)
            return &arg;
    return nullptr;
}

StartResult StartMonitor(const std::vector<std::string>& args)
{
    // A full disk or a file-size limit must fail the loggers' writes, not end the monitor.
    IgnoreFileSizeSignal();
    ApplyEnableAll(args);
    if (PortCount != kPortSlots)
        PortCount = ReadPortList(PortList, kPortSlots);
    if (!args.empty())
        ApplyDisplayPortOption(args);
    if (args.empty() || DisplayPort < 1 || DisplayPort > kPortSlots) {
        if (!ChooseDisplayPort())
            return StartResult::Cancelled;
    }
    if (!CreateAllWindows())
        return StartResult::PortFailed;
    if (!args.empty() && FindOption(args, 'm'))
        Form_Main->SetMultiportLayout();
    else
        Form_Main->SetSingleLayout();
    return StartResult::Run;
}
