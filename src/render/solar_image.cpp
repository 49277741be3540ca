#include "render/solar_image.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QTransform>
#include <array>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <span>
#include <tiffio.h>
#include <unistd.h>
#include <vector>

#include "core/common/atomic_file.h"
#include "core/common/regular_file.h"
#include "core/images/image_file_checks.h"
#include "core/images/jp2_header.h"
#include "exif/camera_metadata.h"
#include "fits/fits_budget.h"
#include "fits/fits_file.h"
#include "render/fits_image.h"
#include "render/jp2_image.h"

namespace zorva {

namespace {

constexpr qint64 kBytesPerMiB = 1024 * 1024;
constexpr qint64 kBitmapHeadBytes = 64; // enough for the file and information headers
constexpr int kJpegQuality = 95;
constexpr int kBitsPerByte = 8;

struct FileKind {
    ImageFileType type;
    const char* format;    // Qt's name of the format
    const char* extension; // added to a name without one
    const char* filter;    // dialog filter entry
};
// BMP first: it is the save dialog's default.
constexpr std::array<FileKind, 4> kKinds = {{
    {ImageFileType::Bmp, "bmp", "bmp", "Bitmap  files (*.bmp)"},
    {ImageFileType::Png, "png", "png", "PNG files (*.png)"},
    {ImageFileType::Jpeg, "jpeg", "jpg", "JPEG files (*.jpg *.jpeg)"},
    {ImageFileType::Tiff, "tiff", "tif", "TIFF files (*.tif *.tiff)"},
}};

const FileKind& KindOf(ImageFileType type) {
    for (const FileKind& k : kKinds) {
        if (k.type == type) return k;
    }
    return kKinds[0];
}

std::optional<ImageFileType> TypeOfExtension(const QString& suffix) {
    const QString s = suffix.toLower();
    if (s == "bmp") return ImageFileType::Bmp;
    if (s == "png") return ImageFileType::Png;
    if (s == "jpg" || s == "jpeg") return ImageFileType::Jpeg;
    if (s == "tif" || s == "tiff") return ImageFileType::Tiff;
    return std::nullopt;
}

// The TIFF library writes its warnings and errors to the error stream unless told
// otherwise; Qt's reader does not tell it. A picture it cannot read still fails, and the
// program says why in its own words.
void QuietImageLibraries() {
    static const bool quiet = [] {
        TIFFSetWarningHandler(nullptr);
        TIFFSetErrorHandler(nullptr);
        return true;
    }();
    (void)quiet;
}

bool IsKnownFormat(const QByteArray& format) {
    for (const FileKind& k : kKinds) {
        if (format == k.format) return true;
    }
    return false;
}

// Opens a file named by the bytes of `path` for reading into `file`. Only a regular file is
// opened (a pipe would hold the open, a device never end); `why` says why not.
bool OpenForReading(const std::filesystem::path& path, QFile& file, QString* why) {
    std::string error;
    const int fd = OpenRegularFile(path, O_RDONLY, 0, &error);
    if (fd < 0) {
        if (why) *why = QString::fromStdString(error);
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        if (why) *why = file.errorString();
        return false;
    }
    return true;
}

// A file name's bytes as text for messages; bytes that are not UTF-8 show as U+FFFD.
QString NameText(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.filename().native()));
}

// Bytes per pixel of a decoded picture of the format the reader announces; the widest
// the formats read here decode to when the reader cannot say.
qint64 DecodedBytesPerPixel(QImage::Format format) {
    constexpr qint64 kWidest = 8;
    if (format == QImage::Format_Invalid) return kWidest;
    const int depth = QImage(1, 1, format).depth();
    return depth > 0 ? (depth + kBitsPerByte - 1) / kBitsPerByte : kWidest;
}

// What the checks before decoding found: why the file cannot hold its whole picture, or
// how much of its start holds its metadata (all of it, unless the check found less).
struct FileChecked {
    QString problem;
    qint64 metadataBytes = 0;
};

