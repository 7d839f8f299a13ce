// The three track outputs: CSV rows, a GPX 1.1 track, a KML 2.2 document.
#include <charconv>
#include <cmath>

#include "dump_format.h"
#include "dump_track.h"

namespace {

void AppendInt(std::string& out, long long v)
{
    char buf[24];
    out.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void CivilFromDays(long long z, long long* y, unsigned* m, unsigned* d)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    *d = doy - (153 * mp + 2) / 5 + 1;
    *m = mp < 10 ? mp + 3 : mp - 9;
    *y = static_cast<long long>(yoe) + era * 400 + (*m <= 2);
}

void AppendTwo(std::string& out, unsigned v)
{
    out += static_cast<char>('0' + v / 10 % 10);
    out += static_cast<char>('0' + v % 10);
}

// "2024-05-01T12:00:00.250Z": the UTC of the fix to the millisecond.
bool AppendIsoTime(std::string& out, const std::optional<double>& unixTime)
{
    if (!unixTime || !std::isfinite(*unixTime) || *unixTime < 0 || *unixTime > 253402300799.0)
        return false;
    const long long ms = std::llround(*unixTime * 1000);
    const long long s = ms / 1000;
    long long y = 0;
    unsigned mo = 0, d = 0;
    CivilFromDays(s / 86400, &y, &mo, &d);
    const unsigned sod = static_cast<unsigned>(s % 86400);
    AppendInt(out, y);
    out += '-';
    AppendTwo(out, mo);
    out += '-';
    AppendTwo(out, d);
    out += 'T';
    AppendTwo(out, sod / 3600);
    out += ':';
    AppendTwo(out, sod / 60 % 60);
    out += ':';
    AppendTwo(out, sod % 60);
    out += '.';
    out += static_cast<char>('0' + ms % 1000 / 100);
    AppendTwo(out, static_cast<unsigned>(ms % 100));
    out += 'Z';
    return true;
}

// The time between its tags, or nothing when the time is not known.
void AppendTimeElement(std::string& out, const std::optional<double>& unixTime, const char* open, const char* close)
{
    const size_t at = out.size();
    out += open;
    if (AppendIsoTime(out, unixTime))
        out += close;
    else
        out.resize(at);
}

// GPX and KML hold only positions on the earth's surface grid.
bool Mappable(const TrackPoint& p)
{
    return std::isfinite(p.latDeg) && std::isfinite(p.lonDeg) && std::isfinite(p.altM) && std::fabs(p.latDeg) <= 90 &&
           std::fabs(p.lonDeg) <= 180;
}

void AppendOptional(std::string& out, const std::optional<double>& v, int decimals)
{
    if (v)
        AppendNumber(out, *v, decimals, false);
}

void AppendOptional(std::string& out, const std::optional<int>& v)
{
    if (v)
        AppendInt(out, *v);
}

class CsvWriter : public TrackWriter {
public:
    void Begin(std::string& out) override
    {
        out += "report,week,tow,fixTime,utc,latDeg,lonDeg,altM,velEast,velNorth,velUp,fixMode,svCount,"
               "pdop,hdop,vdop,tdop\n";
    }
    void End(std::string&) override {}

protected:
    void WritePoint(const TrackPoint& p, std::string& out) override
    {
        // "84", or "8F-20" for the reports told apart by a sub-id.
        static const char kDigits[] = "0123456789ABCDEF";
        if (p.report > 0xFF) {
            out += kDigits[p.report >> 12 & 0x0F];
            out += kDigits[p.report >> 8 & 0x0F];
            out += '-';
        }
        out += kDigits[p.report >> 4 & 0x0F];
        out += kDigits[p.report & 0x0F];
        out += ',';
        AppendOptional(out, p.receivedWeek ? p.receivedWeek : p.week);
        out += ',';
        AppendOptional(out, p.tow, 3);
        out += ',';
        AppendNumber(out, p.fixTime, 3, false);
        out += ',';
        AppendIsoTime(out, p.unixTime);
        for (const auto& [value, decimals] : {std::pair{p.latDeg, 8}, {p.lonDeg, 8}, {p.altM, 3}}) {
            out += ',';
            AppendNumber(out, value, decimals, false);
        }
        for (const auto* v : {&p.velEast, &p.velNorth, &p.velUp}) {
            out += ',';
            AppendOptional(out, *v, 3);
        }
        out += ',';
        if (p.fixDimension) {
            AppendInt(out, *p.fixDimension);
            out += "-D";
        }
        out += ',';
        AppendOptional(out, p.svCount);
        for (const auto* v : {&p.pdop, &p.hdop, &p.vdop, &p.tdop}) {
            out += ',';
            AppendOptional(out, *v, 2);
        }
        out += '\n';
    }
};

class GpxWriter : public TrackWriter {
public:
    void Begin(std::string& out) override
    {
        out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<gpx version=\"1.1\" creator=\"zelk_dump\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
               "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
               "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 "
               "http://www.topografix.com/GPX/1/1/gpx.xsd\">\n"
               "<trk><name>zelk_dump track</name><trkseg>\n";
    }
    void End(std::string& out) override { out += "</trkseg></trk>\n</gpx>\n"; }

protected:
    void WritePoint(const TrackPoint& p, std::string& out) override
    {
        if (!Mappable(p))
            return;
        out += "<trkpt lat=\"";
        AppendNumber(out, p.latDeg, 8, false);
        out += "\" lon=\"";
        AppendNumber(out, p.lonDeg, 8, false);
        out += "\"><ele>";
        AppendNumber(out, p.altM, 3, false);
        out += "</ele>";
        AppendTimeElement(out, p.unixTime, "<time>", "</time>");
        if (p.fixDimension && (*p.fixDimension == 2 || *p.fixDimension == 3))
            out += *p.fixDimension == 2 ? "<fix>2d</fix>" : "<fix>3d</fix>";
        if (p.svCount) {
            out += "<sat>";
            AppendInt(out, *p.svCount);
            out += "</sat>";
        }
        // The DOP elements follow the schema's order: hdop, vdop, pdop.
        for (const auto& [name, v] : {std::pair{"hdop", &p.hdop}, {"vdop", &p.vdop}, {"pdop", &p.pdop}}) {
            if (!*v || !std::isfinite(**v) || **v < 0)
                continue;
            out += '<';
            out += name;
            out += '>';
            AppendNumber(out, **v, 2, false);
            out += "</";
            out += name;
            out += '>';
        }
        out += "</trkpt>\n";
    }
};

class KmlWriter : public TrackWriter {
public:
    void Begin(std::string& out) override
    {
        out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document><name>zelk_dump track</name>\n"
               "<Folder><name>Fixes</name>\n";
    }
    // The line through all fixes follows their placemarks (it needs them all).
    void End(std::string& out) override
    {
        out += "</Folder>\n";
        if (points_ >= 2) {
            out += "<Placemark><name>Track</name><LineString><altitudeMode>absolute</altitudeMode><coordinates>\n";
            out += line_;
            out += "</coordinates></LineString></Placemark>\n";
        }
        out += "</Document>\n</kml>\n";
    }

protected:
    void WritePoint(const TrackPoint& p, std::string& out) override
    {
        if (!Mappable(p))
            return;
        std::string coordinates;
        AppendNumber(coordinates, p.lonDeg, 8, false);
        coordinates += ',';
        AppendNumber(coordinates, p.latDeg, 8, false);
        coordinates += ',';
        AppendNumber(coordinates, p.altM, 3, false);
        out += "<Placemark>";
        AppendTimeElement(out, p.unixTime, "<TimeStamp><when>", "</when></TimeStamp>");
        out += "<Point><altitudeMode>absolute</altitudeMode><coordinates>";
        out += coordinates;
        out += "</coordinates></Point></Placemark>\n";
        line_ += coordinates;
        line_ += '\n';
        ++points_;
    }

private:
    std::string line_;
    size_t points_ = 0;
};

} // namespace

std::unique_ptr<TrackWriter> MakeTrackWriter(DumpOutput output)
{
    switch (output) {
    case DumpOutput::Csv: return std::make_unique<CsvWriter>();
    case DumpOutput::Gpx: return std::make_unique<GpxWriter>();
    case DumpOutput::Kml: return std::make_unique<KmlWriter>();
    case DumpOutput::Stability: return MakeStabilityWriter(false);
    case DumpOutput::StabilityCsv: return MakeStabilityWriter(true);
    default: return nullptr;
    }
}
