// Where windows open: beside the main window where the screen has room, never
// off the screen; places, sizes and open views kept across a restart in the
// configuration folder.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <cstdlib>

#include "config/form_bias.h"
#include "core/main_window.h"
#include "core/window_places.h"
#include "display/form_track.h"
#include "support/monitor_gui.h"
#include "support/temp_dir.h"
#include "views/form_sky.h"

namespace {

TEST(WindowPlaces, BesideTheMainWindowWhereThereIsRoomAndNeverOffTheScreen)
{
    const QRect screen(0, 0, 1600, 1000);
    const QSize size(300, 200);
    struct Row {
        const char* what;
        QRect main;
        std::vector<QRect> taken;
        QPoint expected;
    } rows[] = {
        {"right of it", {100, 100, 600, 400}, {}, {708, 100}},
        {"right, below the one there", {100, 100, 600, 400}, {{708, 100, 300, 200}}, {708, 308}},
        {"left at the screen's right edge", {1000, 100, 590, 400}, {}, {692, 100}},
        {"below a main window as wide as the screen", {0, 0, 1600, 500}, {}, {0, 508}},
        {"below, clear of another", {0, 0, 1600, 780}, {{0, 788, 300, 200}}, {304, 788}},
        {"over another window when beside is full", {0, 0, 1600, 780}, {{0, 788, 1600, 200}}, {0, 788}},
        {"over the main window, on the screen", {0, 0, 1600, 1000}, {}, {1300, 0}},
    };
    for (const Row& row : rows) {
        const QPoint at = PlaceBeside(row.main, size, screen, row.taken);
        EXPECT_EQ(at, row.expected) << row.what;
        EXPECT_TRUE(screen.contains(QRect(at, size))) << row.what;
    }
    EXPECT_EQ(KeptInside({5000, -300, 300, 200}, screen), QRect(1300, 0, 300, 200));
}

class PlacesAcrossRestarts : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(setenv("XDG_CONFIG_HOME", config.path().c_str(), 1), 0); }
    void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }
    static void Restart()
    {
        ResetMonitorState();
        ASSERT_NE(StartMonitorOnFake(1), nullptr);
        RestoreWindowPlaces();
    }
    TempDir config;
};

TEST_F(PlacesAcrossRestarts, PlacesAndOpenViewsComeBackInsideTheScreen)
{
    ASSERT_NE(StartMonitorOnFake(1), nullptr);
    RestoreWindowPlaces();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    Form_Main->move(screen.topLeft() + QPoint(40, 30));
    Form_Track->showForm(); // placed when first shown
    EXPECT_TRUE(screen.contains(Form_Track->frameGeometry())) << "never off the screen";
    Form_Track->move(screen.topLeft() + QPoint(123, 45));
    Form_Sky->showForm();
    Form_Sky->hide(); // opened, then closed: it stays closed next time
    SaveWindowPlaces();
    EXPECT_EQ(QString::fromStdString(WindowPlacesFile()), QString::fromStdString(config.file("JX_Monitor/windows.conf")));

    Restart();
    EXPECT_EQ(Form_Main->pos(), screen.topLeft() + QPoint(40, 30));
    EXPECT_TRUE(Form_Track->isVisible()) << "open at the end, open again";
    EXPECT_EQ(Form_Track->pos(), screen.topLeft() + QPoint(123, 45));
    EXPECT_FALSE(Form_Sky->isVisible());
    EXPECT_FALSE(Form_Bias->isVisible());

    // A place on a screen that has gone since comes back onto this one.
    {
        QSettings kept(QString::fromStdString(WindowPlacesFile()), QSettings::IniFormat);
        kept.setValue("Form_Bias/pos", QPoint(screen.right() + 4000, screen.bottom() + 3000));
        kept.setValue("Form_Bias/visible", true);
    }
    Restart();
    ASSERT_TRUE(Form_Bias->isVisible());
    EXPECT_TRUE(screen.contains(Form_Bias->frameGeometry())) << Form_Bias->x() << "," << Form_Bias->y();
}

} // namespace
