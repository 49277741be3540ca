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

#include "core/options/options.h"
#include "core/options/recent_files.h"

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
    Text,     // a line of text as it stands (a file path, a name); empty when not set
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
                                 Orientation& (*)(Options&), std::string& (*)(Options&)>;

// A menu item of an option: its name, its caption, and the value it stands for.
struct OptionItem {
    std::string_view name;
    std::string_view caption;
    int32_t value = 1;
};

// Where an option's items stand: in which menu, in which of the menu's blocks (the window
// leaves a place for each block among its commands; within a block the options stand in
// the table's order), and for a colour or a precision group the submenu that holds them,
// whose items are named prefix + colour + suffix (Black .. White) or prefix + 1 .. N.
struct OptionPlace {
    std::string_view menu;
    int32_t block = 0;
    std::array<OptionItem, 3> items{}; // a Precision group's give only their captions
    std::string_view submenu;
    std::string_view submenuCaption;
    std::string_view prefix;
    std::string_view suffix;
};

// How the menus show an option, and what a click on one of its items does.
struct OptionMenu {
    enum class Kind {
        None,      // no menu item
        Check,     // checked while the value is true; a click turns it over
        Flag,      // checked while the value is the item's; a click on it checked sets `other`
        Choice,    // the item whose value is the option's is checked; a click sets its value
        TwoWay,    // as Choice, but a click on the checked item sets the other item's value
        Colour,    // the five colour items; the value's is checked
        Precision, // items 1 .. N; 1 .. N-1 check their own, any other value the last
    };
    Kind kind = Kind::None;
    std::array<OptionPlace, 2> places{}; // one, or two menus showing the same option
    int32_t other = 0;
    bool picturesOnly = false; // enabled only while a picture is shown
};

// What the session does once a menu item has changed an option, besides keeping the value.
enum class OptionEffect {
    None,           // nothing: the value shows at the next drawing that reads it
    Redraw,         // the spot follows a separation's figure; what is shown is drawn again
    Recalculate,    // the recalculation cycle, as a change of the date runs it
    Readouts,       // the readouts and the spot's area are worked out again
    GridSize,       // the spot's grid cells take the new size
    RotationMarker, // the marker is shown or taken away; shown, the spot is shown too
    SpotShown,      // the spot is shown or hidden; it stays while a rotation marker is shown
    LimbSearch,     // the shown picture's limb is searched again the new way
};

// One option: its name, where it is stored (a line of the settings file, whose layout is
// fixed, or a key of the program's own options file), how it is written, the values it
// may take, the menu items that show it and what changing it from them does. Its type and
// its first-run value are the record's (core/options/options.h, where the row is declared).
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
    OptionEffect effect = OptionEffect::None;
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
    std::string caption;
    const OptionPlace* place = nullptr; // the menu it stands in
};
// Every such item, in the table's order; made once.
const std::vector<OptionMenuItem>& OptionMenuItems();
// The item of that name; nothing for a name no option's item has.
const OptionMenuItem* FindOptionMenuItem(std::string_view name);
// Whether the item is checked for the values held.
bool OptionMenuChecked(const OptionMenuItem& item, const Options& options);

// The check mark of each menu item that shows an option, for the values held.
std::map<std::string, bool> OptionMenuChecks(const Options& options);

// A click on the item: the option takes the value the item's kind gives it (core of the
// one command that changes an option from its menu).
void ClickOptionItem(const OptionMenuItem& item, Options& options);

// The options file's keys and value texts for the values held, and the values a file's
// keys give; a key that is missing or whose text cannot be read keeps its value, and
// `error` (when given) names the first such key.
std::map<std::string, std::string> OptionsFileEntries(const Options& options);
void ApplyOptionsFileEntries(const std::map<std::string, std::string>& entries, Options& options,
                             std::string* error = nullptr);

// One row's value as the settings file writes it ("true", "150", "blu", ...).
std::string OptionText(const OptionRow& row, const Options& options);

} // namespace zorva