// Whether the file holds the whole picture its headers announce; a cut-off bitmap or JPEG
// decodes without complaint, its missing part filled in, and a cut-off PNG makes its
// decoder complain on the error stream. A JPEG is followed only through its own segments
// and scans, within `budget` bytes, so a file padded far past its picture costs no more
// than the picture. Read through a file of its own, so the decoder's position is left
// alone.
FileChecked CheckWhole(const std::filesystem::path& path, const QByteArray& format, qint64 budget) {
    FileChecked checked;
    QFile file;
    if (!OpenForReading(path, file, nullptr)) return checked;
    checked.metadataBytes = file.size();
    const QString cutOff = QStringLiteral("the file is cut off");
    if (format == "bmp") {
        const QByteArray head = file.peek(kBitmapHeadBytes);
        const auto length = BitmapLength(
            std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(head.constData()),
                                     static_cast<std::size_t>(head.size())));
        if (length && static_cast<uint64_t>(file.size()) < *length) checked.problem = cutOff;
        return checked;
    }
    if (format != "png" && format != "jpeg") return checked;
    // Mapped, the file costs memory only for the pages read.
    uchar* bytes = file.map(0, file.size());
    if (bytes == nullptr) return checked; // the decoder will still say if it fails
    const std::span<const uint8_t> whole(bytes, static_cast<std::size_t>(file.size()));
    if (format == "png") {
        if (!PngHasEnd(whole)) checked.problem = cutOff;
    } else {
        const JpegExtent extent = FindJpegExtent(whole, static_cast<uint64_t>(budget));
        if (extent.status == JpegExtent::Status::CutOff) checked.problem = cutOff;
        if (extent.status == JpegExtent::Status::OverBudget) {
            checked.problem = QStringLiteral("its picture data runs on past %1 MiB, far more "
                                             "than a picture of its size needs")
                                  .arg(budget / kBytesPerMiB);
        }
        checked.metadataBytes = static_cast<qint64>(extent.metadataEnd);
    }
    file.unmap(bytes);
    return checked;
}

// The camera's EXIF times and orientation in the first `bytes` bytes of the file, read from
// its bytes where they lie.
CameraFacts CameraFactsOf(QFile& file, qint64 bytes) {
    const qint64 length = std::min(bytes, file.size());
    if (length <= 0) return {};
    uchar* mapped = file.map(0, length);
    if (mapped == nullptr) return {};
    CameraFacts facts =
        ReadCameraFacts(std::span<const uint8_t>(mapped, static_cast<std::size_t>(length)));
    file.unmap(mapped);
    return facts;
}

// The picture as the camera meant it to be seen, by its EXIF Orientation: 2 mirrored left to
// right, 3 turned half round, 4 mirrored top to bottom, 5 mirrored about the diagonal from
// the top left, 6 to be turned a quarter clockwise, 7 mirrored about the other diagonal, 8 to
// be turned a quarter counter-clockwise.
QImage AsTheCameraMeant(const QImage& picture, int32_t orientation) {
    constexpr int kQuarter = 90, kHalf = 180, kThreeQuarters = 270;
    const auto turned = [&](int clockwise) {
        return picture.transformed(QTransform().rotate(clockwise));
    };
    switch (orientation) {
    case 2:
        return picture.mirrored(true, false);
    case 3:
        return turned(kHalf);
    case 4:
        return picture.mirrored(false, true);
    case 5:
        return turned(kQuarter).mirrored(true, false);
    case 6:
        return turned(kQuarter);
    case 7:
        return turned(kQuarter).mirrored(false, true);
    case 8:
        return turned(kThreeQuarters);
    default:
        return picture;
    }
}

// A file that starts as every FITS file does, with the SIMPLE card.
bool StartsAsFits(const QByteArray& head) {
    return head.startsWith("SIMPLE  =");
}

constexpr qint64 kSignatureBytes = 12; // enough for the JPEG 2000 and FITS signatures

// The 8-bit grey picture of a 16-bit one: a histogram of the (grey or luminance) values,
// the stretch levels from it, then each pixel through the table. `value(x, line)` reads
// one pixel's 16-bit value from a scan line.
template <typename Value> QImage Stretched(const QImage& wide, Value value, StretchLevels& levels) {
    std::vector<uint64_t> histogram(Levels16, 0);
    const int w = wide.width();
    const int h = wide.height();
    for (int y = 0; y < h; ++y) {
        const uchar* line = wide.constScanLine(y);
        for (int x = 0; x < w; ++x)
            ++histogram[value(x, line)];
    }
    levels = LevelsOfHistogram(std::span<const uint64_t, Levels16>(histogram.data(), Levels16));
    const std::array<uint8_t, Levels16> table = StretchTable(levels);
    QImage grey(w, h, QImage::Format_Grayscale8);
    if (grey.isNull()) return grey;
    for (int y = 0; y < h; ++y) {
        const uchar* line = wide.constScanLine(y);
        uchar* out = grey.scanLine(y);
        for (int x = 0; x < w; ++x)
            out[x] = table[value(x, line)];
    }
    return grey;
}

