#include "core/session/file_kind.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "core/common/regular_file.h"
#include "core/logfile/logfile.h"
#include "core/logfile/logfile_record.h"
#include "core/text/escape.h"

namespace zorva {

namespace {

// Enough of the start of a file to see its kind: a summary's ":Product" line is its first.
constexpr std::size_t kHeadBytes = 4096;

constexpr std::array<std::string_view, 7> kPictureMagic = {
    "BM",                         // BMP
    "\x89PNG\r\n\x1a\n",          // PNG
    "\xff\xd8\xff",               // JPEG
    std::string_view("II*\0", 4), // TIFF, little-endian
    std::string_view("MM\0*", 4), // TIFF, big-endian
    "SIMPLE  =",                  // FITS
    "\x1f\x8b",                   // gzip (a packed FITS file)
};
constexpr std::array<std::string_view, 11> kPictureEndings = {
    ".bmp", ".png", ".jpg", ".jpeg", ".tif", ".tiff", ".fits", ".fit", ".fts", ".fz", ".gz"};

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return out;
}

std::string_view FirstLine(std::string_view text) {
    std::string_view line = text.substr(0, text.find('\n'));
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.remove_suffix(1);
    return line;
}

} // namespace

FileKindGuess KindOfBytes(std::string_view head, std::string_view name) {
    head = WithoutByteOrderMark(head);
    const std::string_view first = FirstLine(head);
    if (first == LogfileHeader() || ReadLogfileLine(first).record) return {FileKind::Logfile, {}};
    // A summary's first lines are its product line and the time it was issued.
    for (std::size_t at = 0; at < head.size();) {
        if (head.substr(at).starts_with(":Product")) return {FileKind::Summary, {}};
        const std::size_t next = head.find('\n', at);
        if (next == std::string_view::npos) break;
        at = next + 1;
    }
    for (const std::string_view magic : kPictureMagic) {
        if (head.starts_with(magic)) return {FileKind::Picture, {}};
    }
    const std::string lower = Lower(name);
    for (const std::string_view ending : kPictureEndings) {
        if (lower.ends_with(ending)) return {FileKind::Picture, {}};
    }
    return {FileKind::Unknown, "it is neither a picture, a Solar Region Summary nor a logfile"};
}

FileKindGuess KindOfFile(const std::filesystem::path& path) {
    std::string why;
    const int fd = OpenRegularFile(path, O_RDONLY, 0, &why);
    if (fd < 0) return {FileKind::Unknown, why};
    std::string head(kHeadBytes, '\0');
    ssize_t n = 0;
    do {
        n = ::read(fd, head.data(), head.size());
    } while (n < 0 && errno == EINTR);
    ::close(fd);
    if (n < 0) return {FileKind::Unknown, "it cannot be read"};
    head.resize(static_cast<std::size_t>(n));
    return KindOfBytes(head, path.filename().string());
}

} // namespace zorva
