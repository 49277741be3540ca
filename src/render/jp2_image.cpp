#include "render/jp2_image.h"

#include <algorithm>

#include "core/images/jp2_header.h"
#include "jp2/jp2_file.h"
#include "render/solar_image.h"

namespace zorva {

namespace {

constexpr int kByteBits = 8;
constexpr int kWideBits = 16;

// Values of `bits` bits into 8 or 16: deeper ones lose their lowest bits.
int32_t Narrowed(int32_t v, int32_t offset, int shift) {
    return (v + offset) >> shift;
}

QImage GreyPicture(const Jp2Picture& pic) {
    const bool wide = pic.bits() > kByteBits;
    QImage out(pic.width(), pic.height(),
               wide ? QImage::Format_Grayscale16 : QImage::Format_Grayscale8);
    if (out.isNull()) return out;
    const int shift = std::max(0, pic.bits() - (wide ? kWideBits : kByteBits));
    const int32_t top = (1 << std::min(pic.bits(), wide ? kWideBits : kByteBits)) - 1;
    const int32_t offset = pic.offset();
    for (int y = 0; y < pic.height(); ++y) {
        const std::span<const int32_t> row = pic.Row(0, y);
        if (wide) {
            auto* line = reinterpret_cast<uint16_t*>(out.scanLine(y));
            for (std::size_t x = 0; x < row.size(); ++x)
                line[x] =
                    static_cast<uint16_t>(std::clamp(Narrowed(row[x], offset, shift), 0, top));
        } else {
            uchar* line = out.scanLine(y);
            for (std::size_t x = 0; x < row.size(); ++x)
                line[x] = static_cast<uchar>(std::clamp(Narrowed(row[x], offset, shift), 0, top));
        }
    }
    return out;
}

// Colour values of up to 8 bits are shown as they are; deeper ones are spread over 16 bits.
QImage ColourPicture(const Jp2Picture& pic) {
    const bool wide = pic.bits() > kByteBits;
    QImage out(pic.width(), pic.height(), wide ? QImage::Format_RGBX64 : QImage::Format_RGB32);
    if (out.isNull()) return out;
    const int target = wide ? kWideBits : kByteBits;
    const int down = std::max(0, pic.bits() - target);
    const int up = std::max(0, target - pic.bits());
    const int32_t top = (1 << target) - 1;
    const int32_t offset = pic.offset();
    const auto level = [&](int32_t v) {
        return std::clamp(Narrowed(v, offset, down) << up, 0, top);
    };
    for (int y = 0; y < pic.height(); ++y) {
        const std::span<const int32_t> r = pic.Row(0, y);
        const std::span<const int32_t> g = pic.Row(1, y);
        const std::span<const int32_t> b = pic.Row(2, y);
        if (wide) {
            auto* line = reinterpret_cast<QRgba64*>(out.scanLine(y));
            for (std::size_t x = 0; x < r.size(); ++x)
                line[x] =
                    qRgba64(static_cast<quint16>(level(r[x])), static_cast<quint16>(level(g[x])),
                            static_cast<quint16>(level(b[x])), 0xFFFF);
        } else {
            auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (std::size_t x = 0; x < r.size(); ++x)
                line[x] = qRgb(level(r[x]), level(g[x]), level(b[x]));
        }
    }
    return out;
}

} // namespace

bool IsJpeg2000(std::span<const uint8_t> head) {
    return Jpeg2000KindOf(head) != Jpeg2000Kind::None;
}

Jp2Decoded DecodeJpeg2000Picture(std::span<const uint8_t> bytes) {
    Jp2Decoded out;
    const Jpeg2000Kind kind = Jpeg2000KindOf(bytes);
    out.format = kind == Jpeg2000Kind::Jp2 ? "jp2" : "j2k";
    // Beside the decoded values the program keeps the picture shown, a grey copy or the
    // 16-bit picture before it is stretched, and the canvases its overlays are painted on.
    constexpr int64_t kKeptBytesPerPixel = 8 + 1 + SolarImageCanvasBytesPerPixel;
    constexpr int64_t kBytesPerMiB = 1024 * 1024;
    const Jp2Limits limits{SolarImageLargestSide, SolarImageAllocationLimitMiB * kBytesPerMiB,
                           kKeptBytesPerPixel};
    Jp2Read read = ReadJp2Memory(bytes, limits);
    if (!read.picture) {
        out.error = QString::fromStdString(read.error);
        return out;
    }
    out.picture =
        read.picture->planes() == 1 ? GreyPicture(*read.picture) : ColourPicture(*read.picture);
    if (out.picture.isNull()) {
        out.error = QStringLiteral("there is not enough memory for the picture");
        return out;
    }
    if (kind == Jpeg2000Kind::Jp2) {
        XmlFitsHeader header = Jp2FitsHeader(bytes);
        if (header.found) out.header = std::move(header.keywords);
        out.notes = std::move(header.notes);
    }
    return out;
}

} // namespace zorva
