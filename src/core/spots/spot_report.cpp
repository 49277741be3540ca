// The spots of a picture in words, CSV and JSON, the same for every front end.
#include "core/spots/spot_report.h"

#include "core/images/picture_north.h"
#include "core/text/escape.h"
#include "core/text/format.h"

namespace zorva {

namespace {

// Pixels and degrees to two decimals (a hundredth of a degree is 120 km on the Sun),
// areas to one (a tenth of a millionth).
constexpr int kPlaceDecimals = 2;
constexpr int kAreaDecimals = 1;

std::string Place(double v) {
    return FixedText(v, kPlaceDecimals);
}
std::string Area(double v) {
    return FixedText(v, kAreaDecimals);
}
// A solved orientation's residual, in disk radii.
constexpr int kResidualDecimals = 4;
std::string Residual(double v) {
    return FixedText(v, kResidualDecimals);
}

std::string TwoDigits(int32_t v) {
    return (v < 10 ? "0" : "") + std::to_string(v);
}

// The "file" member of an object, and beside it, for a name that is not UTF-8 (a JSON
// string shows such bytes as U+FFFD), its exact bytes percent-encoded in "file_bytes".
std::string FileMembers(const std::string& file) {
    std::string members = "\"file\":" + JsonString(file);
    if (!IsUtf8(file)) members += ",\"file_bytes\":" + JsonString(PercentEncoded(file));
    return members;
}

std::string InstantOrNone(const SpotReport& r) {
    return r.instant ? IsoInstantText(*r.instant) : "";
}

} // namespace

void DescribePicture(SpotReport& report, const PictureContext& picture, const ChartGeometry& chart,
                     const Ephemeris& ephemeris) {
    // A picture without an instant of its own is measured at the observation's, and says so.
    report.instantSource = picture.instant ? std::string(InstantSourceName(picture.instantSource))
                                           : "none in the picture; the observation's";
    const SolarNorth north = NorthOnPicture(picture, chart, ephemeris);
    SpotOrientation o;
    o.solarNorthTurn = north.turn;
    o.solarEastTurn = SolarEastTurn(north);
    o.source = std::string(OrientationSourceName(picture.orientationSource));
    report.orientation = o;
}

std::string IsoInstantText(const Instant& t) {
    return std::to_string(t.year) + "-" + TwoDigits(t.month) + "-" + TwoDigits(t.day) + "T" +
           TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second) + "Z";
}

std::string SpotReportJson(const SpotReport& r) {
    const SpotDetection& d = r.detection;
    std::string j = "{" + FileMembers(r.file);
    j += ",\"instant\":" + (r.instant ? JsonString(IsoInstantText(*r.instant)) : "null");
    if (!r.instantSource.empty()) j += ",\"instant_source\":" + JsonString(r.instantSource);
    j += ",\"disk\":{\"cx\":" + Place(r.disk.cx) + ",\"cy\":" + Place(r.disk.cy) +
         ",\"r\":" + Place(r.disk.r) + ",\"source\":" + JsonString(r.diskSource) + "}";
    j += ",\"source\":" + JsonString(r.source);
    if (const auto& o = r.orientation) {
        j += ",\"orientation\":{\"solar_north_turn\":" + Place(o->solarNorthTurn) +
             ",\"solar_east_turn\":" + Place(o->solarEastTurn) +
             ",\"source\":" + JsonString(o->source);
        if (o->matched) {
            j += ",\"matched\":" + std::to_string(*o->matched) +
                 ",\"groups\":" + std::to_string(o->groups) +
                 ",\"residual\":" + Residual(o->residual);
        }
        j += "}";
    }
    if (!d.error.empty()) return j + ",\"error\":" + JsonString(d.error) + "}";
    j += ",\"groups\":[";
    for (std::size_t i = 0; i < d.groups.size(); ++i) {
        const SpotGroup& g = d.groups[i];
        j += (i ? ",{" : "{");
        j += "\"id\":" + std::to_string(g.id) + ",\"lat\":" + Place(g.latitude) +
             ",\"long\":" + Place(g.longitude) + ",\"cmd\":" + Place(g.centralDistance) +
             ",\"x\":" + Place(g.x) + ",\"y\":" + Place(g.y) +
             ",\"spots\":" + std::to_string(g.spots) + ",\"area_msh\":" + Area(g.areaMsh) +
             ",\"umbra_msh\":" + Area(g.umbraMsh) + ",\"mcintosh\":" + JsonString(g.mcintosh) + "}";
    }
    j += "],\"spots\":[";
    for (std::size_t i = 0; i < d.spots.size(); ++i) {
        const DetectedSpot& s = d.spots[i];
        j += (i ? ",{" : "{");
        j += "\"id\":" + std::to_string(s.id) + ",\"group\":" + std::to_string(s.group) +
             ",\"x\":" + Place(s.x) + ",\"y\":" + Place(s.y) + ",\"lat\":" + Place(s.latitude) +
             ",\"long\":" + Place(s.longitude) + ",\"area_msh\":" + Area(s.areaMsh) +
             ",\"umbra_msh\":" + Area(s.umbraMsh) + "}";
    }
    j += "],\"wolf\":" + std::to_string(d.wolf.total) +
         ",\"wolf_north\":" + std::to_string(d.wolf.north) +
         ",\"wolf_south\":" + std::to_string(d.wolf.south);
    j += ",\"disk_seen\":" + Place(d.diskSeen) + ",\"blur\":" + Place(d.blur) +
         ",\"limb_band\":" + Place(d.limbBand);
    j += ",\"transits\":[";
    for (std::size_t i = 0; i < d.transits.size(); ++i) {
        const PlanetTransit& t = d.transits[i];
        j += (i ? ",{" : "{");
        j += "\"body\":" + JsonString(t.body) + ",\"x\":" + Place(t.x) + ",\"y\":" + Place(t.y) +
             "}";
    }
    j += "],\"rejected\":[";
    for (std::size_t i = 0; i < d.rejected.size(); ++i) {
        const RejectedFeature& r = d.rejected[i];
        j += (i ? ",{" : "{");
        j += "\"x\":" + Place(r.x) + ",\"y\":" + Place(r.y) +
             ",\"reason\":" + JsonString(r.reason) + "}";
    }
    return j + "]}";
}

