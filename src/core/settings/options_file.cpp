#include "core/settings/options_file.h"

#include "core/common/atomic_file.h"
#include "core/common/regular_file.h"

namespace zorva {

namespace {

// The heading of the keys that belong to no other.
constexpr std::string_view kGeneralHeading = "General";
constexpr std::string_view kBlanks = " \t\r";

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// A value as written: in double quotes when it starts or ends with a blank or a quote, or
// holds a character a line's reading would take for something else, so that it reads
// back the same.
bool NeedsQuotes(std::string_view value) {
    return !value.empty() && (value.find_first_of("\"\\;#") != std::string_view::npos ||
                              kBlanks.find(value.front()) != std::string_view::npos ||
                              kBlanks.find(value.back()) != std::string_view::npos);
}

std::string Unquoted(std::string_view value) {
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') {
        return std::string(value);
    }
    std::string out;
    for (std::size_t i = 1; i + 1 < value.size(); ++i) {
        if (value[i] == '\\' && i + 2 < value.size()) ++i;
        out.push_back(value[i]);
    }
    return out;
}

std::string Quoted(std::string_view value) {
    std::string out = "\"";
    for (const char c : value) {
        if (c == '"' || c == '\\') out.push_back('\\');
        out.push_back(c);
    }
    return out + "\"";
}

} // namespace

OptionsLoad ReadOptionsText(std::string_view text) {
    OptionsLoad load;
    std::string heading(kGeneralHeading);
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            heading = std::string(Trimmed(line.substr(1, line.size() - 2)));
            continue;
        }
        const std::size_t equals = line.find('=');
        const std::string_view key =
            equals == std::string_view::npos ? std::string_view{} : Trimmed(line.substr(0, equals));
        if (key.empty()) {
            if (load.error.empty()) {
                load.error = "line " + std::to_string(lineNumber) + ": no \"key=value\"";
            }
            continue;
        }
        const std::string name =
            heading == kGeneralHeading ? std::string(key) : heading + "/" + std::string(key);
        load.values[name] = Unquoted(Trimmed(line.substr(equals + 1)));
    }
    return load;
}

OptionsLoad LoadOptionsFile(const std::filesystem::path& path) {
    const RegularFileRead file = ReadRegularFile(path);
    if (!file.ok) {
        OptionsLoad load;
        load.found = file.found;
        if (file.found) load.error = file.error;
        return load;
    }
    OptionsLoad load = ReadOptionsText(file.bytes);
    load.found = true;
    load.read = true;
    return load;
}

std::optional<std::string> OptionsFileText(const OptionValues& values, std::string* error) {
    std::string text = "[" + std::string(kGeneralHeading) + "]\n";
    for (const auto& [key, value] : values) {
        const bool keyStored = !key.empty() && key.find_first_of("=[;#\r\n") == std::string::npos &&
                               Trimmed(key) == key;
        if (!keyStored || value.find_first_of("\r\n") != std::string::npos) {
            if (error) *error = "the option \"" + key + "\" cannot be stored";
            return std::nullopt;
        }
        text += key + "=" + (NeedsQuotes(value) ? Quoted(value) : value) + "\n";
    }
    return text;
}

OptionsSave SaveOptionsFile(const std::filesystem::path& path, const OptionValues& values) {
    OptionsSave save;
    std::string why;
    const std::optional<std::string> text = OptionsFileText(values, &why);
    save.ok = text && WriteFileAtomically(path, *text, &why);
    if (!save.ok) save.error = why;
    return save;
}

OptionsSave StoreOptions(const std::filesystem::path& path, const OptionValues& changes) {
    OptionsLoad load = LoadOptionsFile(path);
    if (load.found && !load.read) return {false, load.error};
    for (const auto& [key, value] : changes) {
        if (value.empty()) {
            load.values.erase(key);
        } else {
            load.values[key] = value;
        }
    }
    return SaveOptionsFile(path, load.values);
}

} // namespace zorva
