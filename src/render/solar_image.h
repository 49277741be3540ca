#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/images/camera_time.h"
#include "core/images/fits_header.h"
#include "core/images/grey.h"
#include "core/images/limb.h"
#include "core/images/picture_context.h"
#include "core/images/pixel_grid.h"

namespace zorva {

// Limits on the pictures the program opens: a side of more than 30000 pixels, or a picture
// that would take more than 1 GiB with everything the program keeps for it, is refused
// before it is decoded. Beside the decoded picture that is the picture shown and the grey
// copy its limb is searched on, and the two 32-bit canvases its overlays are painted on in
// turn.
inline constexpr int SolarImageLargestSide = 30000;
inline constexpr int SolarImageAllocationLimitMiB = 1024;
inline constexpr int SolarImageCanvasBytesPerPixel = 8;

// The memory a picture of `size` pixels takes while it is open, decoded in `decoded`
// (Format_Invalid when the decoder cannot say beforehand).
int64_t SolarImageBytes(QSize size, QImage::Format decoded);

// The memory opening a picture file and searching it for sunspots takes, from its headers
// alone: its decoded pixels, the copies made of them and the search's own (two bytes a
// pixel), without the window's canvases; 0 when the headers say nothing (the opening will
// say why).
int64_t PictureSearchBytes(const std::filesystem::path& path);

// An opened solar image.
struct SolarImage {
    // The picture as it is shown: 8-bit grey (Format_Grayscale8) for grey pictures and for
    // every 16-bit one, otherwise 32-bit colour (Format_RGB32).
    QImage shown;
    // What the limb search reads: the grey copy of a colour picture, otherwise the shown
    // picture itself (shared, not copied).
    QImage searched;
    bool convertedToGrey = false;
    // For a 16-bit picture, the levels that became black and white.
    std::optional<StretchLevels> stretch;
    QByteArray format; // "bmp", "png", "jpeg", "tiff", "fits", "jp2" or "j2k"
    // A FITS header's keywords: a FITS file's, with the levels its values were stretched
    // between, or the one a JPEG 2000 file's XML box holds.
    std::optional<FitsInfo> fits;
    // A camera's EXIF times, when a JPEG, PNG or TIFF file holds them (or its metadata
    // could not be read, which `error` then says).
    std::optional<CameraTimes> camera;
    // The camera's EXIF Orientation (2..8) the pixels were turned or mirrored by to be
    // shown as the camera meant them; 0 when they are shown as the file holds them.
    int32_t exifOrientation = 0;
    // What in the file was passed over in reading it, one line each.
    std::vector<std::string> notes;
};

struct SolarImageLoad {
    std::optional<SolarImage> image;
    QString error; // when there is no image: "Cannot open "name": why."
};

// Opens an image file. The file is checked before it is decoded (missing, unreadable,
// empty, not a BMP, PNG, JPEG, JPEG 2000, TIFF or FITS picture, no pixels, too large, cut
// off or damaged); any failure comes back as a message naming the file and the reason. A
// name with a FITS extension (.fits, .fit, .fts, also .gz, and .fz), or a file that starts
// as a FITS file does, is read as FITS; a JPEG 2000 file is known by its first bytes. A
// camera picture whose EXIF Orientation says it is turned or mirrored is shown upright. Only a
// regular file is read. The path's bytes reach the file system as they are, so a name that is not
// UTF-8 (as the command line may be given) opens too.
SolarImageLoad LoadSolarImage(const std::filesystem::path& path);
SolarImageLoad LoadSolarImage(const QString& path);

// A picture file opened and made sense of: its pixels, and its disk, instant and turn with
// their sources. The window and the command line open every picture through this.
struct LoadedPicture {
    SolarImage image;
    PictureContext context;
};
struct PictureLoad {
    std::optional<LoadedPicture> picture;
    QString error; // when there is no picture, as LoadSolarImage says it
};
PictureLoad OpenPictureFile(const std::filesystem::path& path, const PictureChoices& choices);
PictureLoad OpenPictureFile(const QString& path, const PictureChoices& choices);

// A pixel view of an 8-bit grey or 32-bit picture; an empty grid for any other format.
// The picture must outlive the view.
PixelGrid GridOf(const QImage& picture);

// An opened picture's pixels, to be held by the session from then on (nothing is copied),
// and the picture as shown from what the session holds; an empty image when it holds none.
PictureImages HeldImages(const SolarImage& image);
const QImage& ShownImage(const PictureImages& images);

// The limb of an opened image, searched on its search picture.
LimbFit FindSolarLimb(const SolarImage& image);

// Whether a picture counts as colour by the five-sample test, and its grey copy, pixel
// by pixel (pure black and white stay as they are).
bool IsColourImage(const QImage& picture);
QImage ConvertToGrey(const QImage& picture);

// The file types an image is saved in.
enum class ImageFileType { Bmp, Png, Jpeg, Tiff };

// The file type a name's extension gives (bmp, png, jpg or jpeg, tif or tiff, any case).
std::optional<ImageFileType> ImageTypeOfName(const QString& name);

// Filters of the open and save dialogs.
QString OpenImageFilter();
QString SaveImageFilter();

// The file a Save As writes: the type its name's extension gives, otherwise the type of
// the chosen filter (BMP without one), with that type's extension added to a name that
// has none.
struct SaveTarget {
    QString path;
    ImageFileType type = ImageFileType::Bmp;

    bool operator==(const SaveTarget&) const = default;
};
SaveTarget ResolveSaveTarget(const QString& chosenPath, const QString& selectedFilter = QString());

// Writes the picture: BMP as 24-bit colour, JPEG at quality 95, PNG and TIFF lossless.
// The old file is replaced only by a complete new one. False with a message on failure.
bool SaveSolarImage(const QImage& picture, const SaveTarget& target, QString* error = nullptr);
// The same for a file named by its bytes, which reach the file system as they are.
bool SaveSolarImage(const QImage& picture, const std::filesystem::path& path, ImageFileType type,
                    QString* error = nullptr);

} // namespace zorva
