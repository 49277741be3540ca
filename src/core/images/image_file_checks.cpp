#include "core/images/image_file_checks.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace zorva {

namespace {

// Windows bitmap: "BM", the pixel data offset at byte 10, the size of the information
// header at 14; the old 12-byte header holds 16-bit sizes, the later ones 32-bit sizes and
// a compression code.
constexpr std::size_t kPixelOffsetAt = 10;
constexpr std::size_t kInfoSizeAt = 14;
constexpr std::size_t kSizesAt = 18;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kUncompressed = 0;
constexpr uint32_t kBitFields = 3;
constexpr uint32_t kAlphaBitFields = 6;
constexpr uint64_t kRowAlignBits = 32;
constexpr uint64_t kBitsPerByte = 8;
// Larger sizes than these are no picture anyone can open; refusing them keeps the
// arithmetic far from overflow.
constexpr uint64_t kLargestSide = uint64_t{1} << 24;
constexpr uint64_t kLargestBitsPerPixel = 64;

constexpr uint8_t kMarker = 0xFF;
constexpr uint8_t kStartOfScan = 0xDA;
constexpr uint8_t kEndOfImage = 0xD9;
constexpr uint8_t kStartOfImage = 0xD8;
constexpr uint8_t kFirstRestart = 0xD0;
constexpr uint8_t kLastRestart = 0xD7;
constexpr uint8_t kTemporary = 0x01;

uint32_t Le16(std::span<const uint8_t> b, std::size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8);
}
uint32_t Le32(std::span<const uint8_t> b, std::size_t at) {
    return Le16(b, at) | (Le16(b, at + 2) << 16);
}
uint32_t Be32(std::span<const uint8_t> b, std::size_t at) {
    return (static_cast<uint32_t>(b[at]) << 24) | (static_cast<uint32_t>(b[at + 1]) << 16) |
           (static_cast<uint32_t>(b[at + 2]) << 8) | static_cast<uint32_t>(b[at + 3]);
}

} // namespace

std::optional<uint64_t> BitmapLength(std::span<const uint8_t> head) {
    if (head.size() < kInfoSizeAt + 4 || head[0] != 'B' || head[1] != 'M') return std::nullopt;
    const uint64_t offset = Le32(head, kPixelOffsetAt);
    const uint32_t infoSize = Le32(head, kInfoSizeAt);
    uint64_t width = 0;
    uint64_t height = 0;
    uint64_t bits = 0;
    if (infoSize == kCoreHeaderSize) {
        if (head.size() < kSizesAt + 8) return std::nullopt;
        width = Le16(head, kSizesAt);
        height = Le16(head, kSizesAt + 2);
        bits = Le16(head, kSizesAt + 6);
    } else if (infoSize >= kInfoHeaderSize) {
        if (head.size() < kSizesAt + 20) return std::nullopt;
        // Sizes are signed; a negative height marks rows stored from the top.
        width = static_cast<uint64_t>(std::llabs(static_cast<int32_t>(Le32(head, kSizesAt))));
        height = static_cast<uint64_t>(std::llabs(static_cast<int32_t>(Le32(head, kSizesAt + 4))));
        bits = Le16(head, kSizesAt + 10);
        const uint32_t compression = Le32(head, kSizesAt + 12);
        if (compression != kUncompressed && compression != kBitFields &&
            compression != kAlphaBitFields) {
            // A compressed bitmap states the size of its pixel data instead.
            const uint64_t dataSize = Le32(head, kSizesAt + 16);
            if (dataSize == 0) return std::nullopt;
            return offset + dataSize;
        }
    } else {
        return std::nullopt;
    }
    if (width > kLargestSide || height > kLargestSide || bits > kLargestBitsPerPixel) {
        return std::nullopt;
    }
    const uint64_t rowBytes =
        (width * bits + kRowAlignBits - 1) / kRowAlignBits * (kRowAlignBits / kBitsPerByte);
    return offset + rowBytes * height;
}

JpegExtent FindJpegExtent(std::span<const uint8_t> file, uint64_t budget) {
    JpegExtent extent;
    const uint64_t size = file.size();
    const uint64_t within = std::min(size, budget);
    if (size < 2 || file[0] != kMarker || file[1] != kStartOfImage) return extent;
    bool scanned = false;
    uint64_t at = 2;
    while (true) {
        // The next marker: fill bytes of 0xFF may stand before its code, and bytes that
        // belong to no segment are passed over as decoders pass them.
        while (at < within && file[at] != kMarker)
            ++at;
        while (at + 1 < within && file[at + 1] == kMarker)
            ++at;
        if (at + 1 >= within) break;
        const uint8_t code = file[at + 1];
        at += 2;
        if (code == kEndOfImage) {
            if (!scanned) return extent;
            extent.status = JpegExtent::Status::Complete;
            extent.end = at;
            return extent;
        }
        if ((code >= kFirstRestart && code <= kLastRestart) || code == kTemporary) continue;
        if (at + 2 > within) break;
        const uint64_t length = (static_cast<uint64_t>(file[at]) << 8) | file[at + 1];
        if (length < 2) return extent; // a segment's length counts its own two bytes
        at += length;
        if (code != kStartOfScan) continue;
        // The coded data runs to the next marker that is no stuffed 0xFF (0xFF 0x00) and no
        // restart marker.
        if (!scanned) extent.metadataEnd = std::min(at, size);
        scanned = true;
        for (; at + 1 < within; ++at) {
            if (file[at] != kMarker) continue;
            const uint8_t next = file[at + 1];
            if (next != 0 && !(next >= kFirstRestart && next <= kLastRestart)) break;
        }
    }
    // Stopped by the budget while the file went on, or by the file's end.
    extent.status =
        within < size && at < size ? JpegExtent::Status::OverBudget : JpegExtent::Status::CutOff;
    return extent;
}

bool JpegHasEnd(std::span<const uint8_t> file) {
    return FindJpegExtent(file, file.size()).status == JpegExtent::Status::Complete;
}

bool PngHasEnd(std::span<const uint8_t> file) {
    constexpr std::string_view kSignature = "\x89PNG\r\n\x1a\n";
    constexpr std::string_view kEndChunk = "IEND";
    constexpr uint64_t kLengthTypeAndCheck = 12; // besides its data, a chunk has these bytes
    const std::string_view bytes(reinterpret_cast<const char*>(file.data()), file.size());
    if (!bytes.starts_with(kSignature)) return false;
    uint64_t at = kSignature.size();
    while (at + kLengthTypeAndCheck <= bytes.size()) {
        const uint64_t length = Be32(file, at);
        if (bytes.substr(at + 4, kEndChunk.size()) == kEndChunk) return true;
        at += kLengthTypeAndCheck + length;
    }
    return false;
}

} // namespace zorva
