#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace zorva {

// The program's own options beyond the two settings files, whose format is fixed: one
// "key=value" line each under a "[General]" heading, in the working folder.
inline constexpr std::string_view kOptionsFileName = "ZorvaOptions.ini";

// Every key with its value, as text.
using OptionValues = std::map<std::string, std::string>;

struct OptionsLoad {
    OptionValues values;
    bool found = false; // there was something of that name
    bool read = false;  // and its text was read whole
    // Why the file could not be read, or the first line that could not be; empty when none.
    std::string error;
};

// Reads the options from the text of an options file. Blank lines and lines starting with
// ';' or '#' are skipped; keys under a heading other than "[General]" are kept as
// "Heading/key". A value in double quotes loses them (and its \" and \\ escapes); otherwise
// it is the text after the '=' without the blanks around it. A line without '=' is noted in
// `error` and skipped.
OptionsLoad ReadOptionsText(std::string_view text);

// Reads the options file at `path`: a regular file (a link is followed), read only up to a
// size no options file reaches. A missing file gives no values and no error; a folder, a
// pipe, a device or a file that cannot be read gives no values and says why.
OptionsLoad LoadOptionsFile(const std::filesystem::path& path);

struct OptionsSave {
    bool ok = false;
    std::string error; // why not
};

// The text of an options file holding `values`; nothing when a key or value cannot be
// stored (a key that is empty or holds '=', '[', ';', '#' or a line break, a value that
// holds a line break), with `error` saying which.
std::optional<std::string> OptionsFileText(const OptionValues& values, std::string* error);

// Replaces the options file at `path` with `values`, whole or not at all, as the settings
// are saved (a link keeps pointing where it did; only a regular file is replaced).
OptionsSave SaveOptionsFile(const std::filesystem::path& path, const OptionValues& values);

// Sets the keys of `changes` in the options file at `path` and keeps every other key it
// holds; a key changed to an empty value is taken out. A file that is there but cannot be
// read is left alone, and the save fails.
OptionsSave StoreOptions(const std::filesystem::path& path, const OptionValues& changes);

} // namespace zorva
