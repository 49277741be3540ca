#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/chart/chart_geometry.h"
#include "core/ephemeris/calendar.h"
#include "core/ephemeris/daily_table.h"
#include "core/images/camera_time.h"
#include "core/images/circle_fit.h"
#include "core/images/fits_header.h"
#include "core/images/limb.h"
#include "core/images/pixel_grid.h"
#include "core/measure/pointer.h"

namespace zorva {

// Where each thing the program knows about an opened picture came from.
enum class DiskSource { None, Header, LimbSearch, Hand };
enum class InstantSource { None, Header, FileName, Given, Exif };
enum class OrientationSource { Picture, Header, FileName, Given, Drift, Solved };

// Why the instant a file gives is not the picture's for certain: the name gives the day
// alone (12:00 UT is assumed), or a camera wrote its clock's time without the clock's offset
// from UT (the offset set for such clocks is assumed). The command line measures at it with
// a note; the window asks the user to confirm it or give another first.
enum class InstantDoubt { None, DayAlone, ClockOffset };

std::string_view DiskSourceName(DiskSource source);               // "FITS header", ...
std::string_view InstantSourceName(InstantSource source);         // "FITS header", ...
std::string_view OrientationSourceName(OrientationSource source); // "FITS header", ...

// What the readers give of a picture file: its bare name, its size, a FITS file's header,
// a camera's EXIF times (when the file holds EXIF data, or its reading failed), and the
// picture the limb search reads (which must outlive the call).
struct PictureFile {
    std::string name;
    int32_t width = 0;
    int32_t height = 0;
    std::optional<FitsKeywords> fits;
    std::optional<CameraTimes> camera;
    // The camera's EXIF Orientation (2..8) the pixels were turned by to stand as the camera
    // meant them; 0 when they stand as the file holds them.
    int32_t exifOrientation = 0;
    // What the reader passed over (a fault in a JPEG 2000 file's XML box), one line each.
    std::vector<std::string> notes;
    PixelGrid searched;
};

// How a picture with the EXIF Orientation `orientation` was turned to be shown as the camera
// meant it: "turned 90 degrees counter-clockwise"; empty for 0 and 1.
std::string ExifOrientationWords(int32_t orientation);

// How a picture is turned when the user says it, or it was found from the drift or the
// day's regions: the mode whose north is meant, its flip and mirror, and the turn, degrees
// counter-clockwise from the picture's up at which that north lies (ChartGeometry::Turn).
struct PictureTurn {
    Orientation mode = Orientation::Equatorial;
    int32_t flip = 1;
    int32_t mirror = -1; // east to the left of north, as the sky is seen
    double turn = 0;
    OrientationSource source = OrientationSource::Given;

    bool operator==(const PictureTurn&) const = default;
};

// What the user says of the picture beside the file: a finer limb search, a disk given by
// hand, an instant and an orientation that stand over the file's own.
struct PictureChoices {
    bool subPixelLimb = false;
    std::optional<Circle> disk;
    std::optional<Instant> instant;
    bool orientationGiven = false; // the orientation given stands over the file's
    // A turn given, or found from the drift, which stands over the file's orientation and
    // the one chosen for pictures.
    std::optional<PictureTurn> turn;
    // What a camera clock that writes no offset from UT keeps: minutes ahead of UT
    // (-840..840); 0, UT, unless the user says otherwise.
    int32_t cameraClockOffsetMinutes = 0;
};

// Everything the program knows about an opened picture, each part with its source.
struct PictureContext {
    std::string name;
    int32_t width = 0;
    int32_t height = 0;
    LimbFit limb; // the search, whose points and circle are drawn on request
    std::optional<Circle> headerDisk;
    std::optional<Circle> disk; // the disk measured on; none when nothing gave one
    DiskSource diskSource = DiskSource::None;
    std::optional<Instant> instant; // none: the file gives none
    InstantSource instantSource = InstantSource::None;
    InstantDoubt instantDoubt = InstantDoubt::None;
    // The turn the header states, or an observatory's file name implies; without one the
    // picture lies as the orientation chosen for pictures says.
    std::optional<DiskOrientation> orientation;
    OrientationSource orientationSource = OrientationSource::Picture;
    // The turn given or found, which stands over the header's and the chosen orientation.
    std::optional<PictureTurn> turn;
    // The camera's own turn of the picture, already applied to its pixels (EXIF Orientation
    // 2..8; 0 for none).
    int32_t exifOrientation = 0;
    // What in the file was passed over and why ("RSUN_OBS = 1e308 ignored: ..."), one line
    // each.
    std::vector<std::string> notes;

