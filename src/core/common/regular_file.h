#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace zorva {

// The text files the program reads (settings, folders, options, year files, Region
// Summaries, the logfile's last line) are a few kilobytes; one of more than a megabyte is
// none of them, and reading stops before it.
inline constexpr std::size_t kLargestTextFile = std::size_t{1} << 20;

// What reading a whole file gave.
struct RegularFileRead {
    bool found = false;   // the name leads to something; false for no such file
    bool ok = false;      // `bytes` holds the whole file
    bool tooLong = false; // the file is longer than the limit
    std::string bytes;
    std::string error; // why not, when found and not ok
};

// Reads a regular file of at most `limit` bytes. A symbolic link is followed to its
// target. A folder, a pipe, a device or a socket is refused without reading (a pipe
// without a writer, or an endless device like /dev/zero, would never end), and so is a file
// longer than `limit`.
RegularFileRead ReadRegularFile(const std::filesystem::path& path,
                                std::size_t limit = kLargestTextFile);

// Opens `path` with the open(2) `flags` (and `mode` for O_CREAT) only when it is, or
// becomes, a regular file: the open itself never waits for a pipe's other end, and what
// it opened is checked before it is used. The descriptor, or -1 with `error` set and errno
// kept.
int OpenRegularFile(const std::filesystem::path& path, int flags, unsigned mode,
                    std::string* error);

// Why nothing can be read at `path`, in words that say what is true ("the file does not exist",
// "its symbolic links go round in a loop", "a folder on its way cannot be entered"), or
// nothing when the name leads to something.
std::string WhyUnreachable(const std::filesystem::path& path);

// The system's words for an errno value in English, whatever the process's locale, as every
// other message of the program is.
std::string SystemErrorText(int code);

// Why a file of this stat(2) mode is refused: "a folder, not a regular file", "a pipe,
// not a regular file", ...
std::string NotRegularText(unsigned mode);

} // namespace zorva
