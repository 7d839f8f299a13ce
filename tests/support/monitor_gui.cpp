#include "monitor/monitor.h"
#include "support/monitor_gui.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QGuiApplication>
#include <QTimer>

#include "config/serial_apply.h"
#include "core/main_window.h"
#include "core/program_state.h"
#include "core/windows.h"
#include "link/framing.h"
#include "link/port_table.h"
#include "platform/ui.h"
#include "support/state_reset.h"

namespace {

// Installed between tests: a box or dialog nobody scripted fails the test
// instead of blocking it in a modal loop.
class UnexpectedUi : public ui::Answerer {
public:
    ui::Answer message(const ui::MessageRequest& request) override
    {
        ADD_FAILURE() << "unexpected message box: " << request.title.toStdString() << ": "
                      << request.text.toStdString();
        return request.defaultButton;
    }
    QString fileName(const ui::FileRequest&) override
    {
        ADD_FAILURE() << "unexpected file dialog";
        return {};
    }
    int dialog(QDialog& dialog) override
    {
        ADD_FAILURE() << "unexpected modal dialog " << dialog.objectName().toStdString();
        return QDialog::Rejected;
    }
};

UnexpectedUi g_unexpectedUi;

} // namespace

bool StartMonitorOnDevice()
{
    if (!CreateAllWindows())
        return false;
    Monitor::Instance().Stop();
    return true;
}

std::shared_ptr<FakeSerial::State> StartMonitorOnFake(int com, const std::vector<int32_t>& listed)
{
    DisplayPort = com;
    if (listed.empty()) {
        PortCount = -1; // the main window then enables all 16 ports
    } else {
        PortCount = static_cast<int32_t>(listed.size());
        std::copy(listed.begin(), listed.end(), PortList.begin());
    }
    auto state = AttachFakeSerial(com - 1);
    if (!CreateAllWindows())
        return nullptr;
    Monitor::Instance().Stop(); // tests drive the ticks themselves
    return state;
}

DisplayAndMonitored StartDisplayAndMonitored()
{
    DisplayAndMonitored lines;
    lines.display = StartMonitorOnFake(3);
    if (!lines.display)
        return lines;
    PortTable[2].searchStep = 0;
    Monitor::Instance().SetAutoQuery(false);
    lines.monitored = AttachFakeSerial(4);
    PortTable[4].monitored = 1;
    return lines;
}

std::vector<uint8_t> Frame(const std::vector<uint8_t>& message)
{
    std::vector<uint8_t> out(2 * message.size() + 3);
    out.resize(BuildFrame(message.data(), message.size(), out.data()));
    return out;
}

std::vector<uint8_t> TakeWritten(FakeSerial::State& state)
{
    std::vector<uint8_t> out;
    out.swap(state.written);
    return out;
}

void Tick(int n)
{
    for (int i = 0; i < n; ++i)
        Monitor::Instance().Tick();
}

void ResetMonitorState()
{
    ResetProgramState();
    // What only tests change.
    SerialChangePauses().pauseMs = 0; // tests do not wait around a line change
    QGuiApplication::setApplicationDisplayName(QString());
    ui::InstallAnswerer(&g_unexpectedUi);
}

void InstallMonitorStateReset()
{
    ui::InstallWidgetsResponder(); // as the program's application does
    RegisterStateReset(&ResetMonitorState);
}
