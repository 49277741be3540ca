// The table of options: each option declared once, and what is made of it.
#include "core/options/option_table.h"

#include <array>
#include <cmath>

#include "core/chart/chart_geometry.h"
#include "core/ephemeris/horizon.h"
#include "core/images/camera_time.h"
#include "core/layout/picker_layout.h"
#include "core/text/format.h"
#include "core/text/parse.h"

namespace zorva {

namespace {

using Kind = OptionMenu::Kind;
using Row = OptionRow;
using C = OptionCodec;
using E = OptionEffect;

// The makings of a row's menu.
constexpr OptionPlace Item(std::string_view menu, int32_t block, std::string_view name,
                           std::string_view caption, int32_t value = 1) {
    return {menu, block, {{{name, caption, value}}}, {}, {}, {}, {}};
}
constexpr OptionPlace Place(std::string_view menu, int32_t block, std::array<OptionItem, 3> items,
                            std::string_view submenu = {}, std::string_view submenuCaption = {},
                            std::string_view prefix = {}) {
    return {menu, block, items, submenu, submenuCaption, prefix, {}};
}
// A colour submenu, whose caption is always "   Colour".
constexpr OptionPlace Submenu(std::string_view menu, int32_t block, std::string_view submenu,
                              std::string_view prefix, std::string_view suffix = {}) {
    return {menu, block, {}, submenu, "   Colour", prefix, suffix};
}
constexpr OptionMenu Check(OptionPlace at, OptionPlace second = {}) {
    return {Kind::Check, {at, second}, 0, false};
}
constexpr OptionMenu Flag(OptionPlace at, int32_t other) {
    return {Kind::Flag, {at, {}}, other, false};
}
constexpr OptionMenu Choice(OptionPlace at) {
    return {Kind::Choice, {at, {}}, 0, false};
}
constexpr OptionMenu TwoWay(OptionPlace at) {
    return {Kind::TwoWay, {at, {}}, 0, false};
}
constexpr OptionMenu Colour(OptionPlace at, OptionPlace second = {}) {
    return {Kind::Colour, {at, second}, 0, false};
}
constexpr OptionMenu Precision(OptionPlace at) {
    return {Kind::Precision, {at, {}}, 0, false};
}
constexpr OptionMenu ForPictures(OptionMenu menu) {
    menu.picturesOnly = true;
    return menu;
}

constexpr int32_t Code(FigureForm f) {
    return static_cast<int32_t>(f);
}
constexpr int32_t Code(Orientation o) {
    return static_cast<int32_t>(o);
}
// The separation path as line 24 holds it, and an orientation as line 28 and the options
// file hold it.
constexpr std::array<EnumCode, 2> kPathCodes = {
    {{1, Code(FigureForm::LongitudeArc)}, {2, Code(FigureForm::GreatCircle)}}};
constexpr std::array<EnumCode, 3> kOrientationCodes = {{{1, Code(Orientation::Equatorial)},
                                                        {2, Code(Orientation::RotationAxis)},
                                                        {3, Code(Orientation::AltAzimuth)}}};

// Floats are written in the general format with 6 significant digits, as text streams do.
constexpr int kWrittenDigits = 6;

// A declared row with its name and the member it reaches.
OptionRow Named(OptionRow row, std::string_view name, OptionField field) {
    row.name = name;
    row.field = field;
    return row;
}

// Each row names only what differs from a row's defaults; the compiler is told that this
// is meant.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#define ZORVA_OPTION_ROW(type, member, first, row)                                                 \
    Named(                                                                                         \
        row, #member, +[](Options& o) -> type& { return o.member; }),
const std::array kRows = {ZORVA_OPTIONS(ZORVA_OPTION_ROW)};
#undef ZORVA_OPTION_ROW
#pragma GCC diagnostic pop

const auto& AllRows() {
    return kRows;
}

constexpr std::array<std::pair<const char*, uint32_t>, 5> kColourItems = {{
    {"Black", kColourBlack},
    {"Red", kColourRed},
    {"Green", kColourGreen},
    {"Blue", kColourBlue},
    {"White", kColourWhite},
}};

// `v` cut to `digits` significant digits, downwards or upwards.
double CutToDigits(double v, int digits, bool down) {
    const double exponent = std::floor(std::log10(std::fabs(v)));
    const double scale = std::pow(10.0, digits - 1 - exponent);
    const double scaled = v * scale;
    return (down ? std::floor(scaled) : std::ceil(scaled)) / scale;
}

// A value as the file holds it, in six significant digits, that reads back inside the
// range `usable` accepts when the value itself lies inside: where rounding to the nearest
// would cross the edge (2000 mm is 78.740157 in, which rounds to 78.7402 in, beyond it),
// the value is cut towards itself at the sixth digit instead (78.7401 in).
template <class Usable> std::string RealWithin(double v, const Usable& usable) {
    const std::string nearest = GeneralText(v, kWrittenDigits);
    const std::optional<double> back = ParseReal(nearest);
    if (!std::isfinite(v) || v == 0 || !usable(v) || !back || usable(*back)) return nearest;
    const std::string cut = GeneralText(CutToDigits(v, kWrittenDigits, *back > v), kWrittenDigits);
    const std::optional<double> cutBack = ParseReal(cut);
    return cutBack && usable(*cutBack) ? cut : nearest;
}

// The value of a row as a whole number, for the menus (booleans as 0 and 1).
int64_t Whole(const OptionRow& row, const Options& options) {
    Options& o = const_cast<Options&>(options); // the accessors reach; nothing is changed
    return std::visit(
        [&o](auto field) -> int64_t {
            using T = std::decay_t<decltype(field(o))>;
            if constexpr (std::is_same_v<T, DateLayout> || std::is_same_v<T, double> ||
                          std::is_same_v<T, std::vector<std::string>> ||
                          std::is_same_v<T, std::string>) {
                return 0;
            } else {
                return static_cast<int64_t>(field(o));
            }
        },
        row.field);
}

// Sets a row's value from a whole number, as the menus give it.
void SetWhole(const OptionRow& row, Options& options, int64_t value) {
    std::visit(
        [&](auto field) {
            auto& v = field(options);
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, bool>) {
                v = value != 0;
            } else if constexpr (std::is_same_v<T, int32_t> || std::is_same_v<T, uint32_t> ||
                                 std::is_enum_v<T>) {
                v = static_cast<T>(value);
            }
        },
        row.field);
}

// The items of a precision group: as many as it gives captions.
int32_t PrecisionCount(const OptionPlace& at) {
    int32_t count = 0;
    for (const OptionItem& item : at.items) {
        if (!item.caption.empty()) ++count;
    }
    return count;
}

} // namespace

int32_t StoredCode(const OptionRow& row, int32_t value) {
    for (const EnumCode& c : row.codes) {
        if (c.value == value) return c.stored;
    }
    return row.codes.empty() ? value : row.codes.front().stored;
}

std::optional<int32_t> CodedValue(const OptionRow& row, int32_t stored) {
    for (const EnumCode& c : row.codes) {
        if (c.stored == stored) return c.value;
    }
    return std::nullopt;
}

std::span<const OptionRow> OptionTable() {
    return AllRows();
}

const OptionRow* FindOption(std::string_view name) {
    for (const OptionRow& row : AllRows()) {
        if (row.name == name) return &row;
    }
    return nullptr;
}

const std::vector<OptionMenuItem>& OptionMenuItems() {
    static const std::vector<OptionMenuItem> items = [] {
        std::vector<OptionMenuItem> out;
        const auto add = [&out](const OptionRow& row, const OptionPlace& at, std::string name,
                                std::string_view caption, int64_t value, bool last = false) {
            out.push_back({std::move(name), &row, value, last, std::string(caption), &at});
        };
        for (const OptionRow& row : AllRows()) {
            for (const OptionPlace& at : row.menu.places) {
                if (at.menu.empty()) continue;
                switch (row.menu.kind) {
                case Kind::None:
                    break;
                case Kind::Check:
                case Kind::Flag:
                case Kind::Choice:
                case Kind::TwoWay:
                    for (const OptionItem& item : at.items) {
                        if (!item.name.empty()) {
                            add(row, at, std::string(item.name), item.caption, item.value);
                        }
                    }
                    break;
                case Kind::Colour:
                    for (const auto& [colour, value] : kColourItems) {
                        add(row, at, std::string(at.prefix) + colour + std::string(at.suffix),
                            colour, value);
                    }
                    break;
                case Kind::Precision: {
                    const int32_t count = PrecisionCount(at);
                    for (int32_t i = 1; i <= count; ++i) {
                        add(row, at, std::string(at.prefix) + std::to_string(i),
                            at.items[static_cast<std::size_t>(i - 1)].caption, i, i == count);
                    }
                    break;
                }
                }
            }
        }
        return out;
    }();
    return items;
}

const OptionMenuItem* FindOptionMenuItem(std::string_view name) {
    for (const OptionMenuItem& item : OptionMenuItems()) {
        if (item.name == name) return &item;
    }
    return nullptr;
}

bool OptionMenuChecked(const OptionMenuItem& item, const Options& options) {
    const int64_t v = Whole(*item.row, options);
    switch (item.row->menu.kind) {
    case Kind::Check:
        return v != 0;
    case Kind::Colour:
        return static_cast<uint32_t>(v) == static_cast<uint32_t>(item.value);
    case Kind::Precision:
        return item.last ? !(v >= 1 && v < PrecisionCount(*item.place)) : v == item.value;
    default:
        return v == item.value;
    }
}

std::map<std::string, bool> OptionMenuChecks(const Options& options) {
    std::map<std::string, bool> checks;
    for (const OptionMenuItem& item : OptionMenuItems()) {
        checks[item.name] = OptionMenuChecked(item, options);
    }
    return checks;
}

void ClickOptionItem(const OptionMenuItem& item, Options& options) {
    const OptionRow& row = *item.row;
    const int64_t v = Whole(row, options);
    int64_t next = item.value;
    switch (row.menu.kind) {
    case Kind::Check:
        next = v == 0 ? 1 : 0;
        break;
    case Kind::Flag:
        if (v == item.value) next = row.menu.other;
        break;
    case Kind::TwoWay:
        if (v == item.value) {
            for (const OptionItem& other : item.place->items) {
                if (!other.name.empty() && other.value != item.value) next = other.value;
            }
        }
        break;
    default:
        break;
    }
    SetWhole(row, options, next);
}

std::string OptionText(const OptionRow& row, const Options& options) {
    Options& o = const_cast<Options&>(options); // the accessors reach; nothing is changed
    return std::visit(
        [&](auto field) -> std::string {
            const auto& v = field(o);
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, bool>) {
                switch (row.codec) {
                case OptionCodec::UnitWord:
                    return v ? "inch" : "mm";
                case OptionCodec::DateWord:
                    return v ? "long" : "short";
                case OptionCodec::GridWord:
                    return v ? "mm" : "inch";
                default:
                    return v ? "true" : "false";
                }
            } else if constexpr (std::is_same_v<T, int32_t>) {
                return std::to_string(v);
            } else if constexpr (std::is_enum_v<T>) {
                return std::to_string(StoredCode(row, static_cast<int32_t>(v)));
            } else if constexpr (std::is_same_v<T, double>) {
                // The values a reading takes back: the box's rule, the diameter's range in
                // the unit written, or the row's range.
                const auto usable = [&](double x) {
                    double holder = 0;
                    if (row.accept != nullptr) return row.accept(x, holder);
                    if (&v == &o.DiamValue) {
                        return IsUsableChartDiameter(o.DiamInInches ? x * MmPerInch : x);
                    }
                    return x >= row.low && x <= row.high;
                };
                return RealWithin(v, usable);
            } else if constexpr (std::is_same_v<T, uint32_t>) {
                return std::string(ColourCode(v));
            } else if constexpr (std::is_same_v<T, std::vector<std::string>>) {
                return v.empty() ? std::string() : v.front();
            } else if constexpr (std::is_same_v<T, std::string>) {
                return v;
            } else {
                std::string text;
                for (const int32_t n : {v.DatePickerLeft, v.DatePickerWidth, v.TimePickerLeft,
                                        v.TimePickerWidth, v.UTCaptionLeft, v.UTCaptionWidth}) {
                    text += (text.empty() ? "" : " ") + std::to_string(n);
                }
                return text;
            }
        },
        row.field);
}

