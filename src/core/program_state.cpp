#include "core/program_state.h"

#include "config/serial_apply.h"
#include "core/demo.h"
#include "core/dispatch.h"
#include "core/network_status.h"
#include "core/poll_timer.h"
#include "core/windows.h"
#include "display/tracking.h"
#include "logging/data_log.h"
#include "logging/raw_recorder.h"
#include "model/base_state.h"
#include "platform/ui.h"
#include "transfer/reply_wait.h"

void ResetProgramState()
{
    DestroyAllWindows();
    StopDemo();
    ResetDispatch();
    ResetPollTimerState();
    ResetNetworkStatus();
    ResetSerialApplyState();
    ResetTrackingState();
    ResetDataLogState();
    ResetRawRecorderState();
    ResetReplyWait();
    ui::InstallAnswerer(nullptr);
    ResetBaseState();
}
