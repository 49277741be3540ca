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

// Whether a JPEG file's last scan is closed by its end-of-image marker. A file cut off
// inside the picture data has none after its last start-of-scan marker (a thumbnail's
// end marker lies before the main picture's scan).
bool JpegHasEnd(std::span<const uint8_t> file);

// Whether a PNG file holds its chunks whole up to the closing IEND chunk, followed from
// the signature by their lengths. Bytes after IEND belong to no chunk and do not count.
bool PngHasEnd(std::span<const uint8_t> file);

} // namespace zorva
