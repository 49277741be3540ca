#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/images/fits_header.h"

namespace zorva {

// The extensions of JPEG 2000 files in the open dialog's filters.
inline constexpr const char* Jpeg2000DialogPatterns = "*.jp2 *.j2k *.j2c *.jpf";

// Whether a file's first bytes are those of a JPEG 2000 file (a JP2 file or a bare
// codestream).
bool IsJpeg2000(std::span<const uint8_t> head);

// The picture of a JPEG 2000 file before it becomes a solar image: 8-bit grey, 16-bit grey
// for deeper values, or colour (32-bit, 64-bit for deeper values), and the FITS header its
// XML box holds, with what was passed over in reading it.
struct Jp2Decoded {
    QImage picture;
    QByteArray format; // "jp2" or "j2k"
    std::optional<FitsKeywords> header;
    std::vector<std::string> notes;
    QString error; // when there is no picture: the reason
};
Jp2Decoded DecodeJpeg2000Picture(std::span<const uint8_t> bytes);

} // namespace zorva
