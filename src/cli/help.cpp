#include "cli/help.h"

#include <algorithm>
#include <array>
#include <span>

#include "core/logfile/logfile_record.h"

namespace zorva::cli {

namespace {

// Options shared by several commands.
constexpr OptionHelp kLat = {"--lat DEG", "observer's latitude, degrees, north positive (-90..90)",
                             "51.5"};
constexpr OptionHelp kLong = {
    "--long DEG", "observer's longitude, degrees, east positive (-180..360, folded to -180..180)",
    "0.5"};
constexpr OptionHelp kDiameter = {"--diameter MM", "chart diameter, millimetres (1..2000)", "150"};
constexpr OptionHelp kOrientation = {
    "--orientation MODE",
    "equatorial (celestial north up), axis (rotation axis up) or altaz (zenith up)", "equatorial"};
constexpr OptionHelp kFlip = {"--flip", "chart flipped top to bottom", "off"};
constexpr OptionHelp kMirror = {"--mirror", "chart mirrored left to right", "off"};
// How a picture lies: given, these stand over what its file says.
constexpr OptionHelp kPictureOrientation = {
    "--orientation MODE",
    "how the picture lies: equatorial (celestial north up), axis (the Sun's rotation axis up, "
    "as observatories give their pictures) or altaz (zenith up); or solve, found from the "
    "regions of --regions",
    "a FITS header's turn, else solar north up and east to the left for an observatory's file "
    "name, else celestial north up and east to the left, as a camera sees the sky"};
constexpr OptionHelp kPictureFlip = {"--flip", "with the orientation given: south up", "off"};
constexpr OptionHelp kPictureMirror = {"--mirror",
                                       "with the orientation given: east to the left (without "
                                       "--mirror an orientation given has east to the right)",
                                       "off"};
constexpr OptionHelp kPictureTurn = {
    "--turn DEG",
    "the picture turned: the orientation's north (celestial north, as a camera's picture has "
    "it, or the north of the --orientation given) lies DEG degrees counter-clockwise from the "
    "picture's up (-360..360; with --flip, from its bottom); stands over a header's turn",
    "none"};
constexpr OptionHelp kPictureDrift = {
    "--drift X1,Y1,X2,Y2",
    "celestial north from the Sun's drift with the drive off: a spot or limb point seen at "
    "pixel X1,Y1 drifted to X2,Y2; the drift runs west, and east lies to the left of north as "
    "the sky is seen (to the right with --orientation equatorial without --mirror, as on a "
    "projection screen)",
    "none"};
constexpr OptionHelp kPictureDriftFrom = {
    "--drift-from FILE",
    "celestial north from the drift of the whole disk between this picture and FILE, taken "
    "seconds later with the drive off; east as for --drift",
    "none"};
constexpr OptionHelp kPictureRegions = {
    "--regions FILE",
    "with --orientation solve: the day's Solar Region Summary; the turn and mirror that lay the "
    "groups found on the picture on its regions, each carried from the time its locations are "
    "valid to the picture's instant; refused when fewer than two groups lie on regions, or when "
    "two answers fit equally well",
    "none"};
constexpr OptionHelp kLatLines = {"--lat-lines", "latitude lines every 20 degrees, with labels",
                                  "off"};
constexpr OptionHelp kLongLines = {
    "--long-lines", "longitude lines every 20 degrees from the central meridian", "off"};
constexpr OptionHelp kSize = {"--size CELLS",
                              "spot size, grid cells counted on the drawing (0..10000000)", "0"};
constexpr OptionHelp kDisk = {
    "--disk CX,CY,R",
    "the disk given by hand, pixels: the centre's column and row (0 being the first and the "
    "top one) and the radius; it stands over a FITS header's and the limb search's",
    "none"};
constexpr OptionHelp kGrid = {"--grid UNIT",
                              "counting grid: mm (1 mm squares) or in (1/25 inch squares)", "mm"};

constexpr OptionHelp kYearOptions[] = {
    {"--accurate",
     "the table computed with ERFA instead (1800..2200), B0, L0 and P to 4 decimals, seconds "
     "to 2",
     "off"},
};
constexpr OutputHelp kYearOutputs[] = {
    {"year month day", "date at 0h UT; the month as Jan..Dec"},
    {"RA", "apparent right ascension, hours"},
    {"Dec", "apparent declination, degrees"},
    {"B0 L0 P", "heliographic latitude and Carrington longitude of the disk centre, position "
                "angle of the rotation axis, degrees"},
    {"minutes seconds", "apparent diameter, arcminutes and arcseconds"},
    {"rotation", "Carrington rotation in progress"},
};

constexpr OptionHelp kAtOptions[] = {kLat, kLong};
constexpr OutputHelp kAtOutputs[] = {
    {"RA", "apparent right ascension, hours"},
    {"Dec", "apparent declination, degrees"},
    {"B0", "heliographic latitude of the disk centre, degrees"},
    {"L0", "Carrington longitude of the disk centre, degrees"},
    {"P", "position angle of the rotation axis, degrees east of north"},
    {"DiamMinutes", "apparent diameter, whole arcminutes"},
    {"DiamSeconds", "apparent diameter, arcseconds beyond DiamMinutes"},
    {"Rotation", "Carrington rotation number"},
    {"Altitude", "altitude above the horizon, degrees, without refraction"},
    {"Azimuth", "azimuth, degrees from north through east"},
    {"ParallacticAngle", "parallactic angle, degrees, negative east of the meridian"},
};

constexpr OptionHelp kLocateOptions[] = {
    {"--x MM", "spot's distance right of the disk centre on the chart, millimetres (-2000..2000)",
     "none (required without --image)"},
    {"--y MM", "spot's distance above the disk centre on the chart, millimetres (-2000..2000)",
     "none (required without --image)"},
    {"--image FILE",
     "a solar image (BMP, PNG, JPEG, JPEG 2000, TIFF or FITS) to click on instead, opened as the "
     "window "
     "opens it: the disk is --disk's, else a FITS header's, else the limb search's, and the "
     "chart diameter "
     "is the one the disk stands for at 75 pixels per inch; the instant, when not given, is "
     "the header's, the camera's or the file name's (as for overlay --at); a header's "
     "orientation stands unless --orientation, "
     "--flip or --mirror is given; not with --x, --y or --diameter",
     "none"},
    {"--px X", "with --image: the clicked pixel's column, 0 being the first",
     "none (required with --image)"},
    {"--py Y", "with --image: the clicked pixel's row, 0 being the top one",
     "none (required with --image)"},
    {"--disk CX,CY,R", "with --image: as for overlay", "none"},
    kDiameter,
    kOrientation,
    kFlip,
    kMirror,
    {"--turn DEG", "with --image: as for overlay", "none"},
    {"--drift X1,Y1,X2,Y2", "with --image: as for overlay", "none"},
    {"--drift-from FILE", "with --image: as for overlay", "none"},
    {"--regions FILE", "with --image and --orientation solve (found from it): as for overlay",
     "none"},
    kSize,
    kGrid,
    kLat,
    kLong,
};
constexpr OutputHelp kLocateOutputs[] = {
    {"SpotRho", "angle from the disk centre as seen from the Sun's centre, degrees"},
    {"SpotPA", "position angle on the disk, degrees"},
    {"SpotLat", "heliographic latitude, degrees"},
    {"SpotLong", "Carrington longitude, degrees"},
    {"SpotRotation", "Carrington rotation in which the spot crosses the central meridian"},
    {"SpotArea", "area, millionths of the solar hemisphere (0 without --size)"},
};

constexpr OptionHelp kChartOptions[] = {
    {"--out FILE", "the file to write: .png (75 pixels per inch), .pdf or .svg (true size)",
     kRequired},
    {"--x MM", "spot marker's distance right of the disk centre, millimetres (-2000..2000)", "0"},
    {"--y MM", "spot marker's distance above the disk centre, millimetres (-2000..2000)", "0"},
    kDiameter,
    kOrientation,
    kFlip,
    kMirror,
    kLatLines,
    kLongLines,
    {"--style STYLE", "screen (blue ground, yellow disk) or print (white, black grid)", "screen"},
    {"--caption",
     "caption block under the chart: instant, B0, L0, P, rotation, diameter, "
     "orientation, site, and lines for observer, seeing and notes",
     "off"},
    {"--long-labels", "Carrington longitudes every 30 degrees along the equator", "off"},
    {"--size CELLS", "as for locate; does not change the chart", "0"},
    {"--grid UNIT", "as for locate; does not change the chart", "mm"},
    kLat,
    kLong,
};

constexpr OptionHelp kRegionsOptions[] = {
    {"--at INSTANT", "instant the regions are moved to, UT",
     "the time the summary's locations hold"},
    kDiameter,
    kOrientation,
    kFlip,
    kMirror,
    kLat,
    kLong,
};
constexpr OutputHelp kRegionsOutputs[] = {
    {"number", "region number"},
    {"latitude", "heliographic latitude, degrees"},
    {"Lo", "Carrington longitude, degrees"},
    {"central", "Carrington longitude of the central meridian when listed, degrees"},
    {"area", "millionths of the solar hemisphere, or - when not listed"},
    {"class", "McIntosh class, or -"},
    {"spots", "number of spots, or -"},
    {"visible x y", "on the near side at the instant: millimetres right of and above the "
                    "chart's centre; hidden - - when behind the limb"},
    {"Wolf", "last line: the Wolf number of the summary"},
};

constexpr OutputHelp kLimbOutputs[] = {
    {"CentreX", "column of the disk centre, pixels, 0 being the first column"},
    {"CentreY", "row of the disk centre, pixels, 0 being the top row"},
    {"Radius", "disk radius, pixels"},
    {"Rays", "limb points the final circle was fitted to"},
    {"RaysSearched", "rays that crossed the picture: 356 of the 360 on most pictures"},
    {"Residual", "root mean square distance of those points from the circle, pixels"},
    {"Mode", "DarkBackground (a bright disk on a dark sky) or LightBackground (a dark limb on "
             "a light field)"},
    {"HeaderCentreX", "the disk centre by the solar coordinates of a FITS header (a FITS "
                      "file's, or the one a JPEG 2000 file's XML box holds), as CentreX"},
    {"HeaderCentreY", "the same, as CentreY"},
    {"HeaderRadius", "the solar radius over the header's pixel scale, pixels"},
    {"GivenCentreX GivenCentreY GivenRadius", "the disk given with --disk"},
    {"Date", "the observation date a FITS header, else a camera's EXIF time, else the file "
             "name gives (as for overlay --at), YYYY-MM-DD; only when one does"},
    {"Time", "its time of day, HH:MM:SS UT, to the nearest second; a camera clock that writes no "
             "offset from UT is taken as UT; only when one does"},
    {"Orientation",
     "where solar north and east lie by the header: the chart rotation q "
     "(degrees), the flip and mirror signs, and the nearest sides, in words; the last line"},
};

constexpr OptionHelp kLimbOptions[] = {
    {"--disk CX,CY,R",
     "a disk given by hand, pixels: the centre's column and row and the radius; printed "
     "beside the search's (GivenCentreX, GivenCentreY, GivenRadius)",
     "none"},
    {"--refine",
     "the sub-pixel limb: each edge moved along the radius to the disk's own edge, "
     "fitted to the brightness across the limb, and the circle fitted again",
     "off"},
    kPictureTurn,
};

// A command's options, from lists of them in order.
template <std::size_t... N> constexpr auto Joined(const OptionHelp (&... lists)[N]) {
    std::array<OptionHelp, (N + ...)> all{};
    std::size_t i = 0;
    for (const std::span<const OptionHelp> list : {std::span<const OptionHelp>(lists)...})
        for (const OptionHelp& option : list)
            all[i++] = option;
    return all;
}

// How a picture lies and what is laid on it, as overlay and spots both take it.
constexpr OptionHelp kPictureLies[] = {
    kPictureRegions, kPictureFlip, kPictureMirror, kPictureTurn, kPictureDrift, kPictureDriftFrom,
};

constexpr OptionHelp kOverlayOwn[] = {
    {"--out FILE", "the picture to write: .bmp (24 bits), .png, .jpg or .tif", kRequired},
    {"--at INSTANT", "instant of the grid, UT",
     "a FITS header's, else a camera's EXIF DateTimeOriginal turned to UT by its "
     "OffsetTimeOriginal (UT when it has none), else the file name's: dyymmdd.ext at 12:00, or "
     "anywhere in the name YYYY_MM_DD__hh_mm_ss_fff, YYYY-MM-DDThh:mm:ss, YYYYMMDDThhmmss, "
     "YYYYMMDD_hhmmss, YYYYMMDD_hhmm, or a day alone (YYYYMMDD, YYYY-MM-DD) at 12:00; what is "
     "passed over or assumed is warned of"},
    kPictureOrientation,
};

constexpr OptionHelp kOverlayGrid[] = {
    kLatLines,
    kLongLines,
    kDisk,
    {"--points", "the limb points of the fit, as red crosses", "off"},
    {"--circle", "the fitted limb circle, in the grid's colour", "off"},
    kLat,
    kLong,
};

constexpr auto kOverlayOptions = Joined(kOverlayOwn, kPictureLies, kOverlayGrid);

constexpr OptionHelp kSpotsOwn[] = {
    {"--at INSTANT", "instant of the pictures, UT", "as for overlay --at"},
    {"--memory MIB", "the memory the pictures searched at once may take, MiB (1..1073741824)",
     "half the memory available when the command starts"},
    {"--disk CX,CY,R",
     "the disk by hand: centre column and row (0 being the first, a pixel's centre whole) "
     "and radius, pixels",
     "a FITS header's disk, else the limb search's"},
    {"--orientation MODE",
     "as for overlay, or solve: the turn and mirror that lay the groups found on the regions "
     "of --regions at the picture's instant",
     "as for overlay"},
};

constexpr OptionHelp kSpotsSearch[] = {
    {"--format FORMAT",
     "text, csv (a row a group and a row a spot) or json (an object a file, on one line, "
     "valid UTF-8: a byte of a name that is not UTF-8 is shown as U+FFFD, and the exact "
     "name goes beside it in \"file_bytes\" with each such byte, and each %, written %XX)",
     "text"},
    {"--penumbra LEVEL", "a spot is darker than LEVEL times the quiet Sun around it (0.01..1)",
     "0.92"},
    {"--umbra LEVEL", "an umbra is darker than LEVEL times the quiet Sun (0..the penumbra level)",
     "0.6"},
    {"--fixed-umbra",
     "the umbra level alone; without it a spot's umbra is what lies below the larger of the "
     "level and the spot's mean less 0.85 of its spread (Zharkov et al. 2005)",
     "off"},
    {"--limb-mu MU",
     "the band left out at the limb is as wide as the picture's own limb asks (its blur, and "
     "how far it strays from the disk's circle); with MU it reaches in at least to where the "
     "cosine of the angle from the disk centre, as seen from the Sun's centre, is MU (0..0.9)",
     "0"},
    {"--smallest MSH",
     "the smallest spot counted, millionths of the hemisphere corrected for foreshortening; "
     "never fewer than 3 pixels, or 2 that reach below 0.75 of the quiet Sun",
     "1.6"},
    {"--group-link SMALLEST,LARGEST",
     "spots within SMALLEST degrees of each other edge to edge are one group; along the "
     "parallel a spot reaches SMALLEST plus 0.25 times the square root of its area (in "
     "millionths) degrees, across it SMALLEST, and no group is longer east to west than "
     "LARGEST; a spot without an umbra never joins two groups",
     "3,20"},
    {"--fresh",
     "search the picture again, though a reviewed count is kept beside it "
     "(PICTURE.spots.json)",
     "the reviewed count when there is one"},
    {"--files-from LIST",
     "the pictures listed in the file LIST, one a line (- for standard input), after those "
     "named",
     "none"},
    {"--shard K/N",
     "every N-th picture of those named and listed, from the K-th (1 <= K <= N): one task's "
     "share of a job array, such as Slurm's or GNU parallel's; the N shards together are the "
     "whole",
     "all"},
    kLat,
    kLong,
};

constexpr auto kSpotsOptions = Joined(kSpotsOwn, kPictureLies, kSpotsSearch);
constexpr OutputHelp kSpotsOutputs[] = {
    {"File", "the file as named; a control character, a backslash and a byte that is not UTF-8 "
             "written as in the shell's $'...' (\\n, \\\\, \\xff)"},
    {"Instant", "YYYY-MM-DDTHH:MM:SSZ and where it came from (FITS header, camera (EXIF), "
                "file name or given)"},
    {"Disk", "centre column, centre row, radius (pixels) and where the disk came from"},
    {"Orientation", "north and east: the angles, degrees counter-clockwise from the picture's "
                    "up, at which solar north and solar east lie (north up and east left, as "
                    "the sky is seen: 0 and 90; a projection with north up: 0 and 270), then "
                    "where the orientation came from; when solved, matched (groups laid on "
                    "regions) of (groups on the disk) and residual (RMS distance, disk radii). "
                    "JSON has them as orientation {solar_north_turn, solar_east_turn, source, "
                    "matched, groups, residual}, CSV as the last columns of each row"},
    {"Group", "id (east to west), then lat (heliographic latitude), long (Carrington "
              "longitude), cmd (degrees from the central meridian, west positive), x and y "
              "(centroid, pixels), spots, area and umbra (millionths of the hemisphere, "
              "corrected for foreshortening)"},
    {"Spot", "id, group, x, y, lat, long, area, umbra as for a group; each umbra is a spot, "
             "and a dark patch without one counts once"},
    {"Source", "search, or reviewed: the count a user reviewed and kept beside the picture"},
    {"Transit", "a planet in front of the disk, named, at x and y (pixels); not counted"},
    {"Rejected", "x and y (pixels) of a dark feature that is no sunspot, and why"},
    {"Seen", "the share of the disk searched (the frame may cut it; a band at the limb is "
             "left out), then blur (the picture's, pixels) and band (its width, pixels)"},
    {"Wolf", "R = 10 groups + spots, then the groups, the spots and R of the northern and "
             "southern halves"},
};
constexpr OptionHelp kRecordOptions[] = {
    {"--record FILE", "the record: an SQLite file of this program's",
     "ZorvaRecord.sqlite in the "
     "working folder"},
    {"--json",
     "add: the files hold lines of spots --format json (pictures searched before, "
     "perhaps elsewhere); lines of pictures that could not be searched are passed over",
     "off"},
    {"--visual", "add: counts typed at the eyepiece, with --at and --north and --south or --group",
     "off"},
    {"--at INSTANT",
     "add --visual: when the Sun was observed, UT; add PICTURE: the pictures' instant, as for "
     "spots --at",
     "none"},
    {"--north G,S", "add --visual: groups and spots of the northern hemisphere", "none"},
    {"--south G,S", "add --visual: groups and spots of the southern hemisphere", "none"},
    {"--wolf R",
     "add --visual: the Wolf number as worked out at the eyepiece; one that is not 10 g + s "
     "is refused",
     "none"},
    {"--group LOCATION,SPOTS[,CLASS[,NOAA]]",
     "add --visual: a group, the option once for each: LOCATION N or S, or N14 (the latitude), "
     "or N14W23 as NOAA writes it (degrees east or west of the central meridian, turned into a "
     "Carrington longitude); its spots, its McIntosh class (Dso) and NOAA's number. Without "
     "--north and --south the counts are the groups'; with them, the groups must be all of them",
     "none", true},
    {"--method METHOD",
     "add --visual: visual (at the eyepiece) or drawing (from a projection "
     "drawing)",
     "visual"},
    {"--observer CODE", "add: the observer's code, as an association gives it", "none"},
    {"--site TEXT", "add: where the observation was made", "none"},
    {"--instrument TEXT", "add: the instrument", "none"},
    {"--seeing N", "add: the seeing, 1 (excellent) to 5 (very poor)", "none"},
    {"--day",
     "add: the observation is its day's, the one the report takes; record mark ID does the "
     "same later",
     "off: the day's observation is the one of the best seeing, else the first"},
    {"--month YYYY-MM", "report (required), list, groups: the month", "every month"},
    {"--from YYYY-MM", "list, groups, plot: the first month", "the first observed"},
    {"--to YYYY-MM", "list, groups, plot: the last month", "the last observed"},
    {"--format FORMAT",
     "report: text (aligned columns and the summary) or csv (a header row "
     "and a row a day)",
     "text"},
    {"--kind KIND",
     "plot: activity (each day's R and the monthly mean against time) or butterfly (the "
     "groups' latitudes against time, marked by area)",
     "none"},
    {"--out FILE", "plot: the file, .png (1000 by 500 pixels), .svg or .pdf", "none"},
    {"--disk CX,CY,R", "add PICTURE: as for spots", "as for spots"},
    kPictureOrientation,
    kPictureFlip,
    kPictureMirror,
    {"--penumbra LEVEL", "add PICTURE: as for spots", "0.92"},
    {"--umbra LEVEL", "add PICTURE: as for spots", "0.6"},
    {"--fixed-umbra", "add PICTURE: as for spots", "off"},
    {"--limb-mu MU", "add PICTURE: as for spots", "0.1"},
    {"--smallest MSH", "add PICTURE: as for spots", "1.6"},
    {"--group-link SMALLEST,LARGEST", "add PICTURE: as for spots", "3,15"},
    kLat,
    kLong,
};
constexpr OutputHelp kRecordOutputs[] = {
    {"add", "a line an observation added: observation, its number in the record, the instant, "
            "the method, g, s, R, gN, sN, gS and sS, and the picture"},
    {"list", "a line an observation: number, instant, method, seeing, g, s, R, observer, "
             "\"day\" for the one that stands for its day (\"day marked\" when marked), picture"},
    {"report", "date, UT (hours and minutes), seeing, g, s, R = 10 g + s, gN, sN, gS, sS (each "
               "hemisphere's groups and spots), method and observer; in text, then the observing "
               "days, the mean daily number of groups and the mean R of the month. These are the "
               "columns of the monthly sunspot reports observers send: the AAVSO Solar Section's "
               "(observer code, date, UT, seeing, groups, spots, Wolf number) and SILSO's, the "
               "World Data Center for the sunspot number (date, time, groups and spots, also by "
               "hemisphere, and the quality of seeing)"},
    {"groups", "a group's line (group, its id for its life, noaa, days), then a line a day: "
               "instant, lat, long (Carrington), area (millionths), spots, class, observation"},
};
constexpr OptionHelp kLogfileOptions[] = {
    {"--format FORMAT",
     "csv (a header row of the columns' names, then a row a line) or json (an array of "
     "objects, one a line, with its line number)",
     "csv"},
};
// The columns, named as the conversions name them, from the logfile's own table.
constexpr auto kLogfileOutputs = [] {
    std::array<OutputHelp, LogfileFieldCount> outputs{};
    for (std::size_t i = 0; i < LogfileFieldCount; ++i)
        outputs[i] = {LogfileColumns[i].name, LogfileColumns[i].meaning};
    return outputs;
}();

constexpr CommandHelp kCommands[] = {
    {"year", "YEAR",
     "The daily table the program uses for YEAR (1..9999): a year file zorvadataYYYY.txt in "
     "the working folder first, then the built-in tables (1990..2050), otherwise computed.",
     kYearOptions,
     "Two title lines, then one line a day at 0h UT, in the layout a year file is read in:",
     kYearOutputs},
    {"at", "INSTANT",
     "The Sun's ephemeris at an instant (UT), interpolated in the year's table as the window "
     "does, and the horizon coordinates for the observer.",
     kAtOptions,
     "One \"Name value\" line each, numbers in their shortest form, to at most 15 significant "
     "digits:",
     kAtOutputs},
    {"locate", "[INSTANT]",
     "A spot measured on the chart, in millimetres from the disk centre, or clicked on a "
     "solar image, as heliographic latitude, longitude, rotation and area. The instant is "
     "needed on the chart, and on an image whose file gives none.",
     kLocateOptions,
     "One \"Name value\" line each, numbers in their shortest form, to at most 15 significant "
     "digits. A point off the disk has none of them: nothing is printed and the exit status is "
     "1.",
     kLocateOutputs},
    {"chart",
     "INSTANT",
     "The chart as a file, drawn as the window draws it; PDF and SVG hold the disk at exactly "
     "the chart diameter on paper (print without scaling).",
     kChartOptions,
     "Nothing on standard output.",
     {}},
    {"regions", "FILE",
     "The regions of a Solar Region Summary text file, moved to an instant, and where they "
     "lie on the chart.",
     kRegionsOptions, "One line a region, words separated by single spaces:", kRegionsOutputs},
    {"limb", "IMAGE",
     "The solar disk in an image (BMP, PNG 8 or 16 bit, JPEG, JPEG 2000 8 or 16 bit, TIFF or "
     "FITS): the limb is "
     "searched along 360 rays and a circle fitted to it. Edges on the picture's border, where "
     "the frame cuts the disk, are left out. A circle is refused when fewer than a quarter of "
     "the rays agree, when the limb is seen round less than half of it, when its points lie "
     "more than 1.4 px off it (RMS), or when the brightness does not drop at it (a corona or "
     "haze beyond the limb). When the edge cannot be found or is refused, nothing is printed "
     "and the exit status is 1, with a message naming the file and the reason.",
     kLimbOptions,
     "One \"Name value\" line each, numbers in their shortest form, to at most 15 significant "
     "digits:",
     kLimbOutputs},
    {"overlay",
     "IMAGE",
     "The image with the heliographic grid drawn over its disk as the window draws it, at the "
     "image's own resolution.",
     kOverlayOptions,
     "Nothing on standard output.",
     {}},
    {"spots", "[IMAGE]...",
     "The sunspots on each picture (BMP, PNG, JPEG, JPEG 2000, TIFF or FITS): what is darker "
     "than the "
     "quiet Sun, corrected for limb darkening and the picture's own unevenness, cut into "
     "umbrae and penumbrae, counted as SILSO counts spots, grouped, and placed and measured "
     "on the Sun. What is no darker than the picture's own noise, sharper than its blur, "
     "dark in one colour only, in the limb's shading or larger than any group on record is "
     "no spot, and is named with the reason; a planet in front of the disk is named and not "
     "counted. A count reviewed in the window and kept beside the picture (PICTURE.spots.json) "
     "is told instead of a search, and said to be; one that is damaged, of another picture or "
     "of a later version is set aside with a warning. Several pictures are searched in "
     "parallel, one a core, but no more at once than the memory budget (--memory) holds: a "
     "picture takes what it decodes to and two bytes a pixel more while it is searched, and "
     "one larger than the whole budget is searched alone. They are told in the order given; "
     "a progress line goes to standard error when it is a terminal. A picture "
     "that cannot be opened, or whose disk or date is missing or refused, is named with the "
     "reason on standard error (and, as JSON, in an object with \"error\"); the others go on, "
     "and the exit status is 1.",
     kSpotsOptions,
     "In text, a picture's lines, with a blank line between pictures:", kSpotsOutputs},
    {"record", "add|list|mark|report|groups|plot [FILE|ID]...",
     "The observer's record, an SQLite file: observations (the instant, observer, site, seeing, "
     "instrument, method, picture, g and s of each hemisphere, every group with its place, "
     "area, spots, class and NOAA number), and the groups followed across days by where the "
     "Sun's differential rotation carries them, each with one id for its life. record add "
     "PICTURE... searches the pictures as spots does and adds them; record add --json FILE... "
     "adds the lines of spots --format json; record add --visual adds counts typed at the "
     "eyepiece. A second observation of a day is kept; reports take the day's one (record mark "
     "ID makes an observation its day's). record list lists observations, record report the "
     "month's, record groups the groups' lives and record plot draws the activity curve or the "
     "butterfly diagram. What cannot be (fewer spots than groups, a negative count, an R that "
     "is not 10 g + s, a day yet to come, a picture added before) is refused with the reason "
     "and nothing is added; a file that is no record, a damaged one or one from a newer "
     "version is refused and left as it is.",
     kRecordOptions, "On standard output:", kRecordOutputs},
    {"logfile", "FILE",
     "A fixed-column logfile of the window's measurements converted for a spreadsheet or a "
     "script, every field of every line kept as the line writes it. Header lines and blank "
     "lines are passed over; a line that is no measurement is named with its number on "
     "standard error and skipped, the rest converted, and the exit status is 1.",
     kLogfileOptions,
     "Every field under its column's name, a field that held no value (a column of '*') "
     "empty in CSV and null in JSON:",
     kLogfileOutputs},
};

} // namespace

std::span<const CommandHelp> CommandHelps() {
    return kCommands;
}

const CommandHelp* FindCommandHelp(std::string_view name) {
    const auto it = std::find_if(std::begin(kCommands), std::end(kCommands),
                                 [name](const CommandHelp& c) { return c.name == name; });
    return it == std::end(kCommands) ? nullptr : &*it;
}

} // namespace zorva::cli
