// The initial position dialog: mode choice, reading position files, and the
// bytes OK and Apply put on the display port. Expected float bit patterns
// were worked out by hand (IEEE-754 single precision, big-endian).
#include <gtest/gtest.h>

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "config/form_initial_pos.h"
#include "config/radio_group.h"
#include "model/formats/position_file.h"
#include "core/main_window.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"
#include "support/ui_script_gui.h"

namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<uint8_t>;

class InitialPosition : public testing::Test {
protected:
    void SetUp() override
    {
        device = StartMonitorOnFake(1);
        ASSERT_NE(device, nullptr);
        TakeWritten(*device);
        form = Form_InitialPos;
        dir = fs::temp_directory_path() / ("jx_initpos_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    QRadioButton* Row(int row)
    {
        auto* button = Ui<RadioGroup>(form, "RadioGroup_PosMode")
                           ->findChild<QRadioButton*>(QStringLiteral("RadioGroup_PosMode_%1").arg(row));
        EXPECT_NE(button, nullptr) << row;
        return button;
    }

    void ChooseMode(int row) { Row(row)->click(); }

    // Answers the file dialog with a file holding content, then presses the
    // "From File" button of the group on show.
    void LoadFile(const std::string& content)
    {
        const fs::path path = dir / "position.dat";
        std::ofstream(path, std::ios::binary) << content;
        ui.fileNames.push_back(QString::fromStdString(path.string()));
        (Group("GroupBox_LLA")->isHidden() ? Button("Button_File2") : Button("Button_File1"))->click();
    }

    QLineEdit* Edit(const char* name) { return Ui<QLineEdit>(form, name); }
    QPushButton* Button(const char* name) { return Ui<QPushButton>(form, name); }
    QGroupBox* Group(const char* name) { return Ui<QGroupBox>(form, name); }

    void Type(QLineEdit* a, QLineEdit* b, QLineEdit* c, const char* ta, const char* tb, const char* tc)
    {
        a->setText(ta);
        b->setText(tb);
        c->setText(tc);
    }
    void TypeLla(const char* lat, const char* lon, const char* alt)
    {
        Type(Edit("Edit_Lat"), Edit("Edit_Lon"), Edit("Edit_Alt"), lat, lon, alt);
    }
    void TypeEcef(const char* x, const char* y, const char* z)
    {
        Type(Edit("Edit_X"), Edit("Edit_Y"), Edit("Edit_Z"), x, y, z);
    }

    QStringList Texts(QLineEdit* a, QLineEdit* b, QLineEdit* c) { return {a->text(), b->text(), c->text()}; }
    QStringList Lla() { return Texts(Edit("Edit_Lat"), Edit("Edit_Lon"), Edit("Edit_Alt")); }
    QStringList Ecef() { return Texts(Edit("Edit_X"), Edit("Edit_Y"), Edit("Edit_Z")); }

    void ExpectOneBox(const char* text, ui::Icon icon = ui::Icon::None)
    {
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, text);
        EXPECT_EQ(ui.boxes[0].title, "Error");
        EXPECT_EQ(ui.boxes[0].icon, icon);
        ui.boxes.clear();
    }

    std::shared_ptr<FakeSerial::State> device;
    TForm_InitialPos* form = nullptr;
    ScriptedUi ui;
    fs::path dir;
};

// 37.5 deg * 3.1415927 / 180 = 0.65449846 rad = 0x3F278D36;
// -122.25 deg -> -2.1336651 rad = 0xC0088DF8; 15.0 = 0x41700000.
const Bytes kLlaFloats = {0x3F, 0x27, 0x8D, 0x36, 0xC0, 0x08, 0x8D, 0xF8, 0x41, 0x70, 0x00, 0x00};
// 1234.5 = 0x449A5000, -0.25 = 0xBE800000, 6378137 = 0x4AC2A532.
const Bytes kEcefFloats = {0x44, 0x9A, 0x50, 0x00, 0xBE, 0x80, 0x00, 0x00, 0x4A, 0xC2, 0xA5, 0x32};

Bytes Message(uint8_t id, const Bytes& floats)
{
    Bytes m(1 + floats.size());
    m[0] = id;
    std::copy(floats.begin(), floats.end(), m.begin() + 1);
    return Frame(m);
}

TEST_F(InitialPosition, StartsWithNoModeAGreyedLlaGroupAndNoFileButtons)
{
    EXPECT_EQ(form->windowTitle(), "Initial Position");
    EXPECT_EQ(HintOf(form), "Set Initial Position: packets 23, 2B, 31, 33.");
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(Ui<RadioGroup>(form, "RadioGroup_PosMode")->title(), "Upload Options");
    EXPECT_EQ(Ui<RadioGroup>(form, "RadioGroup_PosMode")->itemIndex(), -1);
    const QStringList rows = {"Approximate LLA", "Approximate ECEF", "Exact LLA", "Exact ECEF"};
    ASSERT_EQ(Ui<RadioGroup>(form, "RadioGroup_PosMode")->rowCount(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Row(i)->text(), rows[i]);

    EXPECT_EQ(Group("GroupBox_LLA")->title(), "Initial LLA ");
    EXPECT_FALSE(Group("GroupBox_LLA")->isHidden());
    EXPECT_FALSE(Group("GroupBox_LLA")->isEnabled());
    EXPECT_EQ(Group("GroupBox_LLA")->palette().color(QPalette::WindowText), InactiveCaptionTextColour());
    EXPECT_EQ(Group("GroupBox_ECEF")->title(), "Initial ECEF Position");
    EXPECT_TRUE(Group("GroupBox_ECEF")->isHidden());
    EXPECT_FALSE(Group("GroupBox_ECEF")->isEnabled());
    EXPECT_FALSE(Button("Button_File1")->isEnabledTo(Group("GroupBox_LLA")));
    EXPECT_FALSE(Button("Button_File2")->isEnabledTo(Group("GroupBox_ECEF")));
    EXPECT_EQ(Button("Button_File1")->text(), "&From File");
    EXPECT_EQ(Lla(), QStringList({"", "", ""}));
    EXPECT_EQ(Ecef(), QStringList({"", "", ""}));
    EXPECT_EQ(Button("Button_OK")->text(), "&OK");
    EXPECT_EQ(Button("Button_Apply")->text(), "&Apply");
    EXPECT_EQ(Button("Button_Cancel")->text(), "&Close");
}

TEST_F(InitialPosition, EachModeShowsExactlyOneEnabledGroup)
{
    for (int row : {1, 3}) {
        ChooseMode(row);
        EXPECT_TRUE(Group("GroupBox_LLA")->isHidden());
        EXPECT_FALSE(Group("GroupBox_LLA")->isEnabled());
        EXPECT_FALSE(Group("GroupBox_ECEF")->isHidden());
        EXPECT_TRUE(Group("GroupBox_ECEF")->isEnabled());
        // Both buttons are on from the first choice; each shows greyed only
        // while its own group is off.
        EXPECT_TRUE(Button("Button_File1")->isEnabledTo(Group("GroupBox_LLA")));
        EXPECT_TRUE(Button("Button_File2")->isEnabledTo(Group("GroupBox_ECEF")));
    }
    for (int row : {0, 2}) {
        ChooseMode(row);
        EXPECT_FALSE(Group("GroupBox_LLA")->isHidden());
        EXPECT_TRUE(Group("GroupBox_LLA")->isEnabled());
        EXPECT_EQ(Group("GroupBox_LLA")->palette().color(QPalette::WindowText), WindowTextColour());
        EXPECT_TRUE(Group("GroupBox_ECEF")->isHidden());
        EXPECT_FALSE(Group("GroupBox_ECEF")->isEnabled());
        // Both buttons are on from the first choice; each shows greyed only
        // while its own group is off.
        EXPECT_TRUE(Button("Button_File1")->isEnabledTo(Group("GroupBox_LLA")));
        EXPECT_TRUE(Button("Button_File2")->isEnabledTo(Group("GroupBox_ECEF")));
    }
}

TEST_F(InitialPosition, LlaFileFillsTheFieldsAndOkSendsApproximateLla)
{
    MainAction("InitializePosition")->trigger();
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(TakeWritten(*device).empty()); // opening asks nothing of the receiver

    ChooseMode(TForm_InitialPos::ApproximateLla);
    LoadFile("0 37.500 -122.250 15.0");
    EXPECT_TRUE(ui.boxes.empty());
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].mode, ui::FileMode::Open);
    EXPECT_EQ(ui.fileRequests[0].filter, "Data Files (*.dat)|*.dat|All Files (*.*)|*.*");
    EXPECT_EQ(ui.fileRequests[0].defaultExtension, "dat");
    EXPECT_EQ(ui.fileRequests[0].initialName, " ");
    EXPECT_EQ(Lla(), QStringList({"37.500", "-122.250", "15.0"}));
    EXPECT_TRUE(TakeWritten(*device).empty()); // reading a file sends nothing

