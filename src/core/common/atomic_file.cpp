#include "core/common/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <system_error>
#include <unistd.h>

namespace zorva {

namespace {

// Tries enough names that a clash with a left-over temporary cannot block a save.
constexpr int kTemporaryNameTries = 16;
constexpr unsigned long long kTemporaryNameRange = 1000000000ULL;
constexpr mode_t kNewFileMode = 0666; // narrowed by the user's umask

// Opens a file that did not exist before, so two savers never share a temporary.
int CreateTemporary(const std::filesystem::path& target, std::filesystem::path& made) {
    static std::mt19937_64 generator{std::random_device{}()};
    for (int i = 0; i < kTemporaryNameTries; ++i) {
        std::filesystem::path candidate = target;
        candidate += ".tmp" + std::to_string(generator() % kTemporaryNameRange);
        const int fd =
            ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
        if (fd >= 0) {
            made = candidate;
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    return -1;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Makes the rename itself durable; a folder that cannot be synced does not undo a save
// that is already complete.
void SyncFolder(const std::filesystem::path& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error) {
    auto fail = [&](int code) {
        if (error) *error = std::strerror(code);
        errno = code;
        return false;
    };
    std::filesystem::path temporary;
    const int fd = CreateTemporary(path, temporary);
    if (fd < 0) return fail(errno != 0 ? errno : EEXIST);
    int code = 0;
    if (!WriteAll(fd, bytes) || ::fsync(fd) != 0) code = errno;
    if (::close(fd) != 0 && code == 0) code = errno;
    std::error_code ec;
    if (code == 0) {
        std::filesystem::rename(temporary, path, ec);
        if (ec) code = ec.value();
    }
    if (code != 0) {
        std::filesystem::remove(temporary, ec);
        return fail(code);
    }
    SyncFolder(path.parent_path());
    return true;
}

} // namespace zorva
