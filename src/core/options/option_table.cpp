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

// A field of the record, as the table reaches it.
#define ZORVA_FIELD(member) +[](Options& o) -> decltype(auto) { return (o.member); }

using Kind = OptionMenu::Kind;

constexpr OptionMenu Check(std::string_view item, std::string_view second = {}) {
    return {Kind::Check, {item, second}, {}, 0};
}
constexpr OptionMenu Colour(std::string_view prefix, std::string_view suffix = {}) {
    return {Kind::Colour, {prefix, suffix}, {}, 0};
}
constexpr OptionMenu Choice(std::string_view a, int32_t va, std::string_view b = {},
                            int32_t vb = 0) {
    return {Kind::Choice, {}, {{{a, va}, {b, vb}}}, 0};
}
constexpr OptionMenu Precision(std::string_view prefix, int32_t count) {
    return {Kind::Precision, {prefix, {}}, {}, count};
}

// Floats are written in the general format with 6 significant digits, as text streams do.
constexpr int kWrittenDigits = 6;

using C = OptionCodec;

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

// Each row names only what differs from a row's defaults; the compiler is told that this
// is meant.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
const std::array kRows = {
    OptionRow{
        .name = "HideWelcome", .line = 1, .codec = C::Bool, .field = ZORVA_FIELD(HideWelcome)},
    OptionRow{.name = "FlipSign", .line = 2, .codec = C::Int, .field = ZORVA_FIELD(FlipSign)},
    OptionRow{.name = "MirrorSign", .line = 3, .codec = C::Int, .field = ZORVA_FIELD(MirrorSign)},
    OptionRow{.name = "DiamInInches",
              .line = 4,
              .codec = C::UnitWord,
              .field = ZORVA_FIELD(DiamInInches)},
    OptionRow{.name = "DiamValue", .line = 5, .codec = C::Real, .field = ZORVA_FIELD(DiamValue)},
    OptionRow{.name = "DateLong",
              .line = 6,
              .codec = C::DateWord,
              .field = ZORVA_FIELD(DateLong),
              .menu = Choice("DateLong", 1, "DateShort", 0)},
    OptionRow{.name = "ShortDateLayout",
              .line = 7,
              .codec = C::Layout,
              .field = ZORVA_FIELD(ShortDateLayout)},
    OptionRow{.name = "LongDateLayout",
              .line = 8,
              .codec = C::Layout,
              .field = ZORVA_FIELD(LongDateLayout)},
    OptionRow{.name = "GridMm",
              .line = 9,
              .codec = C::GridWord,
              .field = ZORVA_FIELD(GridMm),
              .menu = Choice("N1sqmm", 1, "N125sqin", 0)},
    OptionRow{.name = "ObserverLat",
              .line = 10,
              .codec = C::Real,
              .field = ZORVA_FIELD(ObserverLat),
              .low = -90,
              .high = 90,
              .accept = AcceptObserverLatitude},
    OptionRow{.name = "ObserverLong",
              .line = 10,
              .codec = C::Real,
              .field = ZORVA_FIELD(ObserverLong),
              .low = -180,
              .high = 360,
              .accept = AcceptObserverLongitude},
    OptionRow{.name = "NESWPoints",
              .line = 11,
              .codec = C::Bool,
              .field = ZORVA_FIELD(NESWPoints),
              .menu = Check("NESWPoints1")},
    OptionRow{.name = "ShowCentralMeridian",
              .line = 12,
              .codec = C::Bool,
              .field = ZORVA_FIELD(ShowCentralMeridian),
              .menu = Check("CentralMeridian1")},
    OptionRow{.name = "ShowEquator",
              .line = 13,
              .codec = C::Bool,
              .field = ZORVA_FIELD(ShowEquator),
              .menu = Check("Equator1")},
    OptionRow{.name = "ShowLatLines",
              .line = 14,
              .codec = C::Bool,
              .field = ZORVA_FIELD(ShowLatLines),
              .menu = Check("LatLines1")},
    OptionRow{.name = "ShowLongLines",
              .line = 15,
              .codec = C::Bool,
              .field = ZORVA_FIELD(ShowLongLines),
              .menu = Check("LongLines1")},
    OptionRow{.name = "CarringtonShown",
              .line = 16,
              .codec = C::Bool,
              .field = ZORVA_FIELD(Carrington.Shown),
              .menu = Check("RotationCarrington")},
    OptionRow{.name = "CarringtonColour",
              .line = 16,
              .codec = C::Colour,
              .field = ZORVA_FIELD(Carrington.Colour),
              .menu = Colour("Carr")},
    OptionRow{.name = "CarringtonLabel",
              .line = 16,
              .codec = C::Bool,
              .field = ZORVA_FIELD(Carrington.Label),
              .menu = Check("CarrLabel")},
    OptionRow{.name = "DifferentialShown",
              .line = 17,
              .codec = C::Bool,
              .field = ZORVA_FIELD(Differential.Shown),
              .menu = Check("RotationDifferential")},
    OptionRow{.name = "DifferentialColour",
              .line = 17,
              .codec = C::Colour,
              .field = ZORVA_FIELD(Differential.Colour),
              .menu = Colour("Diff")},
    OptionRow{.name = "DifferentialLabel",
              .line = 17,
              .codec = C::Bool,
              .field = ZORVA_FIELD(Differential.Label),
              .menu = Check("DiffLabel")},
    OptionRow{.name = "ScreenWidth",
              .line = 18,
              .codec = C::Int,
              .field = ZORVA_FIELD(ScreenWidth),
              .low = SmallestScreenSide,
              .high = LargestScreenSide},
    OptionRow{.name = "ScreenHeight",
              .line = 18,
              .codec = C::Int,
              .field = ZORVA_FIELD(ScreenHeight),
              .low = SmallestScreenSide,
              .high = LargestScreenSide},
    OptionRow{.name = "Sunspot",
              .line = 19,
              .codec = C::Bool,
              .field = ZORVA_FIELD(Sunspot),
              .menu = Check("Sunspot1")},
    OptionRow{.name = "Points",
              .line = 20,
              .codec = C::Bool,
              .field = ZORVA_FIELD(Points),
              .menu = Check("Points1")},
    OptionRow{.name = "Circle",
              .line = 21,
              .codec = C::Bool,
              .field = ZORVA_FIELD(Circle),
              .menu = Check("Circle1")},
    // Both region summary colour menus show the one colour.
    OptionRow{.name = "SRSColour",
              .line = 22,
              .codec = C::Colour,
              .field = ZORVA_FIELD(SRSColour),
              .menu = Colour("SRS")},
    OptionRow{.name = "SRSFileNameLabel",
              .line = 23,
              .codec = C::Bool,
              .field = ZORVA_FIELD(SRSFileNameLabel),
              .menu = Check("SRSFileNameLabel", "SRSFileNameLabel2")},
    OptionRow{.name = "SeparationPath",
              .line = 24,
              .codec = C::Enum,
              .field = ZORVA_FIELD(SeparationPath),
              .menu = Choice("LongitudeArc1", Code(FigureForm::LongitudeArc), "GreatCircle1",
                             Code(FigureForm::GreatCircle)),
              .codes = kPathCodes},
    OptionRow{.name = "SpotInMiddle",
              .line = 25,
              .codec = C::Bool,
              .field = ZORVA_FIELD(SpotInMiddle),
              .menu = Check("SpotinMiddle1")},
    OptionRow{.name = "DistColour1",
              .line = 26,
              .codec = C::Colour,
              .field = ZORVA_FIELD(DistColour1),
              .menu = Colour("Dist", "1")},
    OptionRow{.name = "DistColour2",
              .line = 27,
              .codec = C::Colour,
              .field = ZORVA_FIELD(DistColour2),
              .menu = Colour("Dist", "2")},
    OptionRow{.name = "OrientationMode",
              .line = 28,
              .codec = C::Enum,
              .field = ZORVA_FIELD(OrientationMode),
              .codes = kOrientationCodes},
    OptionRow{.name = "RAPrecision",
              .line = 29,
              .codec = C::Int,
              .field = ZORVA_FIELD(RAPrecision),
              .menu = Precision("PrecisionRA", 3)},
    OptionRow{.name = "DecPrecision",
              .line = 30,
              .codec = C::Int,
              .field = ZORVA_FIELD(DecPrecision),
              .menu = Precision("PrecisionDec", 3)},
    OptionRow{.name = "AltAziPrecision",
              .line = 31,
              .codec = C::Int,
              .field = ZORVA_FIELD(AltAziPrecision),
              .menu = Precision("PrecisionAltAzi", 3)},
    OptionRow{.name = "BLPPrecision",
              .line = 32,
              .codec = C::Int,
              .field = ZORVA_FIELD(BLPPrecision),
              .menu = Precision("PrecisionBLP", 2)},
    OptionRow{.name = "DiamPrecision",
              .line = 33,
              .codec = C::Int,
              .field = ZORVA_FIELD(DiamPrecision),
              .menu = Precision("PrecisionDia", 2)},
    OptionRow{.name = "LatLongPrecision",
              .line = 34,
              .codec = C::Int,
              .field = ZORVA_FIELD(LatLongPrecision),
              .menu = Precision("PrecisionLL", 2)},
    OptionRow{.name = "AreaPrecision",
              .line = 35,
              .codec = C::Int,
              .field = ZORVA_FIELD(AreaPrecision),
              .menu = Precision("PrecisionArea", 2)},
    OptionRow{.name = "LogFileMessageFlag",
              .line = 36,
              .codec = C::Int,
              .field = ZORVA_FIELD(LogFileMessageFlag),
              .menu = Choice("LogFileMessageBox1", 0)},
    OptionRow{.name = "PictureOrientation",
              .key = "PictureOrientation",
              .codec = C::Enum,
              .field = ZORVA_FIELD(PictureOrientation),
              .codes = kOrientationCodes},
    OptionRow{.name = "PictureFlipSign",
              .key = "PictureFlip",
              .codec = C::Int,
              .field = ZORVA_FIELD(PictureFlipSign),
              .low = -1,
              .high = 1},
    OptionRow{.name = "PictureMirrorSign",
              .key = "PictureMirror",
              .codec = C::Int,
              .field = ZORVA_FIELD(PictureMirrorSign),
              .low = -1,
              .high = 1},
    OptionRow{.name = "CameraClockOffsetMinutes",
              .key = "CameraClockOffset",
              .codec = C::Int,
              .field = ZORVA_FIELD(CameraClockOffsetMinutes),
              .low = -LargestClockOffsetMinutes,
              .high = LargestClockOffsetMinutes},
    OptionRow{.name = "WindowWidth",
              .key = "WindowWidth",
              .codec = C::Int,
              .field = ZORVA_FIELD(WindowWidth),
              .low = 0,
              .high = LargestScreenSide},
    OptionRow{.name = "WindowHeight",
              .key = "WindowHeight",
              .codec = C::Int,
              .field = ZORVA_FIELD(WindowHeight),
              .low = 0,
              .high = LargestScreenSide},
    OptionRow{.name = "SubPixelLimb",
              .key = "SubPixelLimb",
              .codec = C::Bool,
              .field = ZORVA_FIELD(SubPixelLimb),
              .menu = Check("SubPixelLimb1")},
    // File > Open Recent shows these lists itself.
    OptionRow{.name = "RecentPictures",
              .key = "RecentPicture",
              .codec = C::Paths,
              .field = ZORVA_FIELD(RecentPictures)},
    OptionRow{.name = "RecentSummaries",
              .key = "RecentSummary",
              .codec = C::Paths,
              .field = ZORVA_FIELD(RecentSummaries)},
    OptionRow{.name = "RecentLogfiles",
              .key = "RecentLogfile",
              .codec = C::Paths,
              .field = ZORVA_FIELD(RecentLogfiles)},
};
#pragma GCC diagnostic pop

