// Every report id, and every 0x8F sub-id, with every short length and the
// longest one, filled with seeded random bytes and with patterns that make
// NaN, infinities and huge values of the float and double fields, read from
// the line on the display port and on a monitored port. After each batch a
// good position report must still show what it says: bad packets leave the
// parser and the decoders able to go on.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "monitor/monitor.h"
#include "core/main_window.h"
#include "model/port_reports.h"
#include "link/shared_flags.h"
#include "monitor/data_log.h"
#include "logging/form_log.h"
#include "logging/form_log_zelk.h"
#include "support/temp_dir.h"
#include "link/packets.h"
#include "link/port_table.h"
#include "report_delivery.h"
#include "support/monitor_gui.h"
#include "support/ui_find.h"
#include "support/ui_script_gui.h"

namespace {

constexpr int kDisplaySlot = 0;   // COM1
constexpr int kMonitoredSlot = 3; // COM4

// Byte patterns of the payload. 0xFF gives NaN in every float and double,
// 0x7F huge finite values, 0x80 minus zero and tiny negatives; 0x7F 0x80 0x00
// 0x00 is +infinity as a float.
enum class Fill { Random, Zeros, Ones, Huge, NegativeTiny, Infinity };
constexpr Fill kFills[] = {Fill::Random, Fill::Zeros, Fill::Ones, Fill::Huge, Fill::NegativeTiny, Fill::Infinity};

std::string FillName(Fill fill)
{
    switch (fill) {
    case Fill::Random: return "random";
    case Fill::Zeros: return "0x00";
    case Fill::Ones: return "0xFF";
    case Fill::Huge: return "0x7F";
    case Fill::NegativeTiny: return "0x80";
    case Fill::Infinity: return "7F 80 00 00";
    }
    return "?";
}

std::vector<uint8_t> Payload(Fill fill, size_t length, uint32_t seed)
{
    std::vector<uint8_t> bytes(length);
    std::mt19937 random(seed);
    for (size_t i = 0; i < length; ++i) {
        switch (fill) {
        case Fill::Random: bytes[i] = static_cast<uint8_t>(random() & 0xFF); break;
        case Fill::Zeros: bytes[i] = 0x00; break;
        case Fill::Ones: bytes[i] = 0xFF; break;
        case Fill::Huge: bytes[i] = 0x7F; break;
        case Fill::NegativeTiny: bytes[i] = 0x80; break;
        case Fill::Infinity: bytes[i] = (i % 4 == 0) ? 0x7F : (i % 4 == 1) ? 0x80 : 0x00; break;
        }
    }
    return bytes;
}

// Every short length, the longest packet, and two that overflow the buffer.
std::vector<size_t> Lengths()
{
    std::vector<size_t> lengths;
    for (size_t n = 0; n <= 60; ++n)
        lengths.push_back(n);
    for (size_t n : {511u, 512u, 1000u})
        lengths.push_back(n);
    return lengths;
}

double ProgramRad(double deg) { return deg / RadToDeg; }

class BadReports : public testing::Test {
protected:
    void SetUp() override
    {
        display = StartMonitorOnFake(kDisplaySlot + 1);
        ASSERT_NE(display, nullptr);
        PortTable[kDisplaySlot].searchStep = 0;
        Monitor::Instance().SetAutoQuery(false);
        monitored = AttachFakeSerial(kMonitoredSlot);
        PortTable[kMonitoredSlot].monitored = 1;
    }

    // The same bytes on both ports, read by as many ticks as they need.
    void FeedBothAndRead(const std::vector<uint8_t>& bytes)
    {
        Feed(*display, bytes);
        Feed(*monitored, bytes);
        for (int i = 0; i < 1000 && !(display->input.empty() && monitored->input.empty()); ++i)
            Tick();
        ASSERT_TRUE(display->input.empty() && monitored->input.empty());
    }

    // Sends the messages (id first) framed as on the line; counts those the
    // program must confirm with its save-to-flash box, once per port.
    void Send(const std::vector<std::vector<uint8_t>>& messages)
    {
        std::vector<uint8_t> bytes;
        for (const auto& m : messages) {
            const std::vector<uint8_t> frame = Frame(m);
            bytes.insert(bytes.end(), frame.begin(), frame.end());
            // 0x8F 0x26 and four status bytes: the flash confirmation.
            if (m.size() == 6 && m[0] == 0x8F && m[1] == 0x26)
                expectedFlashBoxes += 2;
        }
        FeedBothAndRead(bytes);
    }

