#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zorva {

// What a file given to the window (dropped on it, or chosen from Open Recent) is.
enum class FileKind { Picture, Summary, Logfile, Unknown };

struct FileKindGuess {
    FileKind kind = FileKind::Unknown;
    std::string why; // for Unknown: what the file is instead, or why it cannot be looked at
};

// The kind by the file's first bytes: a logfile starts with its column header or a
// measurement line, a Solar Region Summary has its ":Product" line near the top, and a
// picture starts as a BMP, PNG, JPEG, TIFF, FITS or gzip file does. Failing those, a
// picture's name ending (.bmp, .png, .jpg, .jpeg, .tif, .tiff, .fits, .fit, .fts, .fz,
// .gz) names a picture, whose opening then says what is wrong with it.
FileKindGuess KindOfFile(const std::filesystem::path& path);
// The same from the first bytes of a file and its name.
FileKindGuess KindOfBytes(std::string_view head, std::string_view name);

} // namespace zorva