uint16_t Grey16At(int x, const uchar* line) {
    uint16_t v = 0;
    std::memcpy(&v, line + 2 * x, sizeof v);
    return v;
}

uint16_t Luminance16At(int x, const uchar* line) {
    uint64_t px = 0; // QRgba64: red, green, blue, alpha, 16 bits each from the low end
    std::memcpy(&px, line + 8 * static_cast<std::ptrdiff_t>(x), sizeof px);
    constexpr uint64_t kMask = 0xFFFF;
    return static_cast<uint16_t>(Luminance(static_cast<double>(px & kMask),
                                           static_cast<double>((px >> 16) & kMask),
                                           static_cast<double>((px >> 32) & kMask)));
}

// A grey picture held as 32-bit or palette colour, as 8-bit grey: the same pixel values
// in a quarter of the memory.
QImage GreyBytes(const QImage& picture) {
    QImage grey(picture.width(), picture.height(), QImage::Format_Grayscale8);
    if (grey.isNull()) return grey;
    for (int y = 0; y < picture.height(); ++y) {
        uchar* out = grey.scanLine(y);
        if (picture.format() == QImage::Format_Indexed8) {
            const uchar* line = picture.constScanLine(y);
            const QList<QRgb> table = picture.colorTable();
            for (int x = 0; x < picture.width(); ++x) {
                out[x] = line[x] < table.size() ? static_cast<uchar>(qBlue(table[line[x]])) : 0;
            }
        } else {
            const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            for (int x = 0; x < picture.width(); ++x)
                out[x] = static_cast<uchar>(qBlue(line[x]));
        }
    }
    return grey;
}

// The decoded picture in the two formats the program works with.
std::optional<SolarImage> Normalised(QImage decoded) {
    SolarImage image;
    if (decoded.format() == QImage::Format_Grayscale16) {
        StretchLevels levels;
        image.shown = Stretched(decoded, Grey16At, levels);
        image.stretch = levels;
    } else if (decoded.depth() >= 64) {
        decoded = decoded.convertToFormat(QImage::Format_RGBX64);
        StretchLevels levels;
        image.shown = Stretched(decoded, Luminance16At, levels);
        image.stretch = levels;
    } else if (decoded.format() == QImage::Format_Grayscale8) {
        image.shown = decoded;
    } else {
        if (decoded.format() != QImage::Format_Indexed8) {
            decoded = decoded.convertToFormat(QImage::Format_RGB32);
        }
        image.shown =
            decoded.allGray() ? GreyBytes(decoded) : decoded.convertToFormat(QImage::Format_RGB32);
    }
    if (image.shown.isNull()) return std::nullopt;
    if (image.shown.format() == QImage::Format_RGB32 && IsColourImage(image.shown)) {
        image.searched = ConvertToGrey(image.shown);
        image.convertedToGrey = true;
        if (image.searched.isNull()) return std::nullopt;
    } else {
        image.searched = image.shown;
    }
    return image;
}

} // namespace

int64_t SolarImageBytes(QSize size, QImage::Format decoded) {
    const qint64 pixels =
        static_cast<qint64>(std::max(size.width(), 0)) * std::max(size.height(), 0);
    const qint64 read = DecodedBytesPerPixel(decoded);
    // What Normalised makes of it: an 8-bit grey picture is shown as it is; a 16-bit one
    // is stretched into 8-bit grey (from a 64-bit copy when it is colour); anything else
    // is shown in 32-bit colour with a grey copy for the limb search.
    qint64 kept = 0;
    if (decoded == QImage::Format_Grayscale8) {
        kept = 0;
    } else if (decoded == QImage::Format_Grayscale16) {
        kept = 1;
    } else if (read >= 8) {
        kept = 8 + 1;
    } else {
        constexpr qint64 kColourAndGrey = 4 + 1;
        kept = kColourAndGrey;
    }
    return pixels * (read + kept + SolarImageCanvasBytesPerPixel);
}