#undef ZORVA_FIELD

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
                          std::is_same_v<T, std::vector<std::string>>) {
                return 0;
            } else {
                return static_cast<int64_t>(field(o));
            }
        },
        row.field);
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
        for (const OptionRow& row : AllRows()) {
            const OptionMenu& m = row.menu;
            switch (m.kind) {
            case Kind::None:
                break;
            case Kind::Check:
                for (const std::string_view name : m.names) {
                    if (!name.empty()) out.push_back({std::string(name), &row, 1});
                }
                break;
            case Kind::Colour:
                for (const auto& [colour, value] : kColourItems) {
                    out.push_back(
                        {std::string(m.names[0]) + colour + std::string(m.names[1]), &row, value});
                }
                break;
            case Kind::Choice:
                for (const auto& [name, value] : m.choices) {
                    if (!name.empty()) out.push_back({std::string(name), &row, value});
                }
                break;
            case Kind::Precision:
                for (int32_t i = 1; i <= m.count; ++i) {
                    out.push_back(
                        {std::string(m.names[0]) + std::to_string(i), &row, i, i == m.count});
                }
                break;
            }
        }
        return out;
    }();
    return items;
}

bool OptionMenuChecked(const OptionMenuItem& item, const Options& options) {
    const int64_t v = Whole(*item.row, options);
    switch (item.row->menu.kind) {
    case Kind::Check:
        return v != 0;
    case Kind::Colour:
        return static_cast<uint32_t>(v) == static_cast<uint32_t>(item.value);
    case Kind::Precision:
        return item.last ? !(v >= 1 && v < item.row->menu.count) : v == item.value;
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
                } else {
                    note(std::string(row.key) + ": no value of this kind is kept there");
                }
            },
            row.field);
    }
}

} // namespace zorva
