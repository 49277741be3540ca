#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/settings/directory_file.h"
#include "core/settings/settings_file.h"

namespace zorva {

// The two files the program keeps its options in, by bare name in the working folder.
inline constexpr std::string_view kSettingsFileName = "ZorvaViewerSettings_v10.dat";
inline constexpr std::string_view kDirectoryFileName = "ZorvaViewerDir_v10.dat";

struct LoadedSettingsFiles {
    Folders folders;
    bool directoryFound = false;
    SettingsLoad settings; // DefaultSettingsLoad() when there is no settings file
};

// Reads the directory file, then the settings file, from `folder`. A file that is missing
// or cannot be read leaves the folders empty and the defaults in place; only regular files
// are read (a pipe or a device of either name is refused, and says so in
// settings.error). The temporaries of saves of either file that were cut short are
// removed first.
LoadedSettingsFiles LoadSettingsFiles(const std::filesystem::path& folder);

struct SavedSettingsFiles {
    bool directoryWritten = false; // false also when there was no folder to store
    bool directorySkipped = false; // every folder empty: the old file was left alone
    bool settingsWritten = false;
    std::string directoryError; // why the directory file could not be written
    std::string settingsError;  // why the settings file could not be written
};

// Saves the directory file, then the settings file, into `folder`, each replaced whole or
// not at all. The results say what happened.
SavedSettingsFiles SaveSettingsFiles(const std::filesystem::path& folder, const Folders& folders,
                                     const Settings& settings);

} // namespace zorva