    Button("Button_OK")->click();
    EXPECT_EQ(TakeWritten(*device), Message(0x2B, kLlaFloats));
    EXPECT_FALSE(form->isVisible());
}

TEST_F(InitialPosition, EveryModeSendsItsOwnCommand)
{
    struct Case {
        int row;
        uint8_t id;
    };
    for (const Case c : {Case{TForm_InitialPos::ApproximateLla, 0x2B}, Case{TForm_InitialPos::ExactLla, 0x32}}) {
        ChooseMode(c.row);
        TypeLla("37.5", " -122.25", "1.5e1");
        Button("Button_Apply")->click();
        EXPECT_EQ(TakeWritten(*device), Message(c.id, kLlaFloats)) << c.row;
    }
    for (const Case c : {Case{TForm_InitialPos::ApproximateEcef, 0x23}, Case{TForm_InitialPos::ExactEcef, 0x31}}) {
        ChooseMode(c.row);
        TypeEcef("1234.5", "-.25", "6378137");
        Button("Button_Apply")->click();
        EXPECT_EQ(TakeWritten(*device), Message(c.id, kEcefFloats)) << c.row;
    }
    EXPECT_TRUE(ui.boxes.empty());
}

// Enter in a field presses "&OK": it sends and hides; no file dialog opens.
TEST_F(InitialPosition, EnterInAFieldPressesOk)
{
    form->showForm();
    ChooseMode(TForm_InitialPos::ExactEcef);
    TypeEcef("1234.5", "-.25", "6378137");
    Edit("Edit_Z")->setFocus();
    QTest::keyClick(Edit("Edit_Z"), Qt::Key_Return);
    EXPECT_TRUE(ui.fileRequests.empty());
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(TakeWritten(*device), Message(0x31, kEcefFloats));
    EXPECT_TRUE(form->isHidden());
}