    // A good double-precision position after the batch shows its own text on
    // the display port and is stored for the monitored port; two positions
    // alternate so that a stale caption cannot pass.
    void ExpectGoodPositionDecoded(const std::string& context)
    {
        const bool north = (++goodCount % 2) == 0;
        const double lat = north ? 37.5 : -12.25;
        const double lon = north ? -122.25 : 45.75;
        Send({Message(Report84{ProgramRad(lat), ProgramRad(lon), 1234.56, 0.0, 0.0f}, &EncodeReport84)});
        const TForm_Main& f = *Form_Main;
        EXPECT_EQ(f.Panel_LatDeg->text(), north ? QString("37\u00B0") : QString("12\u00B0")) << context;
        EXPECT_EQ(f.Panel_LatMin->text(), north ? "30.00000'" : "15.00000'") << context;
        EXPECT_EQ(f.Panel_NorthSouth->text(), north ? "N" : "S") << context;
        EXPECT_EQ(f.Panel_LonDeg->text(), north ? QString("122\u00B0") : QString("45\u00B0")) << context;
        EXPECT_EQ(f.Panel_LonMin->text(), north ? "15.00000'" : "45.00000'") << context;
        EXPECT_EQ(f.Panel_EastWest->text(), north ? "W" : "E") << context;
        EXPECT_EQ(f.Panel_Alt_Z->text(), "1234.6") << context;
        EXPECT_NEAR(PortReports[kMonitoredSlot].latDeg, lat, 1e-9) << context;
        EXPECT_NEAR(PortReports[kMonitoredSlot].lonDeg, lon, 1e-9) << context;
    }

    // Every box opened was a flash confirmation owed to a well-formed 0x8F-26,
    // or one of the given warnings, each once.
    void ExpectOnlyOwedBoxes(const std::vector<std::string>& warnings = {}) const
    {
        std::vector<std::string> warned;
        for (const ui::MessageRequest& box : ui.boxes) {
            if (box.text != "Settings successfully saved to Flash.")
                warned.push_back(box.text.toStdString());
        }
        EXPECT_EQ(warned, warnings);
        EXPECT_EQ(static_cast<int>(ui.boxes.size() - warned.size()), expectedFlashBoxes);
    }

