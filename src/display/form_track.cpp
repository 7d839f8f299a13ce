#include "display/form_track.h"

#include <QFontMetrics>
#include <algorithm>

#include "monitor/health.h"
#include "monitor/tracking.h"
#include "notify/receiver_notifier.h"

TForm_Track* Form_Track = nullptr;

namespace {

constexpr int kLeft = 8;
constexpr int kRowTop = 26;
constexpr int kRowHeight = 19; // at least; a taller row font gets more
constexpr int kTextIndent = 3; // frame and margin before a row's first character
constexpr int kFrame = 1;      // a panel's bevel, each side

struct Column {
    const char* caption;
    const char* hint;
    int width; // characters of the row text
};

// The columns of the row text built by the channel decoder, in order.
const std::array<Column, 13> kColumns = {{
    {"SV", "Satellite Vehicle", 3},
    {"Slot", "Slot Number", 3},
    {"Chan", "Receiver Channel", 4},
    {"Acq", "Acquisition Flag: 0=never aquired; 1=acquired; 2=re-opened search", 5},
    {"Eph", "Ephemeris Flag: >0 indicates good ephemeris", 4},
    {"AMU", "Signal Strength", 8},
    {"Time", ">=0 is time of last measurement; 0 indicates no measurements taken", 10},
    {"Elev", "The SV's approximate elevation above the horizon", 6},
    {"Azim", "The SV's approximate azimuth from true north", 7},
    {"Old", "Old Data Flag: >0 when last measurement is too old to use", 5},
    {"Intms", "Integer Millisecond Flag: 0 when don't have knowledge of integer ms", 5},
    {"Data", "Bad Data Flag: 1=bad parity; 2=bad ephemeris health", 4},
    {"Dcol", "Data Collection Flag: >0 when trying to collect data from SV", 4},
}};

constexpr size_t kLevelColumn = 5;

int RowChars()
{
    int chars = 0;
    for (const Column& column : kColumns)
        chars += column.width;
    return chars;
}

constexpr int kRowFontPixels = 15;
constexpr int kSelectionLines = 2; // room for 30 satellites, wrapped after 15

QFont RowFont(int pixels)
{
    QFont font("Courier");
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(pixels);
    return font;
}

// The font on screen grows with the design scale.
QFont RowFont() { return RowFont(Scaled(kRowFontPixels)); }

// The row font's measures at the design size (geometry given to Place() is
// scaled from there): "Courier" is whatever the machine resolves it to, and
// with the URW fonts that is wider and taller than on a bare image.
struct RowMetrics {
    int charWidth;
    int rowHeight;       // a row panel, its frame included
    int rowPitch;        // from one row to the next
    int selectionHeight; // the satellite list: kSelectionLines lines of the row font
};

RowMetrics Metrics()
{
    const QFontMetrics m(RowFont(kRowFontPixels));
    const int rowHeight = std::max(kRowHeight, m.height() + 2 * kFrame);
    // A pixel a line to spare: the font on screen is scaled and rounded from this one.
    const int selectionHeight =
        std::max(kSelectionLines * kRowHeight, kSelectionLines * (m.lineSpacing() + 1) + 2 * kFrame);
    return {m.horizontalAdvance(QLatin1Char('0')), rowHeight, rowHeight + 2, selectionHeight};
}

int CharWidth() { return Metrics().charWidth; }

// The window's height: rows, the satellite list, the DOPs and the margin under them.
int FormHeight()
{
    const RowMetrics m = Metrics();
    return kRowTop + 8 * m.rowPitch + 8 + m.selectionHeight + 6 + m.rowHeight + 10;
}

int RowWidth(int charWidth) { return RowChars() * charWidth + 2 * kTextIndent + 4; }

Panel* DopField(QWidget* parent, const QString& name, const QString& caption, int left, int top)
{
    new Label(parent, "Label_" + name, caption, left, top, 40, kRowHeight);
    auto* panel = new Panel(parent, "Panel_" + name, "?", left + 42, top, 50, kRowHeight);
    panel->setColour(WindowColour());
    return panel;
}

} // namespace

TForm_Track::TForm_Track()
    : Form("Form_Track", "Tracking Status", RowWidth(CharWidth()) + 2 * kLeft, FormHeight())
{
    const int charWidth = CharWidth();
    BuildHeader(charWidth);
    BuildRows(charWidth);
    BuildSelection(charWidth);
    ConnectReceivers();
}

