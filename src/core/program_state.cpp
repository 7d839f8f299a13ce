#include "core/program_state.h"

#include "config/serial_apply.h"
#include "core/demo.h"
#include "monitor/dispatch.h"
#include "core/display_staleness.h"
#include "core/silent_port.h"
#include "monitor/monitor.h"
#include "core/windows.h"
#include "monitor/tracking.h"
#include "monitor/data_log.h"
#include "logging/raw_recorder.h"
#include "model/base_state.h"
#include "platform/ui.h"
#include "transfer/reply_wait.h"

void ResetProgramState()
{
    DestroyAllWindows();
    StopDemo();
    ResetDispatch();
    Monitor::Instance().Reset();
    ResetDisplayFreshness();
    ResetDisplaySilence();
    ResetSerialApplyState();
    ResetTrackingState();
    ResetDataLogState();
    ResetRawRecorderState();
    ResetReplyWait();
    ui::InstallAnswerer(nullptr);
    ResetBaseState();
}
