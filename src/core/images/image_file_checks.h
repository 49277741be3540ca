#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace zorva {

// Checks that an image file holds all of its picture before it is decoded: some decoders
// fill the missing part of a cut-off file with grey and report success.

// Bytes a Windows bitmap needs, from its headers (the first bytes of the file): where the
// pixels start plus the padded rows, or for a compressed bitmap plus the data size its
// header states. Nothing when the headers are too short or a compressed bitmap states no
// size.
std::optional<uint64_t> BitmapLength(std::span<const uint8_t> head);

// How far a JPEG file's picture reaches, found by following its segments by the lengths
// they state and each scan's coded data to the marker that closes it, so that only the
// picture's own bytes are read, however much follows its end-of-image marker (a thumbnail's
// end marker lies inside a segment, and is passed over with it).
struct JpegExtent {
    enum class Status {
        Complete,   // an end-of-image marker closes the picture after its scans
        CutOff,     // the file ends first, or holds no scan
        OverBudget, // the picture runs on past `budget` bytes before its end
    };
    Status status = Status::CutOff;
    uint64_t metadataEnd = 0; // where the first scan's coded data begins: the metadata lies before
    uint64_t end = 0;         // just after the end-of-image marker
};
JpegExtent FindJpegExtent(std::span<const uint8_t> file, uint64_t budget);

// Whether a JPEG file's picture is closed by its end-of-image marker (FindJpegExtent with no
// budget but the file's length).
bool JpegHasEnd(std::span<const uint8_t> file);

// Whether a PNG file holds its chunks whole up to the closing IEND chunk, followed from
// the signature by their lengths. Bytes after IEND belong to no chunk and do not count.
bool PngHasEnd(std::span<const uint8_t> file);

} // namespace zorva
