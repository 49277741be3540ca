#include "core/common/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

#include "core/common/regular_file.h"

namespace zorva {

namespace {

// Tries enough names that a clash with a left-over temporary cannot block a save.
constexpr int kTemporaryNameTries = 16;
constexpr unsigned long long kTemporaryNameRange = 1000000000ULL;
constexpr mode_t kNewFileMode = 0666; // narrowed by the user's umask
constexpr mode_t kPermissionBits = 07777;
// A temporary's name: the mark, the target name's fingerprint in hexadecimal, a dot, a
// number, and the ending. It is short whatever the target's name, so a target whose name is
// as long as the system allows still has room for its temporary; the leading dot keeps it
// out of sight.
constexpr std::string_view kTemporaryMark = ".zorva-";
constexpr std::string_view kTemporaryEnding = ".tmp";
constexpr int kFingerprintDigits = 16;
// FNV-1a, 64 bits: the same fingerprint for the same name in every run.
constexpr uint64_t kFnvOffset = 14695981039346656037ULL;
constexpr uint64_t kFnvPrime = 1099511628211ULL;
// Longer chains of symbolic links are loops, as the system itself counts them.
constexpr int kLongestLinkChain = 40;
// An append waits this long at most for another to finish with the file, looking again
// after pauses that double from the first to the longest.
constexpr std::chrono::seconds kLongestLockWait{10};
constexpr std::chrono::microseconds kFirstLockPause{50};
constexpr std::chrono::microseconds kLongestLockPause{2000};
// How often an append follows a file replaced under it before it gives up.
constexpr int kLockTries = 8;

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

std::string Fingerprint(std::string_view name) {
    uint64_t hash = kFnvOffset;
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= kFnvPrime;
    }
    std::string hex(kFingerprintDigits, '0');
    for (int i = kFingerprintDigits - 1; i >= 0; --i, hash >>= 4) {
        hex[static_cast<std::size_t>(i)] = "0123456789abcdef"[hash & 0xF];
    }
    return hex;
}

// Whether the name still leads to the file open on `fd` (a cleaner may have removed it).
bool NameLeadsTo(const std::filesystem::path& name, int fd) {
    struct stat byName {};
    struct stat open {};
    return ::lstat(name.c_str(), &byName) == 0 && ::fstat(fd, &open) == 0 &&
           byName.st_dev == open.st_dev && byName.st_ino == open.st_ino;
}

// Whether `name`, following links, leads to the file open on `fd`.
bool SameFile(const std::filesystem::path& name, int fd) {
    struct stat byName {};
    struct stat open {};
    return ::stat(name.c_str(), &byName) == 0 && ::fstat(fd, &open) == 0 &&
           byName.st_dev == open.st_dev && byName.st_ino == open.st_ino;
}

// Takes the exclusive lock on a file appended to. Another append holds it for a moment;
// a program that holds it for longer is waited for only so long, and the append fails.
bool LockWithin(int fd) {
    const auto deadline = std::chrono::steady_clock::now() + kLongestLockWait;
    for (auto pause = kFirstLockPause;; pause = std::min(pause * 2, kLongestLockPause)) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
        if (errno != EWOULDBLOCK && errno != EINTR) return false;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(pause);
    }
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
        const std::filesystem::path candidate =
            target.parent_path() / TemporaryName(target, generator() % kTemporaryNameRange);
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

bool Fail(std::string* error, int code) {
    return Fail(error, SystemErrorText(code), code);
}

} // namespace

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error) {
    const std::filesystem::path target = FinalTarget(path);
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode)) {
        return Fail(error, NotRegularText(old.st_mode), S_ISDIR(old.st_mode) ? EISDIR : EINVAL);
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

namespace {

// Opens the regular file `path` with `flags` and takes the appends' lock on it, on the file
// the name leads to once the lock is held: a save that replaced the file while we waited
// left us holding the old one, which no name leads to any more. -1 with `error` set.
int OpenLocked(const std::filesystem::path& path, int flags, std::string* error) {
    for (int tries = 0;; ++tries) {
        std::string why;
        const int fd = OpenRegularFile(path, flags, kNewFileMode, &why);
        if (fd < 0) {
            Fail(error, why, errno);
            return -1;
        }
        if (!LockWithin(fd)) {
            ::close(fd);
            Fail(error, "held by another program", EWOULDBLOCK);
            return -1;
        }
        if (SameFile(path, fd)) return fd;
        ::close(fd);
        if (tries == kLockTries) {
            Fail(error, "replaced again and again", EAGAIN);
            return -1;
        }
    }
}

// A lease on a file open on one descriptor alone: while it is held, any other opening of the
// file, and any truncation by another, waits until it is let go. The system tells the
// holder of such a wait with a signal; SIGURG is ignored unless a program asks for it, so the
// notice costs nothing (the lease is let go at once anyway).
enum class Alone { Held, Shared, Unsupported };

Alone HoldAlone(int fd) {
    (void)::fcntl(fd, F_SETSIG, SIGURG);
    if (::fcntl(fd, F_SETLEASE, F_WRLCK) == 0) return Alone::Held;
    // Another descriptor is open on the file (another program's, or one of ours).
    if (errno == EAGAIN || errno == EBUSY) return Alone::Shared;
    // A file system without leases (EINVAL), or a file of another owner (EACCES).
    return Alone::Unsupported;
}

void LetGo(int fd) {
    (void)::fcntl(fd, F_SETLEASE, F_UNLCK);
}

} // namespace

bool CutFileEndAlone(int fd, int64_t keep, const CutCheck& check, std::string& why) {
    const Alone alone = HoldAlone(fd);
    if (alone == Alone::Shared) {
        why = "another program has it open, and may be writing to it";
        errno = EBUSY;
        return false;
    }
    struct stat now {};
    bool cut = ::fstat(fd, &now) == 0;
    if (!cut) {
        why = SystemErrorText(errno);
    } else {
        cut = check(fd, static_cast<int64_t>(now.st_size), why);
    }
    int code = cut ? 0 : EINVAL;
    if (cut && ::ftruncate(fd, static_cast<off_t>(keep)) != 0) {
        code = errno;
        why = SystemErrorText(code);
        cut = false;
    }
    if (alone == Alone::Held) LetGo(fd);
    if (cut && ::fsync(fd) != 0) {
        code = errno;
        why = SystemErrorText(code);
        cut = false;
    }
    errno = code;
    return cut;
}

bool CutFileEnd(const std::filesystem::path& path, int64_t keep, const CutCheck& check,
                std::string* error) {
    const int fd = OpenLocked(path, O_RDWR, error);
    if (fd < 0) return false;
    std::string why;
    const bool cut = CutFileEndAlone(fd, keep, check, why);
    const int code = errno;
    ::close(fd);
    return cut || Fail(error, why, code);
}

bool AppendToFileWhole(const std::filesystem::path& path, std::string_view bytes,
                       std::string* error, const AppendPreparation& prepare,
                       const AppendFinish& finish) {
    RemoveStaleTemporaries(path);
    const bool existed = ::access(path.c_str(), F_OK) == 0;
    const int fd = OpenLocked(path, O_RDWR | O_APPEND | O_CREAT, error);
    if (fd < 0) return false;
    struct stat opened {};
    if (::fstat(fd, &opened) != 0) {
        const int code = errno;
        ::close(fd);
        return Fail(error, code);
    }
    int64_t prepared = opened.st_size;
    std::string out;
    std::string why;
    int code = 0;
    errno = 0;
    if (prepare && !prepare(fd, prepared, out, why)) code = errno != 0 ? errno : EIO;
    // One write: the system puts it at the end as the file is at that moment, whatever
    // another program added since we looked.
    out += bytes;
    ssize_t written = 0;
    while (code == 0) {
        written = ::write(fd, out.data(), out.size());
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) code = errno;
        break;
    }
    // Where our bytes end; on a descriptor opened for appending, each write leaves the
    // offset at the end of what it wrote.
    const off_t end = code == 0 ? ::lseek(fd, 0, SEEK_CUR) : -1;
    if (code == 0 && end < 0) code = errno;
    if (code == 0 && static_cast<std::size_t>(written) < out.size()) {
        // Only part went out: the rest is not tried on its own, as another program's line
        // could come between the two parts. A short write says nothing of why.
        code = ENOSPC;
        why = "only part of it could be written (is the disk full?)";
    } else if (code == 0 && ::fsync(fd) != 0) {
        code = errno;
    }
    if (code != 0 && end >= 0) {
        // What we wrote is cut off again, while the file still ends with it.
        std::string kept;
        (void)CutFileEndAlone(
            fd, end - written, [end](int, int64_t length, std::string&) { return length == end; },
            kept);
    }
    if (code != 0) {
        // A file this call made, and that nobody wrote to since, goes.
        struct stat now {};
        if (!existed && ::fstat(fd, &now) == 0 && now.st_size == 0 && SameFile(path, fd)) {
            ::unlink(FinalTarget(path).c_str());
        }
        ::close(fd);
        return why.empty() ? Fail(error, code) : Fail(error, why, code);
    }
    if (finish) finish(fd, static_cast<int64_t>(end));
    // The bytes are on the disk once the sync succeeded; closing cannot take them back.
    ::close(fd);
    return true;
}

