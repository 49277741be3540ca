#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zorva {

// Replaces `path` with `bytes` so that a crash, a full disk or a failed write leaves
// either the old file or the whole new one: the bytes go to a new temporary file in the
// same folder, which is flushed, synced to the disk and closed, each step checked, and
// only then renamed over the target. On failure the temporary is removed, the old file
// is untouched, and `error` (when given) says why.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error = nullptr);

} // namespace zorva
