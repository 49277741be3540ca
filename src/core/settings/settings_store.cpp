#include "core/settings/settings_store.h"

#include <sstream>
#include <string>
#include <utility>

#include "core/common/atomic_file.h"
#include "core/common/regular_file.h"

namespace zorva {

LoadedSettingsFiles LoadSettingsFiles(const std::filesystem::path& folder) {
    LoadedSettingsFiles loaded;
    const auto directoryPath = folder / kDirectoryFileName;
    const auto settingsPath = folder / kSettingsFileName;
    RemoveStaleTemporaries(directoryPath);
    RemoveStaleTemporaries(settingsPath);
    const RegularFileRead directory = ReadRegularFile(directoryPath);
    if (directory.ok) {
        std::istringstream in(directory.bytes);
        loaded.directoryFound = true;
        loaded.folders = ReadDirectoryFile(in).folders;
    }
    loaded.settings = DefaultSettingsLoad();
    const RegularFileRead settings = ReadRegularFile(settingsPath);
    if (settings.ok) {
        std::istringstream in(settings.bytes);
        loaded.settings = ReadSettings(in);
        if (!loaded.settings.error.empty()) {
            loaded.settings.error = std::string(kSettingsFileName) + ", " + loaded.settings.error;
        }
    }
    // The first trouble, naming its file; the defaults stand in for what was not read.
    for (const auto& [read, name] :
         {std::pair{&settings, kSettingsFileName}, std::pair{&directory, kDirectoryFileName}}) {
        if (read->found && !read->ok && loaded.settings.error.empty()) {
            loaded.settings.error = std::string(name) + ": " + read->error;
        }
    }
    return loaded;
}

SavedSettingsFiles SaveSettingsFiles(const std::filesystem::path& folder, const Folders& folders,
                                     const Settings& settings) {
    SavedSettingsFiles saved;
    if (const auto text = DirectoryFileText(folders)) {
        saved.directoryWritten =
            WriteFileAtomically(folder / kDirectoryFileName, *text, &saved.directoryError);
    } else {
        saved.directorySkipped = true;
    }
    saved.settingsWritten = WriteFileAtomically(folder / kSettingsFileName,
                                                SettingsFileText(settings), &saved.settingsError);
    return saved;
}

} // namespace zorva
