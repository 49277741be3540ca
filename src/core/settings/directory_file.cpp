#include "core/settings/directory_file.h"

#include <array>
#include <charconv>

#include "core/text/parse.h"
#include "core/text/text_scanner.h"

namespace zorva {
namespace {

constexpr int kFolderCount = 4;
// A count or entry number longer than this is garbage, not a number we wrote.
constexpr std::size_t kLongestNumber = 16;

std::optional<int64_t> ReadNumber(TextScanner& scanner) {
    const auto w = scanner.ReadWord(kLongestNumber + 1);
    if (!w || w->size() > kLongestNumber) return std::nullopt;
    return ParseInt64(*w);
}

std::string* FolderOf(Folders& f, long long entry) {
    switch (entry) {
    case 1:
        return &f.ImageDir;
    case 2:
        return &f.SRSDir;
    case 3:
        return &f.SavedImageDir;
    case 4:
        return &f.LogfileDir;
    default:
        return nullptr;
    }
}

bool Storable(const std::string& folder) {
    return !folder.empty() &&
           folder.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos;
}

} // namespace

DirectoryLoad ReadDirectoryFile(std::istream& in) {
    DirectoryLoad load;
    TextScanner scanner(in);
    const auto count = ReadNumber(scanner);
    if (!count) {
        load.error = "unreadable count";
        return load;
    }
    for (long long i = 0; i < *count; ++i) {
        const auto entry = ReadNumber(scanner);
        if (!entry) {
            load.error = "unreadable entry number at entry " + std::to_string(i + 1);
            return load;
        }
        scanner.SkipSpace();
        const auto folder = scanner.ReadRestOfLine(kLongestStoredFolder);
        if (!folder) {
            load.error = "missing folder at entry " + std::to_string(i + 1);
            return load;
        }
        // No folder of any system holds a NUL: such a line is damage, and the dialog
        // keeps its default folder.
        if (folder->find('\0') != std::string::npos) {
            if (load.error.empty())
                load.error = "NUL in the folder of entry " + std::to_string(i + 1);
            continue;
        }
        if (std::string* target = FolderOf(load.folders, *entry)) *target = *folder;
    }
    return load;
}

std::optional<std::string> DirectoryFileText(const Folders& folders) {
    const std::array<const std::string*, kFolderCount> all{
        &folders.ImageDir, &folders.SRSDir, &folders.SavedImageDir, &folders.LogfileDir};
    int count = 0;
    std::string body;
    for (int i = 0; i < kFolderCount; ++i) {
        if (!Storable(*all[i])) continue;
        ++count;
        body += std::to_string(i + 1) + " \n" + *all[i] + "\n";
    }
    if (count == 0) return std::nullopt;
    return std::to_string(count) + "\n" + body + "\n";
}

bool WriteDirectoryFile(std::ostream& out, const Folders& folders) {
    const auto text = DirectoryFileText(folders);
    if (!text) return false;
    out.write(text->data(), static_cast<std::streamsize>(text->size()));
    return true;
}

SplitPath SplitFolder(std::string_view path) {
    const auto cut = path.find_last_of("/\\");
    if (cut == std::string_view::npos) return {std::string(), std::string(path)};
    return {std::string(path.substr(0, cut + 1)), std::string(path.substr(cut + 1))};
}

} // namespace zorva