// The display port's channels and fix; the rows of channels no port reports any more go blank.
void TForm_Track::ConnectReceivers()
{
    ReceiverNotifier& receivers = Receivers();
    connect(&receivers, &ReceiverNotifier::channelChanged, this, [this](int slot, int chan) {
        if (slot + 1 != DisplayPort || chan >= kChannels)
            return;
        const PortReportRecord& r = PortReports[static_cast<size_t>(slot)];
        const auto c = static_cast<size_t>(chan);
        // A multi-GNSS channel (0x5D) reports its level in dB-Hz: the column says so.
        const bool gnss = r.chanSystem[c] != kNoSystem;
        Label_Column[kLevelColumn]->setCaption(gnss ? "dB-Hz" : kColumns[kLevelColumn].caption);
        ShowRow(c, gnss ? TrackRowText(r.chanGnssReport[c]) : TrackRowText(r.chanReport[c]));
    });
    connect(&receivers, &ReceiverNotifier::channelRowsExpired, this,
            [this](int chan) { ShowRow(static_cast<size_t>(chan), QString()); });
    connect(&receivers, &ReceiverNotifier::fixSatellitesChanged, this, [this](int slot) {
        if (slot + 1 != DisplayPort)
            return;
        const Report6D& fix = PortReports[static_cast<size_t>(slot)].fix;
        ShowDops(fix.pdop, fix.hdop, fix.vdop, fix.tdop);
        ShowFixSatellites(SvSelectionText(fix)); // every satellite, also beyond the eighth
    });
}

void TForm_Track::BuildHeader(int charWidth)
{
    // Each caption ends over the last character of its column, as the
    // numbers in the rows are right-aligned.
    int startChar = 0;
    for (size_t i = 0; i < kColumns.size(); ++i) {
        const Column& column = kColumns[i];
        const int left = kLeft + kTextIndent + startChar * charWidth;
        Label_Column[i] = new Label(this, QString("Label_%1").arg(column.caption), column.caption, left, 6,
                                    column.width * charWidth, kRowHeight - 2);
        Label_Column[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        Label_Column[i]->setHint(column.hint);
        Label_Column[i]->setToolTip(column.hint);
        startChar += column.width;
    }
}

void TForm_Track::BuildRows(int charWidth)
{
    const RowMetrics m = Metrics();
    for (size_t i = 0; i < Panel_TS.size(); ++i) {
        const int top = kRowTop + static_cast<int>(i) * m.rowPitch;
        auto* row = new Panel(this, QString("Panel_TS%1").arg(i + 1), QString(), kLeft, top, RowWidth(charWidth),
                              m.rowHeight);
        row->setFont(RowFont());
        row->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        row->setIndent(kTextIndent - 1);
        row->setColour(WindowColour());
        row->setHint("Tracking Status: Packet 3C, 5C");
        Panel_TS[i] = row;
    }
}

void TForm_Track::BuildSelection(int charWidth)
{
    // The list reaches the rows' right edge and wraps onto a second line, so a
    // long selection is shown whole.
    const RowMetrics m = Metrics();
    const int top = kRowTop + 8 * m.rowPitch + 8;
    new Label(this, "Label_SVSel", "SV Selection List", kLeft, top, 140, kRowHeight);
    const int listLeft = kLeft + 142;
    Panel_SVSel = new Panel(this, "Panel_SVSel", QString(), listLeft, top, kLeft + RowWidth(charWidth) - listLeft,
                            m.selectionHeight);
    Panel_SVSel->setFont(RowFont());
    Panel_SVSel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Panel_SVSel->setWordWrap(true);
    Panel_SVSel->setIndent(kTextIndent - 1);
    Panel_SVSel->setColour(WindowColour());
    const int dopTop = top + m.selectionHeight + 6;
    Panel_PDOP = DopField(this, "PDOP", "PDOP", kLeft, dopTop);
    Panel_HDOP = DopField(this, "HDOP", "HDOP", kLeft + 110, dopTop);
    Panel_VDOP = DopField(this, "VDOP", "VDOP", kLeft + 220, dopTop);
    Panel_TDOP = DopField(this, "TDOP", "TDOP", kLeft + 330, dopTop);
}

void TForm_Track::ShowRow(size_t chan, const QString& text)
{
    if (chan < Panel_TS.size())
        Panel_TS[chan]->setCaption(text);
}

void TForm_Track::ShowFixSatellites(const QString& prns) { Panel_SVSel->setCaption(prns); }

void TForm_Track::ShowDops(float pdop, float hdop, float vdop, float tdop)
{
    Panel_PDOP->setCaption(DopText(pdop));
    Panel_HDOP->setCaption(DopText(hdop));
    Panel_VDOP->setCaption(DopText(vdop));
    Panel_TDOP->setCaption(DopText(tdop));
}
