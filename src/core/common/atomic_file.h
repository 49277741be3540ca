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
// reading and writing, `length` bytes long. It may cut the file back (and then sets
// `length`), and gives in `lead` what to write before the new bytes. False, with `error`
// set, stops the append.
using AppendPreparation =
    std::function<bool(int fd, int64_t& length, std::string& lead, std::string& error)>;

// Appends `bytes` to `path` (created when missing) whole or not at all. Only a regular file
// is appended to (a link is followed; a folder, pipe or device is refused without waiting on
// it). Every append holds an exclusive advisory lock (flock) on the file from before it
// looks at the file until the bytes are synced, so that appends of several processes
// neither mix nor see each other half done; one that cannot get the lock within seconds
// fails. `prepare`, when given, runs first under the lock, and its `lead` is written on its
// own. The file then takes its new length and the bytes are written into it: a kill or a
// power cut in the middle leaves the bytes that made it followed by zeros to the new end,
// which is how the next append knows an unfinished one. When a write or the sync fails, the
// file is cut back to its length before (after `prepare`), and a file this call
// created is removed again. `error` (when given) says why. Temporaries that an interrupted
// replacement of the same file left behind are removed first.
bool AppendToFileWhole(const std::filesystem::path& path, std::string_view bytes,
                       std::string* error = nullptr, const AppendPreparation& prepare = {});

// What a rewrite makes of a file's present bytes: true with the new bytes in
// `replacement`, or false with `why` to leave the file as it is.
using RewriteEdit =
    std::function<bool(const std::string& bytes, std::string& replacement, std::string& why)>;

// Replaces the regular file `path` (a link is followed) with what `edit` makes of its
// bytes, whole or not at all as WriteFileAtomically does, while holding the lock every
// append takes (AppendToFileWhole): no append lands between the reading and the
// replacing, and one that waited for the lock goes to the new file. A file of more than
// `limit` bytes is refused. False, with `error` (when given) saying why, when the file
// cannot be read or written, or `edit` refused.
bool RewriteFileWhole(const std::filesystem::path& path, const RewriteEdit& edit, std::size_t limit,
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
