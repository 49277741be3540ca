#include "core/settings/settings_file.h"

#include <array>
#include <charconv>
#include <cmath>
#include <functional>

#include "core/chart/chart_geometry.h"
#include "core/ephemeris/horizon.h"
#include "core/layout/picker_layout.h"
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

    // A value outside what `usable` allows is noted and keeps the default, like an
    // unreadable one.
    bool Int(int32_t& v, bool (*usable)(int32_t) = nullptr) {
        const auto w = Word(kLongestNumber + 1);
        if (!w) return false;
        const auto n = w->size() > kLongestNumber ? std::nullopt : ParseInt32(*w);
        if (!n) {
            Note("unreadable value \"" + w->substr(0, kLongestNumber) + "\"");
            return false;
        }
        if (usable != nullptr && !usable(*n)) {
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

void ReadLayout(ValueReader& r, DateLayout& d) {
    r.Int(d.DatePickerLeft, IsUsablePickerLeft);
    r.Int(d.DatePickerWidth, IsUsablePickerWidth);
    r.Int(d.TimePickerLeft, IsUsablePickerLeft);
    r.Int(d.TimePickerWidth, IsUsablePickerWidth);
    r.Int(d.UTCaptionLeft, IsUsablePickerLeft);
    r.Int(d.UTCaptionWidth, IsUsablePickerWidth);
}

void ReadMarker(ValueReader& r, RotationMarkerOptions& m) {
    r.Bool(m.Shown);
    r.Colour(m.Colour);
    r.Bool(m.Label);
}

// The decisions that follow from the stored values, shared by a read file and no file.
void DeriveChecks(SettingsLoad& load) {
    const Settings& s = load.settings;
    load.sunspotChecked = s.Sunspot || s.Carrington.Shown || s.Differential.Shown;
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

void Put(std::string& out, std::string_view item) {
    out.append(item);
}
void Sep(std::string& out) {
    out.push_back(' ');
}
void End(std::string& out) {
    out.push_back('\n');
}
std::string BoolText(bool v) {
    return v ? "true" : "false";
}

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
std::string RealWithin(double v, const std::function<bool(double)>& usable) {
    const std::string nearest = GeneralText(v, kWrittenDigits);
    const std::optional<double> back = ParseReal(nearest);
    if (!std::isfinite(v) || v == 0 || !usable(v) || !back || usable(*back)) return nearest;
    const std::string cut = GeneralText(CutToDigits(v, kWrittenDigits, *back > v), kWrittenDigits);
    const std::optional<double> cutBack = ParseReal(cut);
    return cutBack && usable(*cutBack) ? cut : nearest;
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

    r.Line(1);
    r.Bool(s.HideWelcome);
    r.Line(2);
    r.Int(s.FlipSign);
    r.Line(3);
    r.Int(s.MirrorSign);
    r.Line(4);
    const auto unitLetter = r.FirstLetter();
    r.Line(5);
    const bool diameterRead = r.Real(s.DiamValue);
    r.Line(6);
    if (const auto c = r.FirstLetter()) s.DateLong = *c == 'l';
    r.Line(7);
    ReadLayout(r, s.ShortDateLayout);
    r.Line(8);
    ReadLayout(r, s.LongDateLayout);
    r.Line(9);
    if (const auto c = r.FirstLetter()) s.GridMm = *c == 'm';
    r.Line(10);
    r.Real(s.ObserverLat, AcceptObserverLatitude);
    r.Real(s.ObserverLong, AcceptObserverLongitude);
    r.Line(11);
    r.Bool(s.NESWPoints);
    r.Line(12);
    r.Bool(s.ShowCentralMeridian);
    r.Line(13);
    r.Bool(s.ShowEquator);
    r.Line(14);
    r.Bool(s.ShowLatLines);
    r.Line(15);
    r.Bool(s.ShowLongLines);
    r.Line(16);
    ReadMarker(r, s.Carrington);
    r.Line(17);
    ReadMarker(r, s.Differential);
    r.Line(18);
    r.Int(s.ScreenWidth, IsUsableScreenSide);
    r.Int(s.ScreenHeight, IsUsableScreenSide);
    r.Line(19);
    r.Bool(s.Sunspot);
    r.Line(20);
    r.Bool(s.Points);
    r.Line(21);
    r.Bool(s.Circle);
    r.Line(22);
    r.Colour(s.SRSColour);
    r.Line(23);
    r.Bool(s.SRSFileNameLabel);
    r.Line(24);
    r.Int(s.SeparationPath);
    r.Line(25);
    r.Bool(s.SpotInMiddle);
    r.Line(26);
    r.Colour(s.DistColour1);
    r.Line(27);
    r.Colour(s.DistColour2);
    r.Line(28);
    r.Int(s.OrientationMode);
    r.Line(29);
    r.Int(s.RAPrecision);
    r.Line(30);
    r.Int(s.DecPrecision);
    r.Line(31);
    r.Int(s.AltAziPrecision);
    r.Line(32);
    r.Int(s.BLPPrecision);
    r.Line(33);
    r.Int(s.DiamPrecision);
    r.Line(34);
    r.Int(s.LatLongPrecision);
    r.Line(35);
    r.Int(s.AreaPrecision);
    r.Line(36);
    r.Int(s.LogFileMessageFlag);

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
    load.separationPath = s.SeparationPath == 1   ? SeparationPathChoice::LongitudeArc1
                          : s.SeparationPath == 2 ? SeparationPathChoice::GreatCircle1
                                                  : SeparationPathChoice::Unchanged;
    if (s.OrientationMode >= 1 && s.OrientationMode <= 3) {
        load.orientation = static_cast<Orientation>(s.OrientationMode);
    } else {
        load.orientation.reset();
    }
    DeriveChecks(load);
    return load;
}

std::string SettingsFileText(const Settings& s) {
    std::string out;
    const auto line = [&out](std::string_view item) {
        Put(out, item);
        End(out);
    };
    const auto integer = [](int32_t v) { return std::to_string(v); };
    const auto layout = [&](const DateLayout& d) {
        Put(out, integer(d.DatePickerLeft));
        for (const int32_t v : {d.DatePickerWidth, d.TimePickerLeft, d.TimePickerWidth,
                                d.UTCaptionLeft, d.UTCaptionWidth}) {
            Sep(out);
            Put(out, integer(v));
        }
        End(out);
    };
    const auto marker = [&](const RotationMarkerOptions& m) {
        Put(out, BoolText(m.Shown));
        Sep(out);
        Put(out, ColourCode(m.Colour));
        Sep(out);
        Put(out, BoolText(m.Label));
        End(out);
    };

    line(BoolText(s.HideWelcome));
    line(integer(s.FlipSign));
    line(integer(s.MirrorSign));
    line(s.DiamInInches ? "inch" : "mm");
    line(RealWithin(s.DiamValue, [&s](double v) {
        return IsUsableChartDiameter(s.DiamInInches ? v * MmPerInch : v);
    }));
    line(s.DateLong ? "long" : "short");
    layout(s.ShortDateLayout);
    layout(s.LongDateLayout);
    line(s.GridMm ? "mm" : "inch");
    const auto accepted = [](bool (*accept)(double, double&)) {
        return [accept](double v) {
            double holder = 0;
            return accept(v, holder);
        };
    };
    line(RealWithin(s.ObserverLat, accepted(AcceptObserverLatitude)) + " " +
         RealWithin(s.ObserverLong, accepted(AcceptObserverLongitude)));
    line(BoolText(s.NESWPoints));
    line(BoolText(s.ShowCentralMeridian));
    line(BoolText(s.ShowEquator));
    line(BoolText(s.ShowLatLines));
    line(BoolText(s.ShowLongLines));
    marker(s.Carrington);
    marker(s.Differential);
    line(integer(s.ScreenWidth) + " " + integer(s.ScreenHeight));
    line(BoolText(s.Sunspot));
    line(BoolText(s.Points));
    line(BoolText(s.Circle));
    line(ColourCode(s.SRSColour));
    line(BoolText(s.SRSFileNameLabel));
    line(integer(s.SeparationPath));
    line(BoolText(s.SpotInMiddle));
    line(ColourCode(s.DistColour1));
    line(ColourCode(s.DistColour2));
    line(integer(s.OrientationMode));
    for (const int32_t v :
         {s.RAPrecision, s.DecPrecision, s.AltAziPrecision, s.BLPPrecision, s.DiamPrecision,
          s.LatLongPrecision, s.AreaPrecision, s.LogFileMessageFlag}) {
        line(integer(v));
    }
    return out;
}

void WriteSettings(std::ostream& out, const Settings& s) {
    const std::string text = SettingsFileText(s);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

} // namespace zorva
