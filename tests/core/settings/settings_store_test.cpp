#include "core/settings/settings_store.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

#include "core/common/atomic_file.h"
#include "support/test_support.h"

namespace zorva {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::size_t EntryCount(const fs::path& dir) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir))
        ++n;
    return n;
}

TEST(SettingsStore, AtomicSaveReplacesTheFile) {
    TempDir dir;
    const fs::path file = dir / "a.dat";
    ASSERT_TRUE(WriteFileAtomically(file, "first\n"));
    ASSERT_TRUE(WriteFileAtomically(file, "second\n"));
    EXPECT_EQ(ReadFile(file), "second\n");
    EXPECT_EQ(EntryCount(dir.path()), 1u); // no temporary left behind
}

TEST(SettingsStore, FailedSaveKeepsTheOldFile) {
    TempDir dir;
    // The temporary cannot be created: the folder does not exist.
    EXPECT_FALSE(WriteFileAtomically(dir / "missing" / "a.dat", "text"));
    EXPECT_FALSE(fs::exists(dir / "missing"));

    // The rename fails: a folder with content stands where the file should go.
    fs::create_directories(dir / "taken" / "inside");
    EXPECT_FALSE(WriteFileAtomically(dir / "taken", "text"));
    EXPECT_TRUE(fs::is_directory(dir / "taken" / "inside"));
    EXPECT_EQ(EntryCount(dir.path()), 1u);

    // The disk fills up while writing: a file-size limit makes the writes fail.
    const fs::path file = dir / "settings.dat";
    WriteFile(file, "old settings\n");
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = WriteFileAtomically(file, std::string(100000, 'x'));
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadFile(file), "old settings\n");
    EXPECT_EQ(EntryCount(dir.path()), 2u); // the folder "taken" and the old file only
}

TEST(SettingsStore, SaveAndLoadBothFiles) {
    TempDir dir;
    const LoadedSettingsFiles first = LoadSettingsFiles(dir.path());
    EXPECT_FALSE(first.directoryFound);
    EXPECT_FALSE(first.settings.fileFound);
    EXPECT_TRUE(first.settings.showWelcome);
    EXPECT_EQ(first.folders, Folders{});

    Settings s;
    s.HideWelcome = true;
    s.OrientationMode = Orientation::RotationAxis;
    const Folders folders{"/images/", "", "", "/logs/"};
    const SavedSettingsFiles saved = SaveSettingsFiles(dir.path(), folders, s);
    EXPECT_TRUE(saved.directoryWritten);
    EXPECT_TRUE(saved.settingsWritten);
    // The folder file's layout: count, entry number and blank, folder, an empty last line.
    EXPECT_EQ(ReadFile(dir / "ZorvaViewerDir_v10.dat"), "2\n1 \n/images/\n4 \n/logs/\n\n");
    EXPECT_EQ(ReadFile(dir / "ZorvaViewerSettings_v10.dat"), SettingsFileText(s));

    const LoadedSettingsFiles again = LoadSettingsFiles(dir.path());
    EXPECT_TRUE(again.directoryFound);
    EXPECT_EQ(again.folders, folders);
    EXPECT_EQ(again.settings.settings, s);
    EXPECT_FALSE(again.settings.showWelcome);

    // With every folder empty the directory file is left as it was.
    const SavedSettingsFiles empty = SaveSettingsFiles(dir.path(), Folders{}, s);
    EXPECT_TRUE(empty.directorySkipped);
    EXPECT_FALSE(empty.directoryWritten);
    EXPECT_EQ(ReadFile(dir / "ZorvaViewerDir_v10.dat"), "2\n1 \n/images/\n4 \n/logs/\n\n");
}

TEST(SettingsStore, UnreadableFilesGiveDefaults) {
    TempDir dir;
    fs::create_directories(dir / "ZorvaViewerSettings_v10.dat");
    fs::create_directories(dir / "ZorvaViewerDir_v10.dat");
    const LoadedSettingsFiles loaded = LoadSettingsFiles(dir.path());
    EXPECT_FALSE(loaded.directoryFound);
    EXPECT_FALSE(loaded.settings.fileFound);
    EXPECT_EQ(loaded.settings.settings, Settings{});
    // Saving cannot replace a folder: both fail quietly.
    const SavedSettingsFiles saved = SaveSettingsFiles(dir.path(), Folders{"/a/", "", "", ""}, {});
    EXPECT_FALSE(saved.directoryWritten);
    EXPECT_FALSE(saved.settingsWritten);
}

} // namespace
} // namespace zorva
