#include "core/common/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <locale.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace zorva {

namespace {

// Tries enough names that a clash with a left-over temporary cannot block a save.
constexpr int kTemporaryNameTries = 16;
constexpr unsigned long long kTemporaryNameRange = 1000000000ULL;
constexpr mode_t kNewFileMode = 0666; // narrowed by the user's umask
constexpr mode_t kPermissionBits = 07777;
// A temporary is named after its target: "<name>.tmp" and digits.
constexpr std::string_view kTemporaryMark = ".tmp";
// Longer chains of symbolic links are loops, as the system itself counts them.
constexpr int kLongestLinkChain = 40;

// The file a path leads to: symbolic links are followed (relative ones from their own
// folder), so that a save replaces the file a link points at and the link stays.
std::filesystem::path FinalTarget(std::filesystem::path path) {
    std::error_code ec;
    for (int i = 0; i < kLongestLinkChain; ++i) {
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec))) break;
        const std::filesystem::path link = std::filesystem::read_symlink(path, ec);
        if (ec) break;
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
    return path;
}

bool IsTemporaryOf(const std::string& name, const std::string& target) {
    const std::size_t digits = target.size() + kTemporaryMark.size();
    return name.size() > digits && name.compare(0, target.size(), target) == 0 &&
           name.compare(target.size(), kTemporaryMark.size(), kTemporaryMark) == 0 &&
           name.find_first_not_of("0123456789", digits) == std::string::npos;
}

// Whether the name still leads to the file open on `fd` (a cleaner may have removed it).
bool NameLeadsTo(const std::filesystem::path& name, int fd) {
    struct stat byName {};
    struct stat open {};
    return ::lstat(name.c_str(), &byName) == 0 && ::fstat(fd, &open) == 0 &&
           byName.st_dev == open.st_dev && byName.st_ino == open.st_ino;
}

// A temporary is in use while its save holds this lock, on a descriptor of its own so
// that the lock lasts until the rename, after the written file is closed and checked. A
// killed save drops its lock with the process. -1 when the lock is held elsewhere.
int LockTemporary(const std::filesystem::path& temporary) {
    const int fd = ::open(temporary.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int code = errno;
        ::close(fd);
        errno = code;
        return -1;
    }
    return fd;
}

// Creates a file that did not exist before, so two savers never share a temporary, and
// locks it. A name that a cleaner of stale temporaries took away meanwhile is given up
// for another.
int CreateTemporary(const std::filesystem::path& target, std::filesystem::path& made, int& lock) {
    static std::mt19937_64 generator{std::random_device{}()};
    for (int i = 0; i < kTemporaryNameTries; ++i) {
        std::filesystem::path candidate = target;
        candidate +=
            std::string(kTemporaryMark) + std::to_string(generator() % kTemporaryNameRange);
        const int fd =
            ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return -1;
        }
        lock = LockTemporary(candidate);
        if (lock >= 0 && NameLeadsTo(candidate, fd) && NameLeadsTo(candidate, lock)) {
            made = candidate;
            return fd;
        }
        const int code = lock >= 0 ? ENOENT : errno;
        if (lock >= 0) ::close(lock);
        ::close(fd);
        // Held or already removed by a cleaner; any other failure is ours to tidy.
        if (code != EWOULDBLOCK && code != ENOENT) {
            ::unlink(candidate.c_str());
            errno = code;
            return -1;
        }
    }
    errno = EEXIST;
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

bool Fail(std::string* error, const std::string& why, int code) {
    if (error) *error = why;
    errno = code;
    return false;
}

// The system's words for an error in English whatever the process locale, as every
// other message of the program is.
std::string ErrorText(int code) {
    static const locale_t english = newlocale(LC_ALL_MASK, "C", locale_t{});
    return english != locale_t{} ? strerror_l(code, english) : std::strerror(code);
}

bool Fail(std::string* error, int code) {
    return Fail(error, ErrorText(code), code);
}

} // namespace

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error) {
    const std::filesystem::path target = FinalTarget(path);
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode)) {
        return S_ISDIR(old.st_mode) ? Fail(error, EISDIR)
                                    : Fail(error, "not a regular file", EINVAL);
    }
    RemoveStaleTemporaries(target);

    std::filesystem::path temporary;
    int lock = -1;
    const int fd = CreateTemporary(target, temporary, lock);
    if (fd < 0) return Fail(error, errno != 0 ? errno : EEXIST);
    if (existed) {
        // The new file takes the old one's permissions, and its owner where the system
        // lets us; neither is a reason to give up the save.
        (void)::fchmod(fd, old.st_mode & kPermissionBits);
        (void)::fchown(fd, old.st_uid, old.st_gid);
    }
    int code = 0;
    if (!WriteAll(fd, bytes) || ::fsync(fd) != 0) code = errno;
    if (::close(fd) != 0 && code == 0) code = errno;
    if (code == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) code = errno;
    if (code != 0) ::unlink(temporary.c_str());
    ::close(lock);
    if (code != 0) return Fail(error, code);
    SyncFolder(target.parent_path());
    return true;
}

bool AppendToFileWhole(const std::filesystem::path& path, std::string_view bytes,
                       std::string* error) {
    RemoveStaleTemporaries(path);
    struct stat before {};
    const bool existed = ::stat(path.c_str(), &before) == 0;
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, kNewFileMode);
    if (fd < 0) return Fail(error, errno);
    struct stat opened {};
    if (::fstat(fd, &opened) != 0) {
        const int code = errno;
        ::close(fd);
        return Fail(error, code);
    }
    // Only a regular file can be cut back, or synced; a device takes the bytes as it will.
    const bool regular = S_ISREG(opened.st_mode);
    const off_t length = opened.st_size;
    int code = 0;
    if (!WriteAll(fd, bytes) || (regular && ::fsync(fd) != 0)) code = errno;
    if (code != 0 && regular) (void)::ftruncate(fd, length);
    if (::close(fd) != 0 && code == 0) {
        code = errno;
        if (regular) (void)::truncate(path.c_str(), length);
    }
    if (code == 0) return true;
    if (regular && !existed) ::unlink(path.c_str());
    return Fail(error, code);
}

void RemoveStaleTemporaries(const std::filesystem::path& path) {
    const std::filesystem::path target = FinalTarget(path);
    const std::string name = target.filename().string();
    const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::filesystem::path candidate = it->path();
        if (!IsTemporaryOf(candidate.filename().string(), name)) continue;
        // Removed only while we hold its lock and the name still leads to the file locked:
        // a save in progress keeps its temporary.
        const int lock = LockTemporary(candidate);
        if (lock < 0) continue;
        if (NameLeadsTo(candidate, lock)) ::unlink(candidate.c_str());
        ::close(lock);
    }
}

} // namespace zorva
