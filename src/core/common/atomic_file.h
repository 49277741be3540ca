#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace zorva {

// Replaces `path` with `bytes` so that a crash, a kill, a full disk or a failed write
// leaves either the old file or the whole new one: the bytes go to a new temporary file in
// the same folder, which is written, synced to the disk and closed, each step checked, and
// only then renamed over the target; the folder is synced after. A symbolic link keeps
// pointing where it did (the file it leads to is replaced), and the new file keeps the old
// one's permissions. Only regular files are replaced: a device, a pipe or a folder of that
// name is refused. On failure the temporary is removed, the old file is untouched, and
// `error` (when given) says why. Temporaries that an interrupted save of the same file left
// behind are removed first.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error = nullptr);

// Looks at a file about to be appended to, under the append's lock: `fd` is open on it for
// reading and writing, `length` bytes long. It may cut the file back (with CutFileEndAlone,
// and then sets `length`), and gives in `lead` what to write before the new bytes. False,
// with `error` set, stops the append.
using AppendPreparation =
    std::function<bool(int fd, int64_t& length, std::string& lead, std::string& error)>;
// Runs once the bytes are written and synced, still under the lock: `end` is where they end,
// so they lie at end - bytes.size().
using AppendFinish = std::function<void(int fd, int64_t end)>;

// Appends `bytes` to `path` (created when missing) whole or not at all. Only a regular file
// is appended to (a link is followed; a folder, pipe or device is refused without waiting on
// it). Every append holds an exclusive advisory lock (flock) on the file from before it
// looks at the file until the bytes are synced, so that appends of several processes
// neither mix nor see each other half done; one that cannot get the lock within seconds
// fails. `prepare`, when given, runs first under the lock. The lead and the bytes then go
// out in one write on a descriptor opened for appending, so the system puts them at the
// file's true end even when another program that takes no lock has just written there.
// When the write or the sync fails, what it put there is cut off again (while the file
// still ends with it and no other program has the file open), and a file this call created
// is removed again. `error` (when given) says why. Temporaries that an interrupted
// replacement of the same file left behind are removed first.
bool AppendToFileWhole(const std::filesystem::path& path, std::string_view bytes,
                       std::string* error = nullptr, const AppendPreparation& prepare = {},
                       const AppendFinish& finish = {});

// Whether a file's end may be cut off, looked at on `fd` (`length` bytes long now) at the
// moment of the cut: false with `why` keeps the file as it is.
using CutCheck = std::function<bool(int fd, int64_t length, std::string& why)>;

// Cuts the file open on `fd` back to `keep` bytes in place, when `check` accepts it as it is
// then. No other program may write to it between the check and the cut: the file is held
// alone with a lease, which any other opening of it waits for, so a file some other program
// has open is left as it is ("another program has it open") and one that opens it meanwhile
// waits the moment the cut takes. On a file system without leases, the cut follows the
// check at once. The caller holds the appends' lock. False with `why` when the file is kept.
bool CutFileEndAlone(int fd, int64_t keep, const CutCheck& check, std::string& why);

// Takes the appends' lock on the regular file `path` (a link is followed) and cuts it back
// to `keep` bytes with CutFileEndAlone. False, with `error` (when given) saying why, when
// the file cannot be opened, locked or cut, or `check` refused.
bool CutFileEnd(const std::filesystem::path& path, int64_t keep, const CutCheck& check,
                std::string* error = nullptr);

// Removes the temporaries that saves of `path` left beside it when they were cut short (a
// kill, a power cut): files with the names TemporaryName gives for it that no running save
// holds. The program calls this at start-up for the files it keeps.
void RemoveStaleTemporaries(const std::filesystem::path& path);

// The name of a temporary of a save of `target`, in the target's folder: short and of its
// own (".zorva-", a 16-digit fingerprint of the target's name, ".", `number`, ".tmp"), so
// that a target whose name is as long as the system allows can still be saved.
std::string TemporaryName(const std::filesystem::path& target, uint64_t number);
// Whether the bare file name `name` is one TemporaryName gives for `target`.
bool IsTemporaryName(std::string_view name, const std::filesystem::path& target);

} // namespace zorva