    ScriptedUi ui;
    std::shared_ptr<FakeSerial::State> display, monitored;
    int expectedFlashBoxes = 0;
    int goodCount = 0;
};

// All 256 ids (the known ones with their exact length among the others).
TEST_F(BadReports, EveryIdAtEveryLengthAndFillLeavesLaterReportsDecodable)
{
    ExpectGoodPositionDecoded("before");
    for (Fill fill : kFills) {
        for (int id = 0; id < 256; ++id) {
            std::vector<std::vector<uint8_t>> messages;
            for (size_t length : Lengths()) {
                std::vector<uint8_t> m{static_cast<uint8_t>(id)};
                const std::vector<uint8_t> payload = Payload(fill, length, static_cast<uint32_t>(id * 4096 + length));
                m.insert(m.end(), payload.begin(), payload.end());
                messages.push_back(std::move(m));
            }
            Send(messages);
            ExpectGoodPositionDecoded("id " + std::to_string(id) + ", fill " + FillName(fill));
            if (HasFailure())
                return;
        }
    }
    ExpectOnlyOwedBoxes();
}

// 0x8F with every sub-id: length counts the sub-id byte, as the parser does.
TEST_F(BadReports, Every8FSubIdAtEveryLengthAndFillLeavesLaterReportsDecodable)
{
    for (Fill fill : kFills) {
        for (int sub = 0; sub < 256; ++sub) {
            std::vector<std::vector<uint8_t>> messages;
            for (size_t length : Lengths()) {
                std::vector<uint8_t> m{0x8F};
                if (length > 0) {
                    m.push_back(static_cast<uint8_t>(sub));
                    const std::vector<uint8_t> rest = Payload(fill, length - 1, static_cast<uint32_t>(sub * 4096 + length));
                    m.insert(m.end(), rest.begin(), rest.end());
                }
                messages.push_back(std::move(m));
            }
            Send(messages);
            ExpectGoodPositionDecoded("0x8F-" + std::to_string(sub) + ", fill " + FillName(fill));
            if (HasFailure())
                return;
        }
    }
    // Sub-id 0x26 at length 5 is a confirmation whatever its status bytes say.
    EXPECT_EQ(expectedFlashBoxes, 2 * static_cast<int>(std::size(kFills)));
    ExpectOnlyOwedBoxes();
}

// The same junk with every log field selected, records paced by the system
// timer and the raw recording on: the NaNs and huge values go through the
// log formatting, and the recording still ends with the good report.
TEST_F(BadReports, JunkWhileLoggingAndRecordingKeepsBothGoing)
{
    TempDir dir;
    Ui<QPushButton>(Form_Log, "Button_SelectAll")->click();
    Ui<QCheckBox>(Form_Log, "CheckBox_SystemTimer")->setChecked(true);
    Ui<QLineEdit>(Form_Log, "Edit_FileRoot")->setText(QString::fromStdString(dir.file("log")));
    Ui<QPushButton>(Form_Log, "Button_Start")->click();
    ui.fileNames.push_back(QString::fromStdString(dir.file("rec.zlk")));
    Form_LogZelk->Button_OpenClick();
    Ui<QPushButton>(Form_LogZelk, "Button_Start")->click();
    ASSERT_TRUE(Flags.DataLoggingOn && Flags.RawRecordingOn);

    for (Fill fill : {Fill::Random, Fill::Ones, Fill::Huge}) {
        for (int id = 0; id < 256; ++id) {
            std::vector<std::vector<uint8_t>> messages;
            for (size_t length : Lengths()) {
                std::vector<uint8_t> m{static_cast<uint8_t>(id)};
                const std::vector<uint8_t> payload = Payload(fill, length, static_cast<uint32_t>(id * 7919 + length));
                m.insert(m.end(), payload.begin(), payload.end());
                messages.push_back(std::move(m));
            }
            Send(messages);
            LogSystemTick();
            if (id == 0x42) // the first report without a bias, while the bias is logged: told once per port
                ExpectOnlyOwedBoxes({"Port 1 monitored but not outputting bias.",
                                     "Port 4 monitored but not outputting bias."});
            ExpectGoodPositionDecoded("id " + std::to_string(id) + ", fill " + FillName(fill));
            if (HasFailure())
                return;
        }
    }
    ExpectOnlyOwedBoxes({"Port 1 monitored but not outputting bias.", "Port 4 monitored but not outputting bias."});
    const std::vector<uint8_t> good =
        Frame(Message(Report84{ProgramRad(37.5), ProgramRad(-122.25), 1234.56, 0.0, 0.0f}, &EncodeReport84));
    const std::vector<uint8_t> recorded = ReadFileBytes(dir.file("rec.zlk"));
    ASSERT_GE(recorded.size(), good.size());
    EXPECT_TRUE(std::equal(good.begin(), good.end(), recorded.end() - static_cast<long>(good.size())));
    EXPECT_FALSE(ReadFileText(dir.file("log1.dat")).empty());
    EXPECT_FALSE(ReadFileText(dir.file("log4.dat")).empty());
    EXPECT_EQ(Ui<Label>(Form_Log, "Label_FileError")->caption(), "");
}

// A frame cut short by the start of the next one, a frame that never ends and
// stray DLE pairs between frames: the next whole frame is still read.
TEST_F(BadReports, BrokenFramingIsDroppedAndTheNextFrameIsRead)
{
    std::vector<uint8_t> bytes{0x10, 0x84, 0x01, 0x02};          // cut off by the next DLE id
    bytes.insert(bytes.end(), {0x10, 0x42, 0x10, 0x10, 0x22});  // another, with a doubled DLE
    bytes.insert(bytes.end(), 3000, 0x55);                       // a frame that never ends
    bytes.insert(bytes.end(), {0x10, 0x03, 0x10, 0x03, 0x03});  // empty frames and a stray ETX
    FeedBothAndRead(bytes);
    ExpectGoodPositionDecoded("after broken framing");
    EXPECT_TRUE(ui.boxes.empty());
}

} // namespace
