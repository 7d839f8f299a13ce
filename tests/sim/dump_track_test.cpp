// zelk_dump --csv, --gpx and --kml on the real captures, read back by
// Python's csv and XML modules: one row or track point per position report
// the capture notes list, and empty cells for what a capture never reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "capture_facts.h"
#include "dump_process.h"
#include "link/packets.h"
#include "model/geodesy.h"
#include "sim_harness.h"
#include "support/temp_dir.h"
#include "text_lines.h"
#include "tools/dump/dump_run.h"

namespace {

// Reads the three outputs of one capture and prints what they hold:
//   rows N / widths W / filled COLUMN N ... / gpx POINTS TIMED ordered / kml PLACEMARKS
const char kReader[] = R"(
import csv, sys, datetime, xml.etree.ElementTree as ET
rows = list(csv.reader(open(sys.argv[1], newline='')))
header, body = rows[0], rows[1:]
print('rows', len(body))
for key in sorted({r[0] for r in body}):
    print('report', key, sum(1 for r in body if r[0] == key))
print('widths', ' '.join(sorted({str(len(r)) for r in rows})))
for name in ('week', 'tow', 'utc', 'latDeg', 'lonDeg', 'altM', 'velEast', 'velUp', 'fixMode', 'svCount', 'pdop', 'tdop'):
    cells = [r[header.index(name)] for r in body]
    for c in cells:
        if c and name not in ('utc', 'fixMode'):
            float(c)
    print('filled', name, sum(1 for c in cells if c))
ns = '{http://www.topografix.com/GPX/1/1}'
points = ET.parse(sys.argv[2]).getroot().findall(f'{ns}trk/{ns}trkseg/{ns}trkpt')
times = [datetime.datetime.fromisoformat(p.find(f'{ns}time').text.replace('Z', '+00:00'))
         for p in points if p.find(f'{ns}time') is not None]
for p in points:
    assert -90 <= float(p.get('lat')) <= 90 and -180 <= float(p.get('lon')) <= 180
print('gpx', len(points), len(times), 'ordered' if times == sorted(times) else 'unordered')
kml = '{http://www.opengis.net/kml/2.2}'
print('kml', len(ET.parse(sys.argv[3]).getroot().findall(f'{kml}Document/{kml}Folder/{kml}Placemark/{kml}Point')))
)";

uint64_t CountOf(const CaptureFacts& f, std::initializer_list<const char*> keys)
{
    uint64_t n = 0;
    for (const char* key : keys)
        n += f.counts.count(key) ? f.counts.at(key) : 0;
    return n;
}

template <class Report>
void AppendReport(std::vector<uint8_t>& stream, const Report& r, size_t (*encode)(const Report&, uint8_t*))
{
    std::vector<uint8_t> message(kMaxPacketMessage);
    message.resize(encode(r, message.data()));
    const std::vector<uint8_t> frame = Framed(message);
    stream.insert(stream.end(), frame.begin(), frame.end());
}

std::vector<std::string> Cells(const std::string& row)
{
    std::vector<std::string> cells(1);
    for (const char c : row) {
        if (c == ',')
            cells.emplace_back();
        else
            cells.back().push_back(c);
    }
    return cells;
}

} // namespace

