// The initial position dialog's "From File" with damaged files: a position
// file cut at every byte, an empty file, a 50 MB sparse file, a directory and
// an unreadable file. A file that is refused leaves the typed position as it
// was; a cut that still reads as a position shows what it holds.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "config/form_initial_pos.h"
#include "config/radio_group.h"
#include "support/monitor_gui.h"
#include "support/temp_dir.h"
#include "support/ui_find.h"
#include "support/ui_script_gui.h"

namespace {

namespace fs = std::filesystem;

const char kFormatIncorrect[] = "Position data file format incorrect";
const char kCannotOpen[] = "Couldn't open position data file.";

class BadPositionFiles : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(StartMonitorOnFake(1), nullptr);
        form = Form_InitialPos;
        auto* exactLla =
            Ui<RadioGroup>(form, "RadioGroup_PosMode")
                ->findChild<QRadioButton*>(QStringLiteral("RadioGroup_PosMode_%1").arg(TForm_InitialPos::ExactLla));
        ASSERT_NE(exactLla, nullptr);
        exactLla->click();
        Type("4", "5", "6");
    }

    void Type(const char* lat, const char* lon, const char* alt)
    {
        Ui<QLineEdit>(form, "Edit_Lat")->setText(lat);
        Ui<QLineEdit>(form, "Edit_Lon")->setText(lon);
        Ui<QLineEdit>(form, "Edit_Alt")->setText(alt);
    }
    QStringList Lla() const
    {
        return {Ui<QLineEdit>(form, "Edit_Lat")->text(), Ui<QLineEdit>(form, "Edit_Lon")->text(),
                Ui<QLineEdit>(form, "Edit_Alt")->text()};
    }

    // Presses "From File" with the path chosen; returns the box text, "" when none.
    std::string Load(const std::string& path)
    {
        ui.boxes.clear();
        ui.fileNames.push_back(QString::fromStdString(path));
        Ui<QPushButton>(form, "Button_File1")->click();
        EXPECT_LE(ui.boxes.size(), 1u);
        return ui.boxes.empty() ? std::string() : ui.boxes[0].text.toStdString();
    }

    TForm_InitialPos* form = nullptr;
    ScriptedUi ui;
    TempDir dir;
};

// The file as the position download writes it for a 0x84 report.
TEST_F(BadPositionFiles, EveryCutIsRefusedOrShowsExactlyWhatItHolds)
{
    const std::string whole = "0 37.50000 -122.25000 1234.560";
    const size_t altStart = whole.rfind(' ') + 1;
    // Altitude of each cut inside the last number, to one decimal as the dialog shows it.
    const char* const altitudes[] = {"1.0", "12.0", "123.0", "1234.0", "1234.0", "1234.5", "1234.6", "1234.6"};
    for (size_t cut = 0; cut <= whole.size(); ++cut) {
        Type("4", "5", "6");
        const std::string path = dir.file("cut" + std::to_string(cut) + ".dat");
        WriteFileText(path, whole.substr(0, cut));
        const std::string box = Load(path);
        if (cut <= altStart) {
            EXPECT_EQ(box, kFormatIncorrect) << "cut at " << cut;
            EXPECT_EQ(Lla(), QStringList({"4", "5", "6"})) << "cut at " << cut;
        } else {
            EXPECT_EQ(box, "") << "cut at " << cut;
            EXPECT_EQ(Lla(), QStringList({"37.500", "-122.250", altitudes[cut - altStart - 1]})) << "cut at " << cut;
        }
    }
}

TEST_F(BadPositionFiles, EmptySparseAndJunkFilesAreFormatErrorsAndKeepTheFields)
{
    WriteFileText(dir.file("empty.dat"), "");
    EXPECT_EQ(Load(dir.file("empty.dat")), kFormatIncorrect);
    {
        std::ofstream sparse(dir.file("sparse.dat"), std::ios::binary);
        sparse.seekp(50 << 20);
        sparse << "0 1 2 3";
    }
    EXPECT_EQ(fs::file_size(dir.file("sparse.dat")), (50u << 20) + 7);
    EXPECT_EQ(Load(dir.file("sparse.dat")), kFormatIncorrect);
    std::string junk;
    for (int i = 0; i < (1 << 20); ++i)
        junk.push_back(static_cast<char>((i * 151 + 7) & 0xFF));
    WriteFileText(dir.file("junk.dat"), junk);
    EXPECT_EQ(Load(dir.file("junk.dat")), kFormatIncorrect);
    EXPECT_EQ(Lla(), QStringList({"4", "5", "6"}));
}

TEST_F(BadPositionFiles, DirectoryAndUnreadableFileCannotBeOpenedAndKeepTheFields)
{
    fs::create_directory(dir.file("folder.dat"));
    EXPECT_EQ(Load(dir.file("folder.dat")), kCannotOpen);
    const std::string locked = dir.file("locked.dat");
    WriteFileText(locked, "0 1 2 3");
    fs::permissions(locked, fs::perms::none);
    if (::access(locked.c_str(), R_OK) != 0) { // privileged users read it all the same
        EXPECT_EQ(Load(locked), kCannotOpen);
    }
    EXPECT_EQ(Load(dir.file("missing.dat")), kCannotOpen);
    EXPECT_EQ(Lla(), QStringList({"4", "5", "6"}));
}

} // namespace
