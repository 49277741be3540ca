#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "core/images/camera_time.h"

namespace zorva {

// The times a camera wrote into a picture file (JPEG, TIFF, PNG and the other kinds Exiv2
// reads), given the file's bytes: DateTimeOriginal, SubSecTimeOriginal and
// OffsetTimeOriginal, as text. Nothing when the file holds none of them, or is of a kind
// that holds no EXIF data. Metadata that cannot be read comes back with `error` saying
// why; nothing is thrown.
std::optional<CameraTimes> ReadCameraTimes(std::span<const uint8_t> file);

// What a camera wrote of its picture: the times above, and how the picture is to be turned
// or mirrored to be seen as the camera meant it (EXIF Orientation 1..8; 0 when the file
// gives none or a value outside them).
struct CameraFacts {
    std::optional<CameraTimes> times;
    int32_t orientation = 0;
};
CameraFacts ReadCameraFacts(std::span<const uint8_t> file);

} // namespace zorva