std::string TemporaryName(const std::filesystem::path& target, uint64_t number) {
    return std::string(kTemporaryMark) + Fingerprint(target.filename().native()) + "." +
           std::to_string(number) + std::string(kTemporaryEnding);
}

bool IsTemporaryName(std::string_view name, const std::filesystem::path& target) {
    const std::string prefix =
        std::string(kTemporaryMark) + Fingerprint(target.filename().native()) + ".";
    if (name.size() <= prefix.size() + kTemporaryEnding.size() || !name.starts_with(prefix) ||
        !name.ends_with(kTemporaryEnding)) {
        return false;
    }
    const std::string_view number =
        name.substr(prefix.size(), name.size() - prefix.size() - kTemporaryEnding.size());
    return number.find_first_not_of("0123456789") == std::string_view::npos;
}

void RemoveStaleTemporaries(const std::filesystem::path& path) {
    const std::filesystem::path target = FinalTarget(path);
    const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::filesystem::path candidate = it->path();
        if (!IsTemporaryName(candidate.filename().string(), target)) continue;
        // Removed only while we hold its lock and the name still leads to the file locked:
        // a save in progress keeps its temporary.
        const int lock = LockTemporary(candidate);
        if (lock < 0) continue;
        if (NameLeadsTo(candidate, lock)) ::unlink(candidate.c_str());
        ::close(lock);
    }
}

} // namespace zorva
