#include "core/settings/settings_store.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace zorva {
namespace {

// Tries enough names that a clash with a left-over temporary cannot block a save.
constexpr int kTemporaryNameTries = 16;

// Opens a new file that did not exist before ("x" refuses to open an existing one), so two
// savers can never write into the same temporary.
std::FILE* CreateTemporary(const std::filesystem::path& target, std::filesystem::path& made) {
    static std::mt19937_64 generator{std::random_device{}()};
    for (int i = 0; i < kTemporaryNameTries; ++i) {
        std::filesystem::path candidate = target;
        candidate += ".tmp" + std::to_string(generator() % 1000000000ULL);
        if (std::FILE* f = std::fopen(candidate.c_str(), "wbx")) {
            made = candidate;
            return f;
        }
    }
    return nullptr;
}

bool IsOpenableFile(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec) && !std::filesystem::is_directory(path, ec);
}

} // namespace

bool SaveTextFileAtomically(const std::filesystem::path& path, std::string_view text) {
    std::filesystem::path temporary;
    std::FILE* f = CreateTemporary(path, temporary);
    if (f == nullptr) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fflush(f) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    std::error_code ec;
    if (ok) {
        std::filesystem::rename(temporary, path, ec);
        ok = !ec;
    }
    if (!ok) std::filesystem::remove(temporary, ec);
    return ok;
}

LoadedSettingsFiles LoadSettingsFiles(const std::filesystem::path& folder) {
    LoadedSettingsFiles loaded;
    const auto directoryPath = folder / kDirectoryFileName;
    if (IsOpenableFile(directoryPath)) {
        std::ifstream in(directoryPath, std::ios::binary);
        if (in) {
            loaded.directoryFound = true;
            loaded.folders = ReadDirectoryFile(in).folders;
        }
    }
    const auto settingsPath = folder / kSettingsFileName;
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
        saved.directoryWritten = SaveTextFileAtomically(folder / kDirectoryFileName, *text);
    } else {
        saved.directorySkipped = true;
    }
    saved.settingsWritten =
        SaveTextFileAtomically(folder / kSettingsFileName, SettingsFileText(settings));
    return saved;
}

} // namespace zorva
