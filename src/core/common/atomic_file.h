#pragma once

#include <filesystem>
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

// Appends `bytes` to `path` (created when missing) whole or not at all: when a write, the
// sync or the close fails, the file is cut back to its length before, and a file this call
// created is removed again. `error` (when given) says why. Temporaries that an interrupted
// replacement of the same file left behind are removed first.
bool AppendToFileWhole(const std::filesystem::path& path, std::string_view bytes,
                       std::string* error = nullptr);

// Removes the temporaries that saves of `path` left beside it when they were cut short (a
// kill, a power cut): files named after it with ".tmp" and digits that no running save
// holds. The program calls this at start-up for the files it keeps.
void RemoveStaleTemporaries(const std::filesystem::path& path);

} // namespace zorva