namespace {
// The key of a list's `n`th path, from 1.
std::string PathKey(const OptionRow& row, std::size_t n) {
    return std::string(row.key) + std::to_string(n);
}
} // namespace

std::map<std::string, std::string> OptionsFileEntries(const Options& options) {
    std::map<std::string, std::string> entries;
    for (const OptionRow& row : AllRows()) {
        if (row.line != 0) continue;
        if (row.codec != OptionCodec::Paths) {
            entries[std::string(row.key)] = OptionText(row, options);
            continue;
        }
        // Every key of the list is written, so a shorter list leaves no old path behind.
        const auto& paths = std::get<std::vector<std::string>& (*)(Options&)>(row.field)(
            const_cast<Options&>(options)); // the accessor reaches; nothing is changed
        for (std::size_t n = 1; n <= RecentFileCount; ++n) {
            entries[PathKey(row, n)] = n <= paths.size() ? paths[n - 1] : std::string();
        }
    }
    return entries;
}

void ApplyOptionsFileEntries(const std::map<std::string, std::string>& entries, Options& options,
                             std::string* error) {
    const auto note = [error](const std::string& what) {
        if (error != nullptr && error->empty()) *error = what;
    };
    for (const OptionRow& row : AllRows()) {
        if (row.line != 0) continue;
        if (row.codec == OptionCodec::Paths) {
            auto& paths = std::get<std::vector<std::string>& (*)(Options&)>(row.field)(options);
            paths.clear();
            for (std::size_t n = 1; n <= RecentFileCount; ++n) {
                const auto it = entries.find(PathKey(row, n));
                if (it != entries.end()) RememberPath(paths, it->second, false);
            }
            continue;
        }
        const auto it = entries.find(std::string(row.key));
        if (it == entries.end()) continue;
        const std::string& text = it->second;
        std::visit(
            [&](auto field) {
                auto& v = field(options);
                using T = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<T, bool>) {
                    if (text == "true") {
                        v = true;
                    } else if (text == "false") {
                        v = false;
                    } else {
                        note(std::string(row.key) + ": unreadable value \"" + text + "\"");
                    }
                } else if constexpr (std::is_same_v<T, int32_t>) {
                    const auto n = ParseInt32(text);
                    if (n && *n >= row.low && *n <= row.high) {
                        v = *n;
                    } else {
                        note(std::string(row.key) + ": unreadable value \"" + text + "\"");
                    }
                } else if constexpr (std::is_enum_v<T>) {
                    const auto n = ParseInt32(text);
                    const auto value = n ? CodedValue(row, *n) : std::nullopt;
                    if (value) {
                        v = static_cast<T>(*value);
                    } else {
                        note(std::string(row.key) + ": unreadable value \"" + text + "\"");
                    }
                } else if constexpr (std::is_same_v<T, double>) {
                    const auto n = ParseReal(text);
                    if (n && *n >= row.low && *n <= row.high) {
                        v = *n;
                    } else {
                        note(std::string(row.key) + ": unreadable value \"" + text + "\"");
                    }
                } else if constexpr (std::is_same_v<T, std::string>) {
                    v = text;
                } else {
                    note(std::string(row.key) + ": no value of this kind is kept there");
                }
            },
            row.field);
    }
}

} // namespace zorva