TEST_F(InitialPosition, NoRangeIsChecked)
{
    ChooseMode(TForm_InitialPos::ExactLla);
    // 100 deg -> 1.7453293 rad = 0x3FDF66F3; -12.5 = 0xC1480000.
    TypeLla("100", "100", "-12.5");
    Button("Button_Apply")->click();
    EXPECT_EQ(TakeWritten(*device), Message(0x32, {0x3F, 0xDF, 0x66, 0xF3, 0x3F, 0xDF, 0x66, 0xF3, 0xC1, 0x48, 0x00, 0x00}));
}

TEST_F(InitialPosition, ApplyKeepsTheDialogAndCloseSendsNothing)
{
    form->showForm();
    ChooseMode(TForm_InitialPos::ApproximateEcef);
    TypeEcef("1234.5", "-0.25", "6378137");
    Button("Button_Apply")->click();
    EXPECT_EQ(TakeWritten(*device), Message(0x23, kEcefFloats));
    EXPECT_TRUE(form->isVisible());

    Button("Button_Cancel")->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(TakeWritten(*device).empty());
    EXPECT_EQ(Ecef(), QStringList({"1234.5", "-0.25", "6378137"}));

    form->showForm();
    form->close(); // the close box hides without sending too
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(TakeWritten(*device).empty());
}

