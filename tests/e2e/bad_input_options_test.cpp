// Command-line values a user can mistype: seconds that are no finite number
// or too many for the quit timer are refused with a message, as any other
// value that is no number of seconds; a display port number too large for
// any port is no port, and the selection dialog asks for one.
#include <gtest/gtest.h>

#include "core/main_window.h"
#include "core/run_options.h"
#include "core/startup.h"
#include "link/port_table.h"
#include "support/fake_serial.h"
#include "support/ui_script_gui.h"

namespace {

TEST(BadOptions, QuitAfterThatIsNoFiniteTimerValueIsRefused)
{
    for (const char* text : {"nan", "NaN", "inf", "infinity", "1e300", "1e10", "2147484", "-0.5", "3s", ""}) {
        std::vector<std::string> args = {"--quit-after", text, "-c3"};
        RunOptions options;
        std::string error;
        EXPECT_FALSE(TakeRunOptions(args, options, &error)) << '"' << text << '"';
        EXPECT_EQ(error, std::string("--quit-after needs a number of seconds, not '") + text + "'");
    }
    // The longest wait the timer takes: 2147483 s, about 24.8 days, in milliseconds just below 2^31.
    for (const char* text : {"0", "0.001", "2147483"}) {
        std::vector<std::string> args = {"--quit-after", text};
        RunOptions options;
        std::string error;
        EXPECT_TRUE(TakeRunOptions(args, options, &error)) << text << ": " << error;
        EXPECT_TRUE(args.empty());
    }
}

// 4294967299 is 2^32 + 3: cut to 32 bits it would be COM3.
TEST(BadOptions, DisplayPortNumberBeyondAnyIntegerIsNoPort)
{
    for (const char* arg : {"-c4294967299", "-c99999999999999999999", "-c-4294967293"}) {
        ScriptedUi ui; // the selection dialog is cancelled
        AttachFakeSerial(2);
        EXPECT_EQ(StartMonitor({"-e", arg}), StartResult::Cancelled) << arg;
        EXPECT_EQ(ui.dialogs.size(), 1u) << arg;
        EXPECT_TRUE(ui.boxes.empty()) << arg;
        EXPECT_EQ(Form_Main, nullptr) << arg;
        ClosePort(PortTable[2]);
    }
}

} // namespace