int64_t PictureSearchBytes(const std::filesystem::path& path) {
    // Measured: a 10000-pixel grey picture peaks at 2.4 bytes a pixel in the search, of
    // which one is its pixels.
    constexpr int64_t kSearchBytesPerPixel = 2;
    // A side is counted to 2^24 pixels at most, so that a header's absurd size makes a need
    // larger than any budget without overflowing (no such picture is opened anyway).
    constexpr int64_t kLongestSide = int64_t{1} << 24;
    const auto pixelsOf = [&](int64_t width, int64_t height) {
        return std::clamp<int64_t>(width, 0, kLongestSide) *
               std::clamp<int64_t>(height, 0, kLongestSide);
    };
    // Only a regular file is looked into: a pipe would hold the look.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return 0;
    if (IsFitsFileName(path.filename().native())) {
        const std::optional<DeclaredImage> image = DeclaredImageOf(path.string());
        if (!image) return 0;
        // The values of each plane as floats, the 8-bit picture (32-bit for colour) and
        // its grey copy.
        constexpr int64_t kValueBytes = 4;
        constexpr int64_t kColourPlanes = 3;
        const int64_t pixels = pixelsOf(image->width, image->height);
        const int64_t shown = image->planes == kColourPlanes ? 4 + 1 : 1;
        return pixels * (kValueBytes * std::clamp<int64_t>(image->planes, 1, kColourPlanes) +
                         shown + kSearchBytesPerPixel);
    }
    QFile file;
    if (!OpenForReading(path, file, nullptr)) return 0;
    // A JPEG 2000 picture: the decoder's values (4 bytes a component), the decoded picture (8
    // or 16 bits a component, grey or 32- or 64-bit colour) and the 8-bit picture shown with
    // its grey copy.
    constexpr qint64 kJp2HeaderBytes = qint64{1} << 16;
    const QByteArray head = file.read(kJp2HeaderBytes);
    const std::span<const uint8_t> headBytes(reinterpret_cast<const uint8_t*>(head.constData()),
                                             static_cast<std::size_t>(head.size()));
    if (const std::optional<Jpeg2000Size> jp2 = Jpeg2000SizeOf(headBytes)) {
        constexpr int64_t kDecoderBytes = 4, kDeepBits = 8, kColourComponents = 3;
        const bool colour = jp2->components >= kColourComponents;
        const int64_t components = std::min<int64_t>(jp2->components, kColourComponents + 1);
        const int64_t decoded = (jp2->bits > kDeepBits ? 2 : 1) * (colour ? 4 : 1);
        const int64_t shown = colour ? 4 + 1 : 1;
        return pixelsOf(jp2->width, jp2->height) *
               (kDecoderBytes * components + decoded + shown + kSearchBytesPerPixel);
    }
    file.seek(0);
    QImageReader reader(&file);
    const QSize size = reader.size();
    if (!size.isValid()) return 0;
    const int64_t pixels = static_cast<int64_t>(std::abs(size.width())) * std::abs(size.height());
    const int64_t canvases = pixels * SolarImageCanvasBytesPerPixel;
    return SolarImageBytes(QSize(std::abs(size.width()), std::abs(size.height())),
                           reader.imageFormat()) -
           canvases + pixels * kSearchBytesPerPixel;
}

PixelGrid GridOf(const QImage& picture) {
    switch (picture.format()) {
    case QImage::Format_Grayscale8:
        return PixelGrid(picture.constBits(), picture.width(), picture.height(),
                         picture.bytesPerLine(), PixelLayout::Grey8);
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        return PixelGrid(picture.constBits(), picture.width(), picture.height(),
                         picture.bytesPerLine(), PixelLayout::Xrgb32);
    default:
        return PixelGrid();
    }
}

SolarImageLoad LoadSolarImage(const QString& path) {
    return LoadSolarImage(std::filesystem::path(QFile::encodeName(path).toStdString()));
}

