#include "core/settings/settings_store.h"

#include <fstream>
#include <string>
#include <system_error>

#include "core/common/atomic_file.h"

namespace zorva {
namespace {

bool IsOpenableFile(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec) && !std::filesystem::is_directory(path, ec);
}

} // namespace

LoadedSettingsFiles LoadSettingsFiles(const std::filesystem::path& folder) {
    LoadedSettingsFiles loaded;
    const auto directoryPath = folder / kDirectoryFileName;
    const auto settingsPath = folder / kSettingsFileName;
    RemoveStaleTemporaries(directoryPath);
    RemoveStaleTemporaries(settingsPath);
    if (IsOpenableFile(directoryPath)) {
        std::ifstream in(directoryPath, std::ios::binary);
        if (in) {
            loaded.directoryFound = true;
            loaded.folders = ReadDirectoryFile(in).folders;
        }
    }
    loaded.settings = DefaultSettingsLoad();
    if (IsOpenableFile(settingsPath)) {
        std::ifstream in(settingsPath, std::ios::binary);
        if (in) loaded.settings = ReadSettings(in);
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
