#include "core/common/regular_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorva {

namespace {

// Reads are done in pieces of this size; a file is read at most one piece past its limit.
constexpr std::size_t kReadPiece = 64 * 1024;

} // namespace

std::string SystemErrorText(int code) {
    static const locale_t english = newlocale(LC_ALL_MASK, "C", locale_t{});
    return english != locale_t{} ? strerror_l(code, english) : std::strerror(code);
}

std::string WhyUnreachable(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return {};
    const int code = errno;
    switch (code) {
    case ENOENT:
        if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
            return "it is a symbolic link to something that does not exist";
        }
        return "the file does not exist";
    case ELOOP:
        return "its symbolic links go round in a loop";
    case EACCES:
        return "a folder on its way cannot be entered (permission denied)";
    case ENOTDIR:
        return "a part of its path is a file, not a folder";
    case ENAMETOOLONG:
        return "its name is longer than the system allows";
    default:
        return SystemErrorText(code);
    }
}

std::string NotRegularText(unsigned mode) {
    const char* what = S_ISDIR(mode)                    ? "a folder"
                       : S_ISFIFO(mode)                 ? "a pipe"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                       : S_ISSOCK(mode)                 ? "a socket"
                                                        : nullptr;
    return what == nullptr ? "not a regular file" : std::string(what) + ", not a regular file";
}

int OpenRegularFile(const std::filesystem::path& path, int flags, unsigned mode,
                    std::string* error) {
    const auto fail = [error](const std::string& why, int code) {
        if (error) *error = why;
        errno = code;
        return -1;
    };
    // Something other than a regular file is not even opened: opening a device can act
    // on it, and opening a pipe waits for its other end.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        return fail(NotRegularText(st.st_mode), S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    }
    // Whatever the name leads to by the time of the open is checked again: without
    // O_NONBLOCK a pipe put there meanwhile would hold the open.
    const int fd =
        ::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, static_cast<mode_t>(mode));
    if (fd < 0) {
        const int code = errno;
        return fail(SystemErrorText(code), code);
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0) {
        const int code = errno;
        ::close(fd);
        return fail(SystemErrorText(code), code);
    }
    if (!S_ISREG(opened.st_mode)) {
        ::close(fd);
        return fail(NotRegularText(opened.st_mode), S_ISDIR(opened.st_mode) ? EISDIR : EINVAL);
    }
    // Regular files never block; the flag is dropped so that nothing later depends on it.
    const int status = ::fcntl(fd, F_GETFL);
    if (status != -1) (void)::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
    return fd;
}

RegularFileRead ReadRegularFile(const std::filesystem::path& path, std::size_t limit) {
    RegularFileRead read;
    std::string why;
    errno = 0;
    const int fd = OpenRegularFile(path, O_RDONLY, 0, &why);
    if (fd < 0) {
        read.found = errno != ENOENT;
        const std::string unreachable = WhyUnreachable(path);
        read.error = unreachable.empty() ? why : unreachable;
        return read;
    }
    read.found = true;
    // A file may grow while it is read, so its length is what the reads give, not what
    // stat said; one byte past the limit tells a file that is too long from one that fits.
    const std::size_t wanted = limit < SIZE_MAX ? limit + 1 : limit;
    std::string bytes;
    for (;;) {
        const std::size_t room = std::min(kReadPiece, wanted - bytes.size());
        const std::size_t at = bytes.size();
        bytes.resize(at + room);
        const ssize_t n = ::read(fd, bytes.data() + at, room);
        if (n < 0 && errno == EINTR) {
            bytes.resize(at);
            continue;
        }
        if (n < 0) {
            read.error = SystemErrorText(errno);
            ::close(fd);
            return read;
        }
        bytes.resize(at + static_cast<std::size_t>(n));
        if (n == 0) break;
        if (bytes.size() > limit) {
            read.tooLong = true;
            read.error = "longer than " + std::to_string(limit) + " bytes";
            ::close(fd);
            return read;
        }
    }
    ::close(fd);
    read.ok = true;
    read.bytes = std::move(bytes);
    return read;
}

} // namespace zorva
