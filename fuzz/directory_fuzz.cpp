// Feeds arbitrary bytes to the directory-file reader: no folder may come back longer than
// the stored limit, and the folders read must survive being written and read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "core/settings/directory_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const zorva::DirectoryLoad load = zorva::ReadDirectoryFile(in);
    const zorva::Folders& f = load.folders;
    for (const std::string* folder : {&f.ImageDir, &f.SRSDir, &f.SavedImageDir, &f.LogfileDir}) {
        if (folder->size() > zorva::kLongestStoredFolder) std::abort();
        if (folder->find('\n') != std::string::npos) std::abort();
    }
    zorva::SplitFolder(f.SRSDir);
    if (const auto text = zorva::DirectoryFileText(f)) {
        std::istringstream again(*text);
        const zorva::DirectoryLoad back = zorva::ReadDirectoryFile(again);
        (void)back;
    }
    return 0;
}
