#pragma once

#include <QImage>
#include <QString>
#include <filesystem>
#include <optional>

#include "core/images/fits_header.h"

namespace zorva {

// The extensions of FITS files in the open dialog's filters.
inline constexpr const char* FitsDialogPatterns = "*.fits *.fit *.fts *.fits.gz *.fz";

// The picture of a FITS file before it becomes a solar image: 8-bit grey through the
// stretch of its finite values, or 32-bit colour for a file of three planes (each colour
// through the levels of the brightness). Blank pixels are black.
struct FitsDecoded {
    QImage picture;
    std::optional<FitsInfo> info;
    QString error; // when there is no picture: the reason
};
FitsDecoded DecodeFitsPicture(const std::filesystem::path& path);

} // namespace zorva