TEST_F(InitialPosition, OkWithNoModeSendsNothingAndHides)
{
    form->showForm();
    TypeLla("1", "2", "3");
    Button("Button_OK")->click();
    EXPECT_TRUE(TakeWritten(*device).empty());
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(InitialPosition, AFieldThatIsNoNumberStopsTheSendAndKeepsTheDialogOpen)
{
    form->showForm();
    ChooseMode(TForm_InitialPos::ApproximateLla);
    struct Case {
        const char* lat;
        const char* lon;
        const char* alt;
        const char* message;
    };
    const Case cases[] = {
        {"37.5", "abc", "15", "'abc' is not a valid floating point value"},
        {"x", "y", "z", "'x' is not a valid floating point value"}, // latitude is read first
        {"37.5", "-122.25", "", "'' is not a valid floating point value"},
        {"37,5", "-122.25", "15", "'37,5' is not a valid floating point value"},
        {"37.5", "-122.25", "1e39", "'1e39' is not a valid floating point value"}, // beyond a float
    };
    for (const Case& c : cases) {
        TypeLla(c.lat, c.lon, c.alt);
        for (QPushButton* button : {Button("Button_OK"), Button("Button_Apply")}) {
            button->click();
            ASSERT_EQ(ui.boxes.size(), 1u) << c.message;
            EXPECT_EQ(ui.boxes[0].text, c.message);
            ui.boxes.clear();
            EXPECT_TRUE(TakeWritten(*device).empty()) << c.message;
            EXPECT_TRUE(form->isVisible()) << c.message;
        }
    }
}

TEST_F(InitialPosition, AFileOfTheOtherKindChangesNothing)
{
    ChooseMode(TForm_InitialPos::ExactEcef);
    TypeEcef("1", "2", "3");
    LoadFile("0 37.500 -122.250 15.0");
    ExpectOneBox("Position data is in LLA.", ui::Icon::Exclamation);
    EXPECT_EQ(Ecef(), QStringList({"1", "2", "3"}));

    ChooseMode(TForm_InitialPos::ApproximateLla);
    TypeLla("4", "5", "6");
    LoadFile("1 -2700000.12 -4300000.50 3850000.75");
    ExpectOneBox("Position data is in ECEF.", ui::Icon::Exclamation);
    EXPECT_EQ(Lla(), QStringList({"4", "5", "6"}));
    EXPECT_EQ(Ecef(), QStringList({"1", "2", "3"}));
    EXPECT_TRUE(TakeWritten(*device).empty());
}

TEST_F(InitialPosition, BrokenFilesAreRefusedAndChangeNothing)
{
    ChooseMode(TForm_InitialPos::ExactLla);
    TypeLla("4", "5", "6");
    for (const char* content : {"2 37.5 -122.25 15", "word 37.5 -122.25 15", "0 37.5 abc 15", "0 37.5 -122.25", ""}) {
        LoadFile(content);
        ExpectOneBox("Position data file format incorrect");
        EXPECT_EQ(Lla(), QStringList({"4", "5", "6"})) << content;
    }
}

TEST_F(InitialPosition, ACancelledOrMissingFileCannotBeOpened)
{
    ChooseMode(TForm_InitialPos::ApproximateLla);
    TypeLla("4", "5", "6");
    Button("Button_File1")->click(); // no file name scripted: the dialog is cancelled
    ExpectOneBox("Couldn't open position data file.");
    ui.fileNames.push_back(QString::fromStdString((dir / "missing.dat").string()));
    Button("Button_File1")->click();
    ExpectOneBox("Couldn't open position data file.");
    EXPECT_EQ(Lla(), QStringList({"4", "5", "6"}));
}

TEST_F(InitialPosition, DownloadedFilesReadBackInSinglePrecision)
{
    char line[128];
    // The 0x83 download's five decimals; X in single precision is -2700000.0.
    std::snprintf(line, sizeof line, "%d %.5f %.5f %.5f", 1, -2700000.12345, -4300000.5, 3850000.75);
    ChooseMode(TForm_InitialPos::ExactEcef);
    LoadFile(line);
    EXPECT_EQ(Ecef(), QStringList({"-2700000.00", "-4300000.50", "3850000.75"}));
    Button("Button_Apply")->click();
    // -2700000 = 0xCA24CB80, -4300000.5 = 0xCA8339C1, 3850000.75 = 0x4A6AFC43.
    EXPECT_EQ(TakeWritten(*device), Message(0x31, {0xCA, 0x24, 0xCB, 0x80, 0xCA, 0x83, 0x39, 0xC1, 0x4A, 0x6A, 0xFC, 0x43}));

    // The 0x84 download's five, five and three decimals, shown with three, three and one.
    std::snprintf(line, sizeof line, "%d %.5f %.5f %.3f", 0, 37.5, -122.25, 15.0);
    ChooseMode(TForm_InitialPos::ApproximateLla);
    LoadFile(line);
    EXPECT_EQ(Lla(), QStringList({"37.500", "-122.250", "15.0"}));
    Button("Button_Apply")->click();
    EXPECT_EQ(TakeWritten(*device), Message(0x2B, kLlaFloats));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(InitialPosition, EveryLineThePositionDownloadWritesReadsBack)
{
    struct Case {
        PositionFileRecord record;
        int row;
        QStringList fields;
    };
    const fs::path path = dir / "download.dat";
    const Case cases[] = {
        {{PositionKind::Ecef, {-2700000.12, -4300000.5, 3850000.75}, {2, 2, 2}}, TForm_InitialPos::ExactEcef,
         {"-2700000.00", "-4300000.50", "3850000.75"}},
        {{PositionKind::Ecef, {1234.5, -0.25, 6378137.0}, {5, 5, 5}}, TForm_InitialPos::ApproximateEcef,
         {"1234.50", "-0.25", "6378137.00"}},
        {{PositionKind::Geodetic, {37.5, -122.25, 15.0}, {3, 3, 1}}, TForm_InitialPos::ApproximateLla,
         {"37.500", "-122.250", "15.0"}},
        {{PositionKind::Geodetic, {-33.875, 151.1875, -12.5}, {5, 5, 3}}, TForm_InitialPos::ExactLla,
         {"-33.875", "151.188", "-12.5"}}, // 151.1875 lies halfway: three decimals round it to even
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WritePositionFile(path.string(), c.record));
        ChooseMode(c.row);
        ui.fileNames.push_back(QString::fromStdString(path.string()));
        (Group("GroupBox_LLA")->isHidden() ? Button("Button_File2") : Button("Button_File1"))->click();
        EXPECT_TRUE(ui.boxes.empty());
        ui.boxes.clear();
        EXPECT_EQ(c.record.kind == PositionKind::Ecef ? Ecef() : Lla(), c.fields);
    }
}

} // namespace
