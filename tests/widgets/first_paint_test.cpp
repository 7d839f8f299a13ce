// The start-up timing option: the window's first paint is reported once and
// ends the message loop.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include "core/first_paint.h"
#include "core/run_options.h"

namespace {

TEST(FirstPaint, TheFirstPaintIsReportedOnceAndEndsTheLoop)
{
    QWidget window;
    window.resize(100, 80);
    QuitAtFirstPaint(&window, std::chrono::steady_clock::now());
    bool timedOut = false;
    // A bound, not a pause: without the paint report the loop would run on.
    QTimer::singleShot(10000, &window, [&] {
        timedOut = true;
        QApplication::quit();
    });
    testing::internal::CaptureStdout();
    window.show();
    QApplication::exec();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(out.rfind("first paint: ", 0), 0u) << out;
    EXPECT_NE(out.find(" ms after main, at "), std::string::npos) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
}

TEST(FirstPaint, TheTimingAndOpenAllOptionsAreTakenOut)
{
    std::vector<std::string> args = {"--time-to-paint", "-e", "--open-all", "-c2"};
    RunOptions options;
    std::string error;
    ASSERT_TRUE(TakeRunOptions(args, options, &error)) << error;
    EXPECT_EQ(args, (std::vector<std::string>{"-e", "-c2"}));
    EXPECT_TRUE(options.timeToPaint);
    EXPECT_TRUE(options.openAll);
}

} // namespace
