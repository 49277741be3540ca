#include "core/settings/settings_file.h"

#include <array>
#include <charconv>
#include <cmath>

#include "core/chart/chart_geometry.h"
#include "core/ephemeris/horizon.h"
#include "core/layout/picker_layout.h"
#include "core/options/option_table.h"
#include "core/text/format.h"
#include "core/text/parse.h"
#include "core/text/text_scanner.h"

namespace zorva {
namespace {

// A stored diameter at or below this is taken as no diameter at all.
constexpr double kSmallestDiameter = 0.0001;
// The unit and format words are read by their first letters; more than six characters
// are cut, so a long word cannot spill into the next value.
constexpr std::size_t kWordHolder = 6;
// Longer numbers than this are not something the program wrote; they read as unreadable.
constexpr std::size_t kLongestNumber = 64;
// Floats are written in the general format with 6 significant digits, as text streams do.
constexpr int kWrittenDigits = 6;
// Shortest decimal form shown in the edit boxes.

struct Resolution {
    int32_t width, height;
    ScreenResolutionItem item;
};
constexpr std::array<Resolution, 7> kResolutions{{
    {640, 480, ScreenResolutionItem::N6404801},
    {800, 600, ScreenResolutionItem::N8006001},
    {1024, 768, ScreenResolutionItem::N10247681},
    {1152, 864, ScreenResolutionItem::N11528641},
    {1280, 1024, ScreenResolutionItem::N128010241},
    {1600, 1024, ScreenResolutionItem::N160010241},
    {1600, 1200, ScreenResolutionItem::N160012001},
}};

// Reads the values in file order; each one that is missing or unreadable keeps the value
// already in its holder (the default), and reading goes on with the next.
class ValueReader {
  public:
    explicit ValueReader(std::istream& in) : scanner_(in) {}

    void Line(int line) { line_ = line; }
    const std::string& Error() const { return error_; }

    std::optional<std::string> Word(std::size_t keep) {
        auto w = scanner_.ReadWord(keep);
        if (!w) Note("missing value");
        return w;
    }

    void Bool(bool& v) {
        const auto w = Word(kWordHolder);
        if (!w) return;
        if (*w == "true") {
            v = true;
        } else if (*w == "false") {
            v = false;
        } else {
            Note("unreadable value \"" + *w + "\"");
        }
    }

    // A value outside low..high is noted and keeps the default, like an unreadable one.
    bool Int(int32_t& v, double low, double high) {
        const auto w = Word(kLongestNumber + 1);
        if (!w) return false;
        const auto n = w->size() > kLongestNumber ? std::nullopt : ParseInt32(*w);
        if (!n) {
            Note("unreadable value \"" + w->substr(0, kLongestNumber) + "\"");
            return false;
        }
        if (*n < low || *n > high) {
            Note("value " + *w + " out of range");
            return false;
        }
        v = *n;
        return true;
    }

    // `accept` takes a value into its holder as the matching edit box would (checked,
    // and folded where the box folds), or refuses it.
    bool Real(double& v, bool (*accept)(double value, double& holder) = nullptr) {
        const auto w = Word(kLongestNumber + 1);
        if (!w) return false;
        const auto n = w->size() > kLongestNumber ? std::nullopt : ParseReal(*w);
        if (!n) {
            Note("unreadable value \"" + w->substr(0, kLongestNumber) + "\"");
            return false;
        }
        if (accept == nullptr) {
            v = *n;
        } else if (!accept(*n, v)) {
            Note("value " + *w + " out of range");
            return false;
        }
        return true;
    }

    void Note(const std::string& what) {
        if (error_.empty()) error_ = "line " + std::to_string(line_) + ": " + what;
    }

    // The first letter of a word, or nothing when the word is missing.
    std::optional<char> FirstLetter() {
        const auto w = Word(kWordHolder);
        if (!w) return std::nullopt;
        return w->front();
    }

    // Three single characters, each skipping leading white space, as the code was read
    // before: a two-letter code borrows the first letter of the next value.
    void Colour(uint32_t& v) {
        std::array<char, 3> code{};
        for (char& c : code) {
            const auto next = scanner_.ReadChar();
            if (!next) {
                Note("missing colour code");
                return;
            }
            c = *next;
        }
        v = ColourFromCode(code[0], code[1], code[2]);
    }

