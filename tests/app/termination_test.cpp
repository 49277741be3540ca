// The program ended by SIGTERM or SIGHUP (a desktop logout, `kill`) closes as File > Exit
// does and saves its settings.
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "core/settings/settings_file.h"
#include "core/settings/settings_store.h"
#include "support/test_support.h"

namespace zorva {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Generous for a sanitizer build on a busy machine.
constexpr auto kPatience = 60s;

// Whether the process has a handler of its own for `signal` (its SigCgt mask).
bool Catches(pid_t pid, int signal) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("SigCgt:", 0) == 0) {
            const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
            return (mask >> (signal - 1)) & 1ULL;
        }
    }
    return false;
}

// Starts the program in `folder` (with a picture to open, when one is named), sends
// `signal` once it handles it and `settle` later, and gives its exit status (-1 when it
// did not end by itself).
int RunAndSignal(const fs::path& folder, int signal, std::chrono::milliseconds settle,
                 const std::string& picture = {}, const fs::path& errors = {}) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!errors.empty()) {
            const int fd = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (fd >= 0) ::dup2(fd, STDERR_FILENO);
        }
        if (::chdir(folder.c_str()) == 0) {
            if (picture.empty())
                ::execl(ZORVA_PROGRAM, "zorva", nullptr);
            else
                ::execl(ZORVA_PROGRAM, "zorva", picture.c_str(), nullptr);
        }
        ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!Catches(pid, signal) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    std::this_thread::sleep_for(settle);
    ::kill(pid, signal);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(10ms);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

SettingsLoad ReadBack(const fs::path& file) {
    std::istringstream in(test::ReadFile(file));
    return ReadSettings(in);
}

TEST(Termination, SigtermWhileTheWelcomeWindowIsUpSavesTheSettings) {
    test::TempDir dir;
    // No settings yet: the welcome window is up when the signal comes.
    EXPECT_EQ(RunAndSignal(dir.path(), SIGTERM, 1500ms), 0);
    const fs::path file = dir / std::string(kSettingsFileName);
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(ReadBack(file).error, "");
}

TEST(Termination, SighupAndSigtermCloseAsFileExitDoes) {
    for (const int signal : {SIGHUP, SIGTERM}) {
        test::TempDir dir;
        Settings s;
        s.HideWelcome = true;
        s.ObserverLat = -33.875;
        s.ObserverLong = 151.25;
        // Written with CR LF endings, which a save replaces by plain line feeds.
        std::string crlf;
        for (const char c : SettingsFileText(s))
            crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        const fs::path file = dir / std::string(kSettingsFileName);
        test::WriteFile(file, crlf);
        EXPECT_EQ(RunAndSignal(dir.path(), signal, 1500ms), 0) << signal;
        EXPECT_EQ(test::ReadFile(file), SettingsFileText(s)) << signal;
    }
}

// Sent as soon as the handler is in place, before the window exists: the request waits
// until the window can close.
TEST(Termination, AnEarlySignalWaitsForTheWindow) {
    test::TempDir dir;
    Settings s;
    s.HideWelcome = true;
    const fs::path file = dir / std::string(kSettingsFileName);
    test::WriteFile(file, "true\r\n");
    EXPECT_EQ(RunAndSignal(dir.path(), SIGTERM, 0ms), 0);
    EXPECT_EQ(test::ReadFile(file), SettingsFileText(s));
}

// With ZorvaOptions.ini a folder, quitting on SIGTERM once took three signals and 9 s: the
// failed save asked for an OK that nobody was there to give. One signal ends the program;
// the failure is told on the error stream and in the exit status, and the settings files
// that could be saved are.
TEST(Termination, ASaveThatFailsNeverHoldsTheEnd) {
    test::TempDir dir;
    const fs::path settings = dir / std::string(kSettingsFileName);
    test::WriteFile(settings, "true\r\n");
    fs::create_directory(dir / "ZorvaOptions.ini");
    const fs::path errors = dir / "errors.txt";
    EXPECT_EQ(RunAndSignal(dir.path(), SIGTERM, 1500ms, {}, errors), 1);
    const std::string said = test::ReadFile(errors);
    EXPECT_NE(said.find("Your settings could not be saved to " +
                        (dir / "ZorvaOptions.ini").string() + ": a folder, not a regular file"),
              std::string::npos)
        << said;
    Settings hidden;
    hidden.HideWelcome = true;
    EXPECT_EQ(test::ReadFile(settings), SettingsFileText(hidden));
}

// `zorva FILE`, as a file manager starts it: the picture opens, and its folder is the one
// Open Image starts in next time.
TEST(Termination, APictureNamedOnTheCommandLineOpens) {
    test::TempDir dir;
    const fs::path settings = dir / std::string(kSettingsFileName);
    test::WriteFile(settings, "true\r\n");
    const fs::path picture =
        fs::path(ZORVA_TESTDATA_DIR) / "images" / "mdi_20050111_235932_1024.png";
    EXPECT_EQ(RunAndSignal(dir.path(), SIGTERM, 3000ms, picture.string()), 0);
    const LoadedSettingsFiles saved = LoadSettingsFiles(dir.path());
    ASSERT_TRUE(saved.directoryFound);
    EXPECT_EQ(fs::path(saved.folders.ImageDir), picture.parent_path() / "");
}

} // namespace
} // namespace zorva
