#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/options/recent_files.h"
#include "core/settings/settings_file.h"

namespace zorva {

// How an option's value is written, and read back.
enum class OptionCodec {
    Bool,     // "true" or "false"
    Int,      // a whole decimal number
    Real,     // the general format with six significant digits
    Colour,   // three letters: "bla", "red", "gre", "blu" or "whi"
    Layout,   // six whole numbers: the pickers' left edges and widths
    UnitWord, // "inch" when true, else "mm"; its first letter is what counts
    DateWord, // "long" when true, else "short"; first letter "l" is long
    GridWord, // "mm" when true, else "inch"; first letter "m" is mm
    Paths,    // a list of file paths, one key each: key1 .. keyN (RecentFileCount), the
              // first the latest; an empty value holds no path
    Enum,     // a whole number standing for a choice, by the row's codes
};

// A choice of an enumerated option and the whole number that stands for it in a file.
struct EnumCode {
    int32_t stored;
    int32_t value; // the enumerator, as a whole number
};

// Where an option's value lives in the record of options.
using OptionField = std::variant<bool& (*)(Options&), int32_t& (*)(Options&), double& (*)(Options&),
                                 uint32_t& (*)(Options&), DateLayout& (*)(Options&),
                                 std::vector<std::string>& (*)(Options&), FigureForm& (*)(Options&),
                                 Orientation& (*)(Options&)>;

// How the menus show an option.
struct OptionMenu {
    enum class Kind {
        None,      // no menu item
        Check,     // the items named are checked while the value is true
        Colour,    // the five items prefix + Black .. White + suffix; the value's is checked
        Choice,    // the item whose value is the option's is checked
        Precision, // prefix1 .. prefixN; 1 .. N-1 check their own, anything else the last
    };
    Kind kind = Kind::None;
    std::array<std::string_view, 2> names{}; // Check: one or two items; Colour, Precision:
                                             // prefix and suffix
    std::array<std::pair<std::string_view, int32_t>, 2> choices{}; // Choice items and values
    int32_t count = 0;                                             // Precision items
};

// One option: its name, where it is stored (a line of the settings file, whose layout is
// fixed, or a key of the program's own options file), how it is written, the values it
// may take, and the menu items that show it. Its type and its default are its member's in
// Options.
struct OptionRow {
    std::string_view name;
    int32_t line = 0;     // settings-file line, 1..36; 0 for the options file
    std::string_view key; // options-file key
    OptionCodec codec = OptionCodec::Bool;
    OptionField field;
    // A number outside low..high is refused on reading; `accept`, when there is one, takes
    // it as the matching edit box does (checked, and folded where the box folds).
    double low = -1e300;
    double high = 1e300;
    bool (*accept)(double value, double& holder) = nullptr;
    OptionMenu menu;
    // An Enum row's choices as its file writes them; a number none of them has keeps the
    // value held.
    std::span<const EnumCode> codes;
};

// The stored number of an Enum row's choice, and the choice a stored number stands for.
int32_t StoredCode(const OptionRow& row, int32_t value);
std::optional<int32_t> CodedValue(const OptionRow& row, int32_t stored);

// Every option, the settings file's in the file's order, then the options file's.
std::span<const OptionRow> OptionTable();

// A row by its name; nothing for a name no option has.
const OptionRow* FindOption(std::string_view name);

// A menu item that shows an option, and the value of the option that checks it (for a
// Precision group's last item, any value the others do not take).
struct OptionMenuItem {
    std::string name;
    const OptionRow* row = nullptr;
    int64_t value = 0;
    bool last = false; // a Precision group's last item
};
// Every such item, in the table's order; made once.
const std::vector<OptionMenuItem>& OptionMenuItems();
// Whether the item is checked for the values held.
bool OptionMenuChecked(const OptionMenuItem& item, const Options& options);

// The check mark of each menu item that shows an option, for the values held.
std::map<std::string, bool> OptionMenuChecks(const Options& options);

// The options file's keys and value texts for the values held, and the values a file's
// keys give; a key that is missing or whose text cannot be read keeps its value, and
// `error` (when given) names the first such key.
std::map<std::string, std::string> OptionsFileEntries(const Options& options);
void ApplyOptionsFileEntries(const std::map<std::string, std::string>& entries, Options& options,
                             std::string* error = nullptr);

// One row's value as the settings file writes it ("true", "150", "blu", ...).
std::string OptionText(const OptionRow& row, const Options& options);

} // namespace zorva
