// Command-line values a user can mistype: seconds that are no finite number
// or too many for the quit timer are refused with a message, as any other
// value that is no number of seconds.
#include <gtest/gtest.h>

#include "core/run_options.h"

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

} // namespace
