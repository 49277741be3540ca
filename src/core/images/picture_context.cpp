// The one place an opened picture is made sense of, for the window and the command line
// alike: its disk, its instant and its turn, each with where it came from.
#include "core/images/picture_context.h"

#include <algorithm>
#include <cmath>

#include <cctype>

#include "core/chart/projection.h"
#include "core/images/image_name.h"
#include "core/images/image_state.h"
#include "core/images/limb_refine.h"
#include "core/text/format.h"

namespace zorva {

std::string_view DiskSourceName(DiskSource source) {
    switch (source) {
    case DiskSource::None:
        return "none";
    case DiskSource::Header:
        return "FITS header";
    case DiskSource::LimbSearch:
        return "limb search";
    case DiskSource::Hand:
        return "given by hand";
    }
    return "none";
}

std::string_view InstantSourceName(InstantSource source) {
    switch (source) {
    case InstantSource::None:
        return "none";
    case InstantSource::Header:
        return "FITS header";
    case InstantSource::FileName:
        return "file name";
    case InstantSource::Given:
        return "given";
    case InstantSource::Exif:
        return "camera (EXIF)";
    }
    return "none";
}

std::string_view OrientationSourceName(OrientationSource source) {
    switch (source) {
    case OrientationSource::Picture:
        return "the orientation chosen for pictures";
    case OrientationSource::Header:
        return "FITS header";
    case OrientationSource::FileName:
        return "observatory file name";
    case OrientationSource::Given:
        return "given";
    case OrientationSource::Drift:
        return "the Sun's drift";
    case OrientationSource::Solved:
        return "solved from the day's regions";
    }
    return "the orientation chosen for pictures";
}

ChartGeometry DefaultPictureOrientation(const ChartGeometry& chart) {
    ChartGeometry g = chart;
    g.Mode = Orientation::Equatorial;
    g.FlipSign = 1;
    g.MirrorSign = -1;
    return g;
}

bool IsObservatoryName(std::string_view name) {
    std::string lower(name);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // An instrument's name before the first separator: "hmi_20230131...", "aia.lev1...".
    for (const char* prefix : {"hmi", "mdi", "aia", "eit"}) {
        const std::string_view p(prefix);
        if (lower.size() > p.size() && lower.compare(0, p.size(), p) == 0 &&
            (lower[p.size()] == '_' || lower[p.size()] == '.')) {
            return true;
        }
    }
    // MDI's "yyyymmdd_hhmm_mdi_igr..." and Helioviewer's "..._SDO_HMI_...", and the quick-look
    // products the SOHO and SDO sites publish by the day: "yyyymmdd_hhmm_hmiigr_512.jpg" (HMI's
    // continuum, "mdiigr" MDI's, "hmimag" and "mdimag" their magnetograms, "eit195" and the
    // other EIT bands) and "yyyymmdd_hhmmss_1024_HMIIC.jpg" (HMI's continuum, "HMIIF" flattened,
    // "HMIB" the magnetogram).
    for (const char* inside : {"_mdi_", "__sdo_", "__soho_", "_hmiigr_", "_mdiigr_", "_hmimag_",
                               "_mdimag_", "_eit171_", "_eit195_", "_eit284_", "_eit304_",
                               "_hmiic.", "_hmiif.", "_hmii.", "_hmib.", "_hmibc."}) {
        if (lower.find(inside) != std::string::npos) return true;
    }
    return false;
}

std::optional<std::string> HandDiskProblem(const Circle& disk) {
    const auto within = [](double v, double low, double high) { return v >= low && v <= high; };
    if (!within(disk.r, LeastHandDiskRadius, FarthestHandDiskPixel)) {
        return "the radius must be " + ShortestDecimalText(LeastHandDiskRadius) + " to " +
               ShortestDecimalText(FarthestHandDiskPixel) + " pixels";
    }
    if (!within(disk.cx, -FarthestHandDiskPixel, FarthestHandDiskPixel) ||
        !within(disk.cy, -FarthestHandDiskPixel, FarthestHandDiskPixel)) {
        return "the centre must lie within " + ShortestDecimalText(FarthestHandDiskPixel) +
               " pixels of the picture";
    }
    return std::nullopt;
}

std::optional<std::string> HandDiskProblemOn(const Circle& disk, int32_t width, int32_t height) {
    if (auto problem = HandDiskProblem(disk)) return problem;
    if (width <= 0 || height <= 0) return std::nullopt; // a size not known cannot be missed
    // The picture covers its pixels' squares: from -0.5 to width - 0.5 across, as (0, 0) is
    // the middle of the top-left pixel. The disk meets it when the point of the picture
    // nearest its centre lies within its radius.
    constexpr double kHalfPixel = 0.5;
    const double nearestX = std::clamp(disk.cx, -kHalfPixel, width - kHalfPixel);
    const double nearestY = std::clamp(disk.cy, -kHalfPixel, height - kHalfPixel);
    if (std::hypot(disk.cx - nearestX, disk.cy - nearestY) >= disk.r) {
        return "the disk lies outside the picture (" + std::to_string(width) + " x " +
               std::to_string(height) + " pixels)";
    }
    return std::nullopt;
}

namespace {

LimbFit SearchLimb(const PixelGrid& grid, bool subPixel) {
    return subPixel ? FindSubPixelLimb(grid) : FindLimb(grid);
}

// The disk in use: the hand's, else the header's, else a successful search's.
void ChooseDisk(PictureContext& p, const std::optional<Circle>& hand) {
    if (hand) {
        p.disk = hand;
        p.diskSource = DiskSource::Hand;
    } else if (p.headerDisk) {
        p.disk = p.headerDisk;
        p.diskSource = DiskSource::Header;
    } else if (p.limb.found) {
        p.disk = p.limb.disk;
        p.diskSource = DiskSource::LimbSearch;
    } else {
        // A failed search's circle is its last estimate, which may lie anywhere.
        p.disk.reset();
        p.diskSource = DiskSource::None;
    }
}

// The instant the camera's EXIF time gives, else the file name's, with the notes of both.
void InstantFromFile(PictureContext& p, const PictureFile& file, int32_t clockOffsetMinutes) {
    if (file.camera) {
        CameraInstant camera = CameraInstantUT(*file.camera, clockOffsetMinutes);
        p.notes.insert(p.notes.end(), camera.notes.begin(), camera.notes.end());
        if (camera.instant) {
            p.instant = camera.instant;
            p.instantSource = InstantSource::Exif;
            if (camera.offsetAssumed) p.instantDoubt = InstantDoubt::ClockOffset;
            return;
        }
    }
    NameDate named = DateFromImageName(file.name);
    if (!named.note.empty()) p.notes.push_back(std::move(named.note));
    if (named.instant) {
        p.instant = named.instant;
        p.instantSource = InstantSource::FileName;
        if (named.dayAlone) p.instantDoubt = InstantDoubt::DayAlone;
    }
}

} // namespace

std::string ExifOrientationWords(int32_t orientation) {
    switch (orientation) {
    case 2:
        return "mirrored left to right";
    case 3:
        return "turned 180 degrees";
    case 4:
        return "mirrored top to bottom";
    case 5:
        return "mirrored about its diagonal from the top left";
    case 6:
        return "turned 90 degrees clockwise";
    case 7:
        return "mirrored about its diagonal from the top right";
    case 8:
        return "turned 90 degrees counter-clockwise";
    default:
        return {};
    }
}

PictureContext OpenPicture(const PictureFile& file, const PictureChoices& choices) {
    PictureContext p;
    p.name = file.name;
    p.width = file.width;
    p.height = file.height;
    p.exifOrientation = file.exifOrientation;
    p.limb = SearchLimb(file.searched, choices.subPixelLimb);

    std::optional<DiskOrientation> headerTurn;
    std::optional<Instant> headerInstant;
    if (file.fits) {
        FitsHeaderReading header = ReadFitsHeader(*file.fits, file.height);
        headerInstant = header.instant;
        if (header.disk) {
            p.headerDisk = header.disk->disk;
            headerTurn = header.disk->orientation;
        } else {
            headerTurn = header.orientation;
        }
        p.notes = std::move(header.notes);
    }
    p.notes.insert(p.notes.begin(), file.notes.begin(), file.notes.end());
    std::optional<Circle> hand = choices.disk;
    if (hand) {
        if (const auto problem = HandDiskProblemOn(*hand, file.width, file.height)) {
            p.notes.push_back("the disk given by hand is passed over: " + *problem);
            hand.reset();
        }
    }
    ChooseDisk(p, hand);

    if (choices.instant) {
        p.instant = choices.instant;
        p.instantSource = InstantSource::Given;
    } else if (headerInstant) {
        p.instant = headerInstant;
        p.instantSource = InstantSource::Header;
    } else {
        InstantFromFile(p, file, choices.cameraClockOffsetMinutes);
    }

    if (choices.turn) {
        TurnPicture(p, *choices.turn);
    } else if (choices.orientationGiven) {
        p.orientationSource = OrientationSource::Given;
    } else if (headerTurn) {
        p.orientation = headerTurn;
        p.orientationSource = OrientationSource::Header;
    } else if (IsObservatoryName(file.name)) {
        // Solar north up and east to the left: no turn, mirrored.
        p.orientation = DiskOrientation{0, 1, -1};
        p.orientationSource = OrientationSource::FileName;
    }
    return p;
}

void TurnPicture(PictureContext& picture, const PictureTurn& turn) {
    picture.turn = turn;
    picture.orientationSource = turn.source;
}

std::optional<std::string> GiveDiskByHand(PictureContext& picture, const Circle& disk) {
    if (auto problem = HandDiskProblemOn(disk, picture.width, picture.height)) return problem;
    ChooseDisk(picture, disk);
    return std::nullopt;
}

void RefitPicture(PictureContext& picture, const LimbFit& search) {
    picture.limb = search;
    if (picture.diskSource == DiskSource::LimbSearch || picture.diskSource == DiskSource::None) {
        ChooseDisk(picture, std::nullopt);
    }
}

ChartGeometry PictureGeometry(const PictureContext& picture, const ChartGeometry& orientation) {
    ChartGeometry g = orientation;
    g.ChartDiameter =
        picture.disk ? ImageChartDiameter(picture.disk->r) : orientation.ChartDiameter;
    g.FlipSign = ValidSign(g.FlipSign);
    g.MirrorSign = ValidSign(g.MirrorSign);
    if (picture.turn) {
        g.Mode = picture.turn->mode;
        g.FlipSign = ValidSign(picture.turn->flip);
        g.MirrorSign = ValidSign(picture.turn->mirror);
        g.Turn = picture.turn->turn;
    } else if (picture.orientation) {
        g.Mode = Orientation::FromHeader;
        g.HeaderRotation = picture.orientation->q;
        g.FlipSign = picture.orientation->FlipSign;
        g.MirrorSign = picture.orientation->MirrorSign;
    }
    return g;
}

DiskFrame PictureFrame(const PictureContext& picture, const ChartGeometry& orientation,
                       const Ephemeris& ephemeris) {
    const ChartGeometry g = PictureGeometry(picture, orientation);
    const Circle disk = picture.disk.value_or(Circle{});
    return ImageFrame(disk.cx, disk.cy, disk.r, g,
                      ChartRotation(g, ephemeris.P, ephemeris.ParallacticAngle));
}

bool InstantAwaited(const PictureContext& picture) {
    return !picture.instant || picture.instantDoubt != InstantDoubt::None;
}

std::string InstantSourceWords(const PictureContext& p) {
    if (!p.instant) return "none in the file, not yet given";
    switch (p.instantDoubt) {
    case InstantDoubt::None:
        break;
    case InstantDoubt::DayAlone:
        return "file name, its day alone: 12:00 UT assumed";
    case InstantDoubt::ClockOffset:
        return "camera (EXIF), its clock's offset from UT assumed";
    }
    return std::string(InstantSourceName(p.instantSource));
}

std::string OrientationWords(const ChartGeometry& g) {
    if (g.Mode == Orientation::FromHeader) {
        const std::string text =
            OrientationText(DiskOrientation{g.HeaderRotation, g.FlipSign, g.MirrorSign});
        const std::size_t open = text.find('(');
        return open == std::string::npos ? text : text.substr(open + 1, text.size() - open - 2);
    }
    const char* up = g.Mode == Orientation::RotationAxis ? "solar north"
                     : g.Mode == Orientation::AltAzimuth ? "the zenith"
                                                         : "celestial north";
    std::string words = std::string(up) + (g.FlipSign == -1 ? " down" : " up") +
                        (g.MirrorSign == -1 ? ", east left" : ", east right");
    if (g.Turn != 0) {
        words += ", turned " + ShortestDecimalText(g.Turn) + " degrees counter-clockwise";
    }
    return words;
}

std::string PictureSourcesText(const PictureContext& p, const ChartGeometry& inUse) {
    std::string text = "Disk: " + std::string(DiskSourceName(p.diskSource));
    if (p.headerDisk) {
        text += p.limb.found ? " (" + LimbFromHeaderText(p.limb.disk, *p.headerDisk) + ")"
                             : " (limb search: " + p.limb.reason + ")";
    } else if (p.diskSource == DiskSource::None && !p.limb.reason.empty()) {
        text += " (" + p.limb.reason + ")";
    }
    text += "; time: ";
    text += InstantSourceWords(p);
    text += "; orientation: " + OrientationWords(inUse) + " (" +
            std::string(OrientationSourceName(p.orientationSource)) + ")";
    if (const std::string turned = ExifOrientationWords(p.exifOrientation); !turned.empty())
        text += "; " + turned + " as the camera's EXIF orientation says";
    for (const std::string& note : p.notes)
        text += "; " + note;
    return text;
}

} // namespace zorva
