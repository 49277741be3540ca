#pragma once

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace zorva {

// The last folder used in each of the four file dialogs, each ending in its separator;
// empty while the dialog has not been used.
struct Folders {
    std::string ImageDir;      // entry 1: Open Image
    std::string SRSDir;        // entry 2: Load SRS and Link with Date
    std::string SavedImageDir; // entry 3: Save Image As
    std::string LogfileDir;    // entry 4: Open and New Logfile

    bool operator==(const Folders&) const = default;
};

// Folders longer than this are cut on reading. A folder is kept whole up to the longest
// path the system takes: cut any shorter, a deep folder would send its dialog somewhere
// else.
inline constexpr std::size_t kLongestStoredFolder = 4096;

struct DirectoryLoad {
    Folders folders;
    std::string error; // why reading stopped early, empty when the whole file was read
};

// Reads the count, then count times an entry number and the rest of the line after the
// white space that follows it. Unknown entry numbers, and folders holding a NUL, are
// skipped; an unreadable count or entry number, or the end of the input, stops reading
// with what was read so far.
DirectoryLoad ReadDirectoryFile(std::istream& in);

// The file's text: the count of non-empty folders, then "N " and the folder for each, in
// entry order, and one empty line. Nothing when there is no folder to store, in which case
// the file is left alone. A folder holding a line break cannot be stored in a line and is
// left out.
std::optional<std::string> DirectoryFileText(const Folders& folders);

// Writes DirectoryFileText; false, with nothing written, when there is nothing to write.
bool WriteDirectoryFile(std::ostream& out, const Folders& folders);

// A path split after its last "/" or "\": the folder with its separator, and the file name.
struct SplitPath {
    std::string folder;
    std::string name;

    bool operator==(const SplitPath&) const = default;
};
SplitPath SplitFolder(std::string_view path);

} // namespace zorva