SolarImageLoad LoadSolarImage(const std::filesystem::path& path) {
    QuietImageLibraries();
    auto refuse = [&](const QString& why) {
        return SolarImageLoad{std::nullopt,
                              QStringLiteral("Cannot open \"%1\": %2.").arg(NameText(path), why)};
    };
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) {
        const std::string why = WhyUnreachable(path);
        return refuse(QString::fromStdString(why.empty() ? "it cannot be reached" : why));
    }
    if (std::filesystem::is_directory(status)) return refuse("it is a folder, not a file");
    QFile file;
    if (QString why; !OpenForReading(path, file, &why)) {
        return refuse("the file cannot be read (" + why + ")");
    }
    if (file.size() == 0) return refuse("the file is empty");
    const QByteArray head = file.peek(kSignatureBytes);
    if (IsJpeg2000(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(head.constData()),
                                            static_cast<std::size_t>(head.size())))) {
        uchar* bytes = file.map(0, file.size());
        if (bytes == nullptr) return refuse("the file cannot be read (" + file.errorString() + ")");
        Jp2Decoded jp2 = DecodeJpeg2000Picture(
            std::span<const uint8_t>(bytes, static_cast<std::size_t>(file.size())));
        file.unmap(bytes);
        if (jp2.picture.isNull()) return refuse(jp2.error);
        std::optional<SolarImage> image = Normalised(std::move(jp2.picture));
        if (!image) return refuse("there is not enough memory for the picture");
        image->format = jp2.format;
        if (jp2.header) {
            image->fits = FitsInfo{};
            image->fits->keywords = std::move(*jp2.header);
        }
        image->notes = std::move(jp2.notes);
        return {std::move(image), QString()};
    }
    if (IsFitsFileName(path.filename().native()) || StartsAsFits(head)) {
        FitsDecoded fits = DecodeFitsPicture(path);
        if (!fits.info) return refuse(fits.error);
        std::optional<SolarImage> image = Normalised(std::move(fits.picture));
        if (!image) return refuse("there is not enough memory for the picture");
        image->format = "fits";
        image->fits = std::move(fits.info);
        return {std::move(image), QString()};
    }
    QImageReader reader(&file);
    reader.setAllocationLimit(SolarImageAllocationLimitMiB);
    const QByteArray format = reader.format();
    if (!IsKnownFormat(format)) {
        return refuse("it is not a BMP, PNG, JPEG, JPEG 2000, TIFF or FITS picture");
    }
    // A bitmap stored from its top row down states a negative height.
    const auto side = [](int v) { return v == std::numeric_limits<int>::min() ? -1 : std::abs(v); };
    QSize size = reader.size();
    if (format == "bmp") size = QSize(side(size.width()), side(size.height()));
    if (!size.isValid()) return refuse("the file is cut off or damaged");
    if (size.isEmpty()) return refuse("the picture has no pixels");
    if (size.width() > SolarImageLargestSide || size.height() > SolarImageLargestSide) {
        return refuse(QStringLiteral("the picture is %1 x %2 pixels; at most %3 pixels a side "
                                     "can be opened")
                          .arg(size.width())
                          .arg(size.height())
                          .arg(SolarImageLargestSide));
    }
    if (SolarImageBytes(size, reader.imageFormat()) > SolarImageAllocationLimitMiB * kBytesPerMiB) {
        return refuse(QStringLiteral("the picture would need more than %1 MiB of memory")
                          .arg(SolarImageAllocationLimitMiB));
    }
    // A compressed picture's data is not longer than several times what it decodes to, and
    // never more than the decoding may take.
    constexpr qint64 kCodedPerDecoded = 8;
    constexpr qint64 kLeastCodedBudget = 16 * kBytesPerMiB;
    const qint64 budget =
        std::min(SolarImageAllocationLimitMiB * kBytesPerMiB,
                 std::max(kLeastCodedBudget, kCodedPerDecoded * static_cast<qint64>(SolarImageBytes(
                                                                    size, reader.imageFormat()))));
    const FileChecked checked = CheckWhole(path, format, budget);
    if (!checked.problem.isEmpty()) return refuse(checked.problem);
    QImage decoded = reader.read();
    if (decoded.isNull()) {
        return refuse("the file is cut off or damaged (" + reader.errorString() + ")");
    }
    CameraFacts camera;
    if (format != "bmp") camera = CameraFactsOf(file, checked.metadataBytes);
    if (camera.orientation > 1) {
        decoded = AsTheCameraMeant(decoded, camera.orientation);
        if (decoded.isNull()) return refuse("there is not enough memory for the picture");
    }
    std::optional<SolarImage> image = Normalised(std::move(decoded));
    if (!image) return refuse("there is not enough memory for the picture");
    image->format = format;
    image->camera = std::move(camera.times);
    if (camera.orientation > 1) image->exifOrientation = camera.orientation;
    return {std::move(image), QString()};
}

PictureLoad OpenPictureFile(const QString& path, const PictureChoices& choices) {
    return OpenPictureFile(std::filesystem::path(QFile::encodeName(path).toStdString()), choices);
}