std::string SpotErrorJson(const std::string& file, const std::string& error) {
    return "{" + FileMembers(file) + ",\"error\":" + JsonString(error) + "}";
}

std::string SpotReportText(const SpotReport& r) {
    const SpotDetection& d = r.detection;
    std::string t = "File " + TerminalText(r.file) + "\n";
    if (r.instant) {
        t += "Instant " + IsoInstantText(*r.instant) +
             (r.instantSource.empty() ? "" : " " + r.instantSource) + "\n";
    }
    t += "Disk " + Place(r.disk.cx) + " " + Place(r.disk.cy) + " " + Place(r.disk.r) + " " +
         r.diskSource + "\n";
    t += "Source " + r.source + "\n";
    if (const auto& o = r.orientation) {
        t += "Orientation north " + Place(o->solarNorthTurn) + " east " + Place(o->solarEastTurn) +
             " " + o->source;
        if (o->matched) {
            t += " matched " + std::to_string(*o->matched) + " of " + std::to_string(o->groups) +
                 " residual " + Residual(o->residual);
        }
        t += "\n";
    }
    if (!d.error.empty()) return t + "Error " + d.error + "\n";
    for (const SpotGroup& g : d.groups) {
        t += "Group " + std::to_string(g.id) + " lat " + Place(g.latitude) + " long " +
             Place(g.longitude) + " cmd " + Place(g.centralDistance) + " x " + Place(g.x) + " y " +
             Place(g.y) + " spots " + std::to_string(g.spots) + " area " + Area(g.areaMsh) +
             " umbra " + Area(g.umbraMsh) + " class " + g.mcintosh + "\n";
    }
    for (const DetectedSpot& s : d.spots) {
        t += "Spot " + std::to_string(s.id) + " group " + std::to_string(s.group) + " x " +
             Place(s.x) + " y " + Place(s.y) + " lat " + Place(s.latitude) + " long " +
             Place(s.longitude) + " area " + Area(s.areaMsh) + " umbra " + Area(s.umbraMsh) + "\n";
    }
    for (const PlanetTransit& p : d.transits)
        t += "Transit " + p.body + " x " + Place(p.x) + " y " + Place(p.y) + "\n";
    for (const RejectedFeature& r : d.rejected)
        t += "Rejected x " + Place(r.x) + " y " + Place(r.y) + " " + r.reason + "\n";
    t += "Seen " + Place(d.diskSeen) + " blur " + Place(d.blur) + " band " + Place(d.limbBand) +
         "\n";
    t += "Wolf " + std::to_string(d.wolf.total) + " groups " + std::to_string(d.wolf.groups) +
         " spots " + std::to_string(d.wolf.spots) + " north " + std::to_string(d.wolf.north) +
         " south " + std::to_string(d.wolf.south) + "\n";
    return t;
}

std::string SpotCsvHeader() {
    return "file,instant,kind,id,group,x,y,lat,long,cmd,mu,spots,area_msh,umbra_msh,mcintosh,"
           "instant_source,solar_north_turn,solar_east_turn,orientation_source\n";
}

std::string SpotReportCsv(const SpotReport& r) {
    const SpotDetection& d = r.detection;
    const std::string lead = CsvField(r.file) + "," + InstantOrNone(r) + ",";
    const std::string tail = "," + CsvField(r.instantSource) + "," +
                             (r.orientation ? Place(r.orientation->solarNorthTurn) + "," +
                                                  Place(r.orientation->solarEastTurn) + "," +
                                                  CsvField(r.orientation->source)
                                            : std::string(",,")) +
                             "\n";
    std::string c;
    for (const SpotGroup& g : d.groups) {
        c += lead + "group," + std::to_string(g.id) + "," + std::to_string(g.id) + "," +
             Place(g.x) + "," + Place(g.y) + "," + Place(g.latitude) + "," + Place(g.longitude) +
             "," + Place(g.centralDistance) + "," + Place(g.mu) + "," + std::to_string(g.spots) +
             "," + Area(g.areaMsh) + "," + Area(g.umbraMsh) + "," + g.mcintosh + tail;
    }
    for (const DetectedSpot& s : d.spots) {
        c += lead + "spot," + std::to_string(s.id) + "," + std::to_string(s.group) + "," +
             Place(s.x) + "," + Place(s.y) + "," + Place(s.latitude) + "," + Place(s.longitude) +
             "," + Place(s.centralDistance) + "," + Place(s.mu) + ",1," + Area(s.areaMsh) + "," +
             Area(s.umbraMsh) + "," + tail;
    }
    return c;
}

} // namespace zorva