    bool operator==(const PictureContext&) const = default;
};

// A disk given by hand is held to what a header's disk is: a radius of at least a pixel,
// and the centre and the radius within a million pixels (far beyond any picture's own).
inline constexpr double LeastHandDiskRadius = 1;
inline constexpr double FarthestHandDiskPixel = 1e6;
// Why a disk given by hand cannot be taken ("the radius must be 1 to 1000000 pixels"), or
// nothing when it can.
std::optional<std::string> HandDiskProblem(const Circle& disk);
// Why a disk given by hand cannot be taken on a picture of `width` x `height` pixels: what
// HandDiskProblem finds, or a disk that lies wholly beside the picture, touching none of it
// (a picture of no known size, 0 x 0, is not looked at).
std::optional<std::string> HandDiskProblemOn(const Circle& disk, int32_t width, int32_t height);
// The disk given by hand on an opened picture, over whatever disk it had; it stays until
// the picture closes (a new limb search leaves it). When HandDiskProblemOn finds one,
// nothing changes and the answer says why.
std::optional<std::string> GiveDiskByHand(PictureContext& picture, const Circle& disk);

// Builds the context of a picture. The disk: the user's hand (unless HandDiskProblemOn finds
// one, when a note says why it was passed over), else the header, else the limb search
// when the picture backs its circle (a refused search, LimbFit::found false, leaves the
// picture without a disk and its reason in the limb's `reason`). The instant: the user's,
// else the header's, else the camera's EXIF time, else the file name's (DateFromImageName),
// each with the notes of what was passed over or assumed on the way. The turn: the
// header's, else an observatory's file name's (solar north up, east to the left, as
// observatories publish them), unless the user gave an orientation. The limb search runs
// on every picture, so that it can be shown and compared with a header's disk.
PictureContext OpenPicture(const PictureFile& file, const PictureChoices& choices);

// The picture turned as `turn` says, over whatever it was turned by before.
void TurnPicture(PictureContext& picture, const PictureTurn& turn);

// The limb searched again (sub-pixel or not): the disk follows the search unless a header
// or the user's hand gave it.
void RefitPicture(PictureContext& picture, const LimbFit& search);

// The orientation of a picture whose file says none, by default: celestial north up and
// east to the left, as a camera sees the sky.
ChartGeometry DefaultPictureOrientation(const ChartGeometry& chart);

// Whether a bare file name is an observatory's, whose pictures show solar north up and
// east to the left: the MDI and JSOC schemes ("20050111_2359_mdi_igr...", "hmi_...",
// "aia.lev1..."), Helioviewer's ("..._SDO_HMI_..."), and the SOHO and SDO sites' quick-look
// pictures ("20111120_0130_hmiigr_512.jpg", "20111120_013000_1024_HMIIC.jpg").
bool IsObservatoryName(std::string_view name);

// The chart geometry a picture is measured in: its disk stands for a chart drawn at 75
// pixels per inch, and it is turned as its file says, else as `orientation` (the mode,
// flip and mirror chosen for pictures) says. The grid lines shown are those of
// `orientation` too.
ChartGeometry PictureGeometry(const PictureContext& picture, const ChartGeometry& orientation);

// Where the disk lies on the picture and how it is turned at an instant, for turning
// clicked pixels into millimetres and drawing over the picture. The picture must have a
// disk.
DiskFrame PictureFrame(const PictureContext& picture, const ChartGeometry& orientation,
                       const Ephemeris& ephemeris);

// The picture's instant is not given or not certain (InstantDoubt): the window asks for it
// before anything is measured.
bool InstantAwaited(const PictureContext& picture);

// Where the picture's instant came from, in words, with what was assumed: "file name",
// "file name, its day alone: 12:00 UT assumed", "none in the file, not yet given".
std::string InstantSourceWords(const PictureContext& picture);

// Which way a geometry shows the Sun, in words: "celestial north up, east left".
std::string OrientationWords(const ChartGeometry& geometry);

// A status line on where the disk, the instant and the turn came from, and how far the
// limb search lies from a header's disk: "Disk: FITS header (limb fit: centre 0.29 px from
// it, radius -0.52 px); time: file name; orientation: solar north down, east right (FITS
// header)", for the picture measured in the geometry `inUse`.
std::string PictureSourcesText(const PictureContext& picture, const ChartGeometry& inUse);

} // namespace zorva
