#include "render/fits_image.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "fits/fits_file.h"
#include "render/solar_image.h"

namespace zorva {

namespace {

constexpr int64_t kBytesPerMiB = 1024 * 1024;

QImage GreyPicture(const FitsPicture& pic) {
    QImage grey(pic.width, pic.height, QImage::Format_Grayscale8);
    if (grey.isNull()) return grey;
    const std::span<const float> values = pic.Plane(0);
    const auto w = static_cast<std::size_t>(pic.width);
    for (int y = 0; y < pic.height; ++y)
        StretchRow(values.subspan(static_cast<std::size_t>(y) * w, w), pic.info.levels,
                   grey.scanLine(y));
    return grey;
}

// The grey picture in the memory of the values themselves, which the picture then owns:
// row y of 8-bit levels, on a 4-byte boundary, ends before row y of the values begins
// once the rows are at least two pixels wide, so each row is written over values already
// used. The first row, which lies over its own values, is taken from a copy. The memory
// is then cut to the picture's size.
QImage GreyPictureInPlace(FitsPicture& pic) {
    const auto w = static_cast<std::size_t>(pic.width);
    const auto h = static_cast<std::size_t>(pic.height);
    constexpr std::size_t kLineAlignment = 4;
    const std::size_t stride = (w + kLineAlignment - 1) / kLineAlignment * kLineAlignment;
    if (w < 2) return GreyPicture(pic);
    const float* values = pic.values.data();
    auto* bytes = reinterpret_cast<uint8_t*>(pic.values.data());
    const std::vector<float> firstRow(values, values + w);
    for (std::size_t y = 0; y < h; ++y) {
        const std::span<const float> row =
            y == 0 ? std::span<const float>(firstRow) : std::span<const float>(values + y * w, w);
        uint8_t* line = bytes + y * stride;
        StretchRow(row, pic.info.levels, line);
        std::memset(line + w, 0, stride - w);
    }
    float* memory = pic.values.Release();
    void* picture = std::realloc(memory, h * stride);
    if (picture == nullptr) picture = memory;
    QImage grey(
        static_cast<uchar*>(picture), pic.width, pic.height, static_cast<qsizetype>(stride),
        QImage::Format_Grayscale8, [](void* p) { std::free(p); }, picture);
    if (grey.isNull()) std::free(picture);
    return grey;
}

QImage ColourPicture(const FitsPicture& pic) {
    QImage colour(pic.width, pic.height, QImage::Format_RGB32);
    if (colour.isNull()) return colour;
    const auto w = static_cast<std::size_t>(pic.width);
    std::vector<uint8_t> red(w);
    std::vector<uint8_t> green(w);
    std::vector<uint8_t> blue(w);
    for (int y = 0; y < pic.height; ++y) {
        const std::size_t at = static_cast<std::size_t>(y) * w;
        StretchRow(pic.Plane(0).subspan(at, w), pic.info.levels, red.data());
        StretchRow(pic.Plane(1).subspan(at, w), pic.info.levels, green.data());
        StretchRow(pic.Plane(2).subspan(at, w), pic.info.levels, blue.data());
        auto* line = reinterpret_cast<QRgb*>(colour.scanLine(y));
        for (std::size_t x = 0; x < w; ++x)
            line[x] = qRgb(red[x], green[x], blue[x]);
    }
    return colour;
}

} // namespace

FitsDecoded DecodeFitsPicture(const std::filesystem::path& path) {
    // Beside its values a grey picture keeps one byte a pixel, written over them, and the
    // canvases its overlays are painted on.
    constexpr int64_t kShownBytesPerPixel = 1 + SolarImageCanvasBytesPerPixel;
    const FitsLimits limits{SolarImageLargestSide, SolarImageAllocationLimitMiB * kBytesPerMiB,
                            kShownBytesPerPixel};
    FitsRead read = ReadFitsFile(path.native(), limits);
    if (!read.picture) return {QImage(), std::nullopt, QString::fromStdString(read.error)};
    FitsPicture& pic = *read.picture;
    QImage picture = pic.info.colour ? ColourPicture(pic) : GreyPictureInPlace(pic);
    if (picture.isNull()) {
        return {QImage(), std::nullopt,
                QStringLiteral("there is not enough memory for the picture")};
    }
    return {std::move(picture), std::move(read.picture->info), QString()};
}

} // namespace zorva