PictureLoad OpenPictureFile(const std::filesystem::path& path, const PictureChoices& choices) {
    SolarImageLoad load = LoadSolarImage(path);
    if (!load.image) return {std::nullopt, load.error};
    LoadedPicture opened{std::move(*load.image), {}};
    PictureFile file;
    file.name = path.filename().string();
    file.width = opened.image.shown.width();
    file.height = opened.image.shown.height();
    if (opened.image.fits) file.fits = opened.image.fits->keywords;
    file.camera = opened.image.camera;
    file.exifOrientation = opened.image.exifOrientation;
    file.notes = opened.image.notes;
    file.searched = GridOf(opened.image.searched);
    opened.context = OpenPicture(file, choices);
    return {std::move(opened), {}};
}

PictureImages HeldImages(const SolarImage& image) {
    const auto hold = [](const QImage& picture) {
        auto held = std::make_shared<const QImage>(picture);
        return HeldPixels{held, GridOf(*held)};
    };
    return {hold(image.shown), hold(image.searched)};
}

const QImage& ShownImage(const PictureImages& images) {
    static const QImage none;
    if (images.shown.Empty()) return none;
    return *std::static_pointer_cast<const QImage>(images.shown.holder);
}

LimbFit FindSolarLimb(const SolarImage& image) {
    return FindLimb(GridOf(image.searched));
}

bool IsColourImage(const QImage& picture) {
    return IsColourImage(GridOf(picture));
}

QImage ConvertToGrey(const QImage& picture) {
    const QImage colour = picture.format() == QImage::Format_RGB32
                              ? picture
                              : picture.convertToFormat(QImage::Format_RGB32);
    QImage grey(colour.width(), colour.height(), QImage::Format_Grayscale8);
    if (grey.isNull()) return grey;
    for (int y = 0; y < colour.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(colour.constScanLine(y));
        uchar* out = grey.scanLine(y);
        for (int x = 0; x < colour.width(); ++x) {
            out[x] = static_cast<uchar>(GreyLevel(qRed(line[x]), qGreen(line[x]), qBlue(line[x])));
        }
    }
    return grey;
}

std::optional<ImageFileType> ImageTypeOfName(const QString& name) {
    return TypeOfExtension(QFileInfo(name).suffix());
}

QString OpenImageFilter() {
    QString filter = QStringLiteral("Solar images (*.bmp *.png *.jpg *.jpeg *.tif *.tiff %1 %2)")
                         .arg(Jpeg2000DialogPatterns, FitsDialogPatterns);
    for (const FileKind& k : kKinds)
        filter += QStringLiteral(";;") + k.filter;
    return filter + QStringLiteral(";;JPEG 2000 files (%1);;FITS files (%2)")
                        .arg(Jpeg2000DialogPatterns, FitsDialogPatterns);
}

QString SaveImageFilter() {
    QStringList filters;
    for (const FileKind& k : kKinds)
        filters << k.filter;
    return filters.join(";;");
}

SaveTarget ResolveSaveTarget(const QString& chosenPath, const QString& selectedFilter) {
    const QFileInfo info(chosenPath);
    if (const auto byName = TypeOfExtension(info.suffix())) return {chosenPath, *byName};
    ImageFileType type = ImageFileType::Bmp;
    for (const FileKind& k : kKinds) {
        if (selectedFilter == k.filter) type = k.type;
    }
    if (!info.suffix().isEmpty()) return {chosenPath, type};
    QString path = chosenPath;
    if (!path.endsWith('.')) path += '.';
    return {path + KindOf(type).extension, type};
}

bool SaveSolarImage(const QImage& picture, const SaveTarget& target, QString* error) {
    return SaveSolarImage(picture,
                          std::filesystem::path(QFile::encodeName(target.path).toStdString()),
                          target.type, error);
}

bool SaveSolarImage(const QImage& picture, const std::filesystem::path& path, ImageFileType type,
                    QString* error) {
    QuietImageLibraries();
    const QString name = NameText(path);
    auto fail = [&](const QString& why) {
        if (error) *error = QStringLiteral("Cannot save \"%1\": %2.").arg(name, why);
        return false;
    };
    if (picture.isNull()) return fail("there is no picture");
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, KindOf(type).format);
    if (type == ImageFileType::Jpeg) writer.setQuality(kJpegQuality);
    // A bitmap is written with 24 bits a pixel, whatever the picture holds.
    const QImage written =
        type == ImageFileType::Bmp ? picture.convertToFormat(QImage::Format_RGB32) : picture;
    if (!writer.write(written)) return fail(writer.errorString());
    std::string why;
    if (!WriteFileAtomically(
            path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
            &why)) {
        return fail(QString::fromStdString(why));
    }
    return true;
}

} // namespace zorva
