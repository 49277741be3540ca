#include "render/fits_image.h"

#include <QFile>
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

FitsDecoded DecodeFitsPicture(const QString& path) {
    const FitsLimits limits{SolarImageLargestSide, SolarImageAllocationLimitMiB * kBytesPerMiB};
    FitsRead read = ReadFitsFile(QFile::encodeName(path).toStdString(), limits);
    if (!read.picture) return {QImage(), std::nullopt, QString::fromStdString(read.error)};
    const FitsPicture& pic = *read.picture;
    QImage picture = pic.info.colour ? ColourPicture(pic) : GreyPicture(pic);
    if (picture.isNull()) {
        return {QImage(), std::nullopt,
                QStringLiteral("there is not enough memory for the picture")};
    }
    return {std::move(picture), std::move(read.picture->info), QString()};
}

} // namespace zorva