  private:
    TextScanner scanner_;
    int line_ = 0;
    std::string error_;
};

// Reads one option by its row of the table: its words, by its codec, into its member.
void ReadOption(ValueReader& r, const OptionRow& row, Options& options,
                std::optional<char>& unitLetter, bool& diameterRead) {
    std::visit(
        [&](auto field) {
            auto& v = field(options);
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, bool>) {
                switch (row.codec) {
                case OptionCodec::UnitWord:
                    unitLetter = r.FirstLetter();
                    break;
                case OptionCodec::DateWord:
                    if (const auto c = r.FirstLetter()) v = *c == 'l';
                    break;
                case OptionCodec::GridWord:
                    if (const auto c = r.FirstLetter()) v = *c == 'm';
                    break;
                default:
                    r.Bool(v);
                }
            } else if constexpr (std::is_same_v<T, int32_t>) {
                r.Int(v, row.low, row.high);
            } else if constexpr (std::is_enum_v<T>) {
                // A number that stands for no choice keeps the first run's, as the menus
                // check none of theirs for it.
                int32_t stored = 0;
                if (!r.Int(stored, row.low, row.high)) return;
                if (const auto value = CodedValue(row, stored)) v = static_cast<T>(*value);
            } else if constexpr (std::is_same_v<T, double>) {
                const bool read = r.Real(v, row.accept);
                if (&v == &options.DiamValue) diameterRead = read;
            } else if constexpr (std::is_same_v<T, uint32_t>) {
                r.Colour(v);
            } else if constexpr (std::is_same_v<T, DateLayout>) {
                for (int32_t* n : {&v.DatePickerLeft, &v.DatePickerWidth, &v.TimePickerLeft,
                                   &v.TimePickerWidth, &v.UTCaptionLeft, &v.UTCaptionWidth}) {
                    const bool width = n == &v.DatePickerWidth || n == &v.TimePickerWidth ||
                                       n == &v.UTCaptionWidth;
                    r.Int(*n, width ? 1 : 0, LargestPickerRowValue);
                }
            }
        },
        row.field);
}

// The decisions that follow from the stored values, shared by a read file and no file.
void DeriveChecks(SettingsLoad& load) {
    const Settings& s = load.settings;
    load.sunspotChecked = s.Sunspot || s.CarringtonShown || s.DifferentialShown;
    load.logFileMessageBoxChecked = s.LogFileMessageFlag == 0;
}

void ChooseDiameter(SettingsLoad& load, ValueReader& r, std::optional<char> unitLetter,
                    bool valueRead) {
    Settings& s = load.settings;
    const double mm = unitLetter == 'i' ? s.DiamValue * MmPerInch : s.DiamValue;
    // Beyond the sizes a chart can be drawn at, a stored diameter is no diameter either.
    const bool usable = IsUsableChartDiameter(mm);
    if (valueRead && s.DiamValue > kSmallestDiameter && !usable) {
        r.Line(5);
        r.Note("diameter " + ShortestDecimalText(s.DiamValue) + " out of range");
    }
    if (!valueRead || !(s.DiamValue > kSmallestDiameter) || !usable) {
        load.diameterAbsent = true;
        load.diameterCommand = DiameterCommand::N150mm;
        s.DiamInInches = false;
        s.DiamValue = Settings{}.DiamValue;
        return;
    }
    const char unit = unitLetter.value_or('m');
    s.DiamInInches = unit == 'i';
    const double v = s.DiamValue;
    if (unit == 'm') {
        load.diameterCommand = v == 100   ? DiameterCommand::N100mm
                               : v == 125 ? DiameterCommand::N125mm
                               : v == 150 ? DiameterCommand::N150mm
                                          : DiameterCommand::Othermm;
    } else if (unit == 'i') {
        load.diameterCommand = v == 4   ? DiameterCommand::N4in
                               : v == 5 ? DiameterCommand::N5in
                               : v == 6 ? DiameterCommand::N6in
                                        : DiameterCommand::Otherin;
    } else {
        load.diameterCommand = DiameterCommand::None;
    }
    if (load.diameterCommand == DiameterCommand::Othermm ||
        load.diameterCommand == DiameterCommand::Otherin) {
        load.diamBoxText = ShortestDecimalText(v);
    }
}

} // namespace

std::string_view ColourCode(uint32_t colour) {
    switch (colour) {
    case kColourRed:
        return "red";
    case kColourGreen:
        return "gre";
    case kColourBlue:
        return "blu";
    case kColourWhite:
        return "whi";
    default:
        return "bla";
    }
}

uint32_t ColourFromCode(char first, char second, char third) {
    if (first == 'r') return kColourRed;
    if (first == 'g') return kColourGreen;
    if (first == 'b' && second == 'l' && third == 'u') return kColourBlue;
    if (first == 'w') return kColourWhite;
    return kColourBlack;
}

void SetChartDiameter(Settings& s, double chartDiameterMm, bool unitIsInch) {
    s.DiamInInches = unitIsInch;
    s.DiamValue = unitIsInch ? chartDiameterMm / MmPerInch : chartDiameterMm;
}

ReadoutPrecisions ReadoutPrecisionsOf(const Settings& s) {
    return {s.RAPrecision, s.DecPrecision, s.AltAziPrecision, s.BLPPrecision, s.DiamPrecision};
}

SettingsLoad DefaultSettingsLoad() {
    SettingsLoad load;
    DeriveChecks(load);
    return load;
}

SettingsLoad ReadSettings(std::istream& in) {
    SettingsLoad load;
    load.fileFound = true;
    Settings& s = load.settings;
    ValueReader r(in);

    std::optional<char> unitLetter;
    bool diameterRead = false;
    for (const OptionRow& row : OptionTable()) {
        if (row.line == 0) continue; // kept in the options file
        r.Line(row.line);
        ReadOption(r, row, s, unitLetter, diameterRead);
    }

    // The repairs: only +1 and -1 flip or mirror the chart.
    if (s.FlipSign != 1 && s.FlipSign != -1) s.FlipSign = 1;
    if (s.MirrorSign != 1 && s.MirrorSign != -1) s.MirrorSign = 1;
    ChooseDiameter(load, r, unitLetter, diameterRead);
    load.error = r.Error();

    load.showWelcome = !s.HideWelcome;
    load.screenItem = ScreenResolutionItem::None;
    for (const Resolution& res : kResolutions) {
        if (res.width == s.ScreenWidth && res.height == s.ScreenHeight) load.screenItem = res.item;
    }
    DeriveChecks(load);
    return load;
}

std::string SettingsFileText(const Settings& s) {
    std::string out;
    int32_t line = 0;
    for (const OptionRow& row : OptionTable()) {
        if (row.line == 0) continue; // kept in the options file
        if (row.line == line) {
            out += ' '; // the next value of the same line
        } else if (line != 0) {
            out += '\n';
        }
        line = row.line;
        out += OptionText(row, s);
    }
    return out + '\n';
}

void WriteSettings(std::ostream& out, const Settings& s) {
    const std::string text = SettingsFileText(s);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

} // namespace zorva