// Each row carries the latest time, velocity and fix report before it; an
// ECEF fix comes out in degrees, an ECEF velocity as east, north and up.
TEST(ZelkDumpTrack, RowsCarryTheLatestTimeVelocityAndFixBeforeThem)
{
    constexpr double kRad = 3.14159265358979323846 / 180;
    const double lat = 45 * kRad, lon = 10 * kRad;
    const Ecef where = GeodeticToEcef({lat, lon, 100});
    Report83 ecef;
    ecef.xM = where.x, ecef.yM = where.y, ecef.zM = where.z;
    ecef.fixTimeS = 99999.0f;
    Report41 time;
    time.week = 2100;
    time.timeOfWeekS = 100000.0f;
    time.utcOffsetS = 18.0f;
    Report43 velocity; // 5 m/s due east at 10 degrees east
    velocity.velXMps = static_cast<float>(-5 * std::sin(lon));
    velocity.velYMps = static_cast<float>(5 * std::cos(lon));
    Report6D fix;
    fix.fixModeBits = 0x44;
    fix.pdop = 2.5f;
    Report4A lla; // 5 s into the next week
    lla.latRad = static_cast<float>(-0.5 * kRad);
    lla.fixTimeS = 5.0f;

    std::vector<uint8_t> stream;
    AppendReport(stream, ecef, EncodeReport83);
    AppendReport(stream, time, EncodeReport41);
    AppendReport(stream, velocity, EncodeReport43);
    AppendReport(stream, fix, EncodeReport6D);
    ecef.fixTimeS = 100000.25f;
    AppendReport(stream, ecef, EncodeReport83);
    time.timeOfWeekS = 604790.0f;
    AppendReport(stream, time, EncodeReport41);
    AppendReport(stream, lla, EncodeReport4A);

    std::ostringstream out;
    Dumper dumper(out, DumpOutput::Csv);
    dumper.Feed(stream.data(), stream.size());
    dumper.Finish();
    const std::vector<std::string> rows = Lines(out.str());
    ASSERT_EQ(rows.size(), 4u) << out.str();
    const std::vector<std::string> header = Cells(rows[0]);
    const auto cell = [&](size_t row, const std::string& name) {
        const size_t column = static_cast<size_t>(std::find(header.begin(), header.end(), name) - header.begin());
        const std::vector<std::string> cells = Cells(rows[row]);
        return column < cells.size() ? cells[column] : "(no column " + name + ")";
    };
    // Before any time, velocity or fix report: empty cells, not zeros.
    for (const char* name : {"week", "tow", "utc", "velEast", "velNorth", "velUp", "fixMode", "svCount", "pdop", "hdop"})
        EXPECT_EQ(cell(1, name), "") << name;
    EXPECT_EQ(cell(1, "latDeg"), "45.00000000");
    EXPECT_EQ(cell(1, "lonDeg"), "10.00000000");
    EXPECT_EQ(cell(1, "altM"), "100.000");
    EXPECT_EQ(cell(1, "fixTime"), "99999.000");

    EXPECT_EQ(cell(2, "week"), "2100");
    EXPECT_EQ(cell(2, "tow"), "100000.000");
    EXPECT_EQ(cell(2, "utc"), "2020-04-06T03:46:22.250Z"); // GPS time less the 18 s of the time report
    EXPECT_EQ(cell(2, "velEast"), "5.000");
    EXPECT_EQ(std::abs(std::stod(cell(2, "velNorth"))) + std::abs(std::stod(cell(2, "velUp"))), 0.0);
    EXPECT_EQ(cell(2, "fixMode"), "3-D");
    EXPECT_EQ(cell(2, "svCount"), "4");
    EXPECT_EQ(cell(2, "pdop"), "2.50");

    EXPECT_EQ(cell(3, "report"), "4A");
    EXPECT_EQ(cell(3, "latDeg"), "-0.50000000");
    EXPECT_EQ(cell(3, "utc"), "2020-04-11T23:59:47.000Z"); // the fix lies in the week after the time report
}

TEST(ZelkDumpTrack, CsvGpxAndKmlOfEveryCaptureReadBack)
{
    TempDir dir;
    WriteFileText(dir.file("reader.py"), kReader);
    uint64_t allPositions = 0;
    for (const CaptureFacts& f : Facts()) {
        SCOPED_TRACE(f.name);
        const std::string capture = std::string(JX_CAPTURES_DIR) + "/" + f.name;
        std::vector<std::string> outputs;
        for (const char* option : {"--csv", "--gpx", "--kml"}) {
            const DumpProcess p = StartDump({option, capture}, dir.path());
            ASSERT_EQ(WaitDump(p), 0) << option;
            outputs.push_back(p.outPath);
        }
        const std::string report = dir.file("report.txt");
        const std::string cmd = "python3 " + dir.file("reader.py") + " " + outputs[0] + " " + outputs[1] + " " +
                                outputs[2] + " >" + report + " 2>&1";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << ReadFileText(report);
        const std::string got = ReadFileText(report);

        const uint64_t positions = CountOf(f, {"42", "4A", "83", "84", "8F-20", "8F-23", "8F-AC"});
        allPositions += positions;
        const auto expect = [&](const std::string& line, const char* end = "\n") {
            EXPECT_NE(got.find(line + end), std::string::npos) << line << "\n" << got;
        };
        expect("rows " + std::to_string(positions));
        expect("widths 17");
        expect("gpx " + std::to_string(positions), " ");
        expect("kml " + std::to_string(positions));
        // d's first 0x8F-20 comes before any 0x41 and carries a week 1024 behind it:
        // its time stays the received one, twenty years early; later ones follow 0x41.
        if (std::string(f.name) != "receiver-d.bin") {
            EXPECT_EQ(got.find("unordered"), std::string::npos) << got;
        }
        expect("filled latDeg " + std::to_string(positions));
        // Each row names the report it came from.
        for (const char* key : {"42", "4A", "83", "84", "8F-20", "8F-23", "8F-AC"})
            if (CountOf(f, {key}) > 0)
                expect(std::string("report ") + key + " " + std::to_string(CountOf(f, {key})));
        // What a capture never reports stays empty, row after row.
        // The compact fixes carry their own week and velocity.
        const bool time = CountOf(f, {"41", "8F-AB", "8F-20", "8F-23"}) > 0;
        const bool velocity = CountOf(f, {"43", "56", "8F-20", "8F-23"}) > 0;
        const bool fix = CountOf(f, {"6D", "6C"}) > 0;
        const std::pair<bool, std::vector<const char*>> groups[] = {
            {time, {"week", "utc"}}, {velocity, {"velEast", "velUp"}}, {fix, {"pdop", "svCount", "fixMode"}}};
        for (const auto& [reported, names] : groups) {
            for (const char* name : names) {
                const bool empty = got.find(std::string("filled ") + name + " 0\n") != std::string::npos;
                EXPECT_EQ(empty, !reported || positions == 0) << name << "\n" << got;
            }
        }
    }
    EXPECT_GT(allPositions, 0u);
}
