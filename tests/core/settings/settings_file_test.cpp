#include "core/settings/settings_file.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <sstream>
#include <utility>
#include <vector>

#include "support/test_support.h"

namespace zorva {
namespace {

// A rotation marker's line of the file: shown, colour, label.
struct MarkerLine {
    bool shown;
    uint32_t colour;
    bool label;
    bool operator==(const MarkerLine&) const = default;
};
MarkerLine Marker(const Settings& s, bool carrington) {
    return carrington ? MarkerLine{s.CarringtonShown, s.CarringtonColour, s.CarringtonLabel}
                      : MarkerLine{s.DifferentialShown, s.DifferentialColour, s.DifferentialLabel};
}

// The file a first run writes: each line the default the settings file's layout gives it.
constexpr const char* kDefaultFile =
    "false\n1\n1\nmm\n150\nlong\n60 75 180 72 258 19\n"
    "29 140 200 72 278 19\nmm\n51.5 0.5\ntrue\ntrue\ntrue\nfalse\n"
    "false\nfalse bla false\nfalse bla false\n1024 768\ntrue\n"
    "false\nfalse\nbla\nfalse\n1\ntrue\nblu\nred\n1\n3\n3\n2\n2\n2\n"
    "1\n1\n0\n";

SettingsLoad Read(const std::string& text) {
    std::istringstream in(text);
    return ReadSettings(in);
}

using test::Lines;

// The default file with some lines (numbered from 1) replaced.
std::string DefaultWith(std::initializer_list<std::pair<int, std::string>> changes) {
    std::vector<std::string> lines = Lines(kDefaultFile);
    for (const auto& [line, text] : changes)
        lines.at(line - 1) = text;
    std::string out;
    for (const std::string& l : lines)
        out += l + "\n";
    return out;
}

// Every value away from its default, each one exactly representable in the file.
Settings Unusual() {
    Settings s;
    s.HideWelcome = true;
    s.FlipSign = -1;
    s.MirrorSign = -1;
    s.DiamInInches = true;
    s.DiamValue = 5.90551;
    s.DateLong = false;
    s.ShortDateLayout = {61, 76, 181, 73, 259, 20};
    s.LongDateLayout = {30, 141, 201, 73, 279, 21};
    s.GridMm = false;
    s.ObserverLat = -33.875;
    s.ObserverLong = 151.2;
    s.NESWPoints = false;
    s.ShowCentralMeridian = false;
    s.ShowEquator = false;
    s.ShowLatLines = true;
    s.ShowLongLines = true;
    s.CarringtonShown = true;
    s.CarringtonColour = kColourWhite;
    s.CarringtonLabel = true;
    s.DifferentialShown = true;
    s.DifferentialColour = kColourGreen;
    s.ScreenWidth = 1600;
    s.ScreenHeight = 1200;
    s.Sunspot = false;
    s.Points = true;
    s.Circle = true;
    s.SRSColour = kColourRed;
    s.SRSFileNameLabel = true;
    s.SeparationPath = FigureForm::GreatCircle;
    s.SpotInMiddle = false;
    s.DistColour1 = kColourBlack;
    s.DistColour2 = kColourBlue;
    s.OrientationMode = Orientation::AltAzimuth;
    s.RAPrecision = 1;
    s.DecPrecision = 2;
    s.AltAziPrecision = 3;
    s.BLPPrecision = 1;
    s.DiamPrecision = 1;
    s.LatLongPrecision = 2;
    s.AreaPrecision = 2;
    s.LogFileMessageFlag = 1;
    return s;
}

TEST(SettingsFile, FirstRunDefaultsAndTheirFile) {
    const SettingsLoad none = DefaultSettingsLoad();
    EXPECT_FALSE(none.fileFound);
    EXPECT_TRUE(none.showWelcome);
    EXPECT_EQ(none.diameterCommand, DiameterCommand::N150mm);
    EXPECT_EQ(none.screenItem, ScreenResolutionItem::None);
    EXPECT_EQ(none.settings.SeparationPath, FigureForm::LongitudeArc);
    EXPECT_EQ(none.settings.OrientationMode, Orientation::Equatorial);
    EXPECT_TRUE(none.sunspotChecked);
    EXPECT_TRUE(none.logFileMessageBoxChecked);
    EXPECT_EQ(SettingsFileText(none.settings), kDefaultFile);

    // The same file read back: same values, and now the 1024 x 768 item is checked.
    const SettingsLoad read = Read(kDefaultFile);
    EXPECT_TRUE(read.fileFound);
    EXPECT_EQ(read.error, "");
    EXPECT_EQ(read.settings, Settings{});
    EXPECT_EQ(read.screenItem, ScreenResolutionItem::N10247681);
    EXPECT_EQ(read.diameterCommand, DiameterCommand::N150mm);
    EXPECT_FALSE(read.diameterAbsent);
}

TEST(SettingsFile, RoundTripKeepsValuesAndBytes) {
    const Settings s = Unusual();
    std::ostringstream out;
    WriteSettings(out, s);
    const SettingsLoad load = Read(out.str());
    EXPECT_EQ(load.error, "");
    EXPECT_EQ(load.settings, s);
    EXPECT_EQ(SettingsFileText(load.settings), out.str());
    EXPECT_FALSE(load.showWelcome);
    EXPECT_EQ(load.diameterCommand, DiameterCommand::Otherin);
    EXPECT_EQ(load.diamBoxText, "5.90551");
    EXPECT_EQ(load.screenItem, ScreenResolutionItem::N160012001);
    EXPECT_TRUE(load.sunspotChecked); // a rotation marker is on
    EXPECT_FALSE(load.logFileMessageBoxChecked);

    // CRLF line ends read the same.
    std::string crlf;
    for (const char c : out.str())
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(Read(crlf).settings, s);
}

// A value at the edge of its range saved to six digits once left it: 2000 mm shown in
// inches (2000 / 25.4 = 78.7401574...) was saved as 78.7402 in, 2000.0015 mm, and reset to
// 150 mm at the next start. Such a value is cut towards itself: 78.7401 in is the largest
// six-digit value not above the edge.
TEST(SettingsFile, ValuesAtTheEdgesOfTheirRangesSurviveARestart) {
    const struct {
        double mm;
        bool inch;
        const char* saved;
    } cases[] = {
        {2000, true, "78.7401"},
        {1, true, "0.0393701"}, // 1 / 25.4 = 0.03937007874 rounds up, into the range
        {1999.9999996, false, "2000"},
        {150, true, "5.90551"},
    };
    for (const auto& c : cases) {
        Settings s;
        SetChartDiameter(s, c.mm, c.inch);
        EXPECT_EQ(Lines(SettingsFileText(s)).at(4), c.saved) << c.mm;
        const SettingsLoad load = Read(SettingsFileText(s));
        EXPECT_FALSE(load.diameterAbsent) << c.mm;
        EXPECT_EQ(load.error, "") << c.mm;
        EXPECT_NEAR(load.settings.DiamValue * (c.inch ? 25.4 : 1), c.mm, 1e-5 * c.mm) << c.mm;
    }
    // The observer's edges are six-digit values themselves.
    Settings s;
    s.ObserverLat = -89.9999999;
    s.ObserverLong = 179.9999999;
    const SettingsLoad load = Read(SettingsFileText(s));
    EXPECT_EQ(load.error, "");
    EXPECT_EQ(load.settings.ObserverLat, -90);
    EXPECT_EQ(load.settings.ObserverLong, 180);
}

TEST(SettingsFile, ChartDiameterInEitherUnit) {
    Settings s;
    SetChartDiameter(s, 150, true); // 150 mm shown in inches
    EXPECT_EQ(Lines(SettingsFileText(s)).at(3), "inch");
    EXPECT_EQ(Lines(SettingsFileText(s)).at(4), "5.90551");
    SetChartDiameter(s, 4 * 25.4, true);
    EXPECT_EQ(Lines(SettingsFileText(s)).at(4), "4");
    EXPECT_EQ(Read(SettingsFileText(s)).diameterCommand, DiameterCommand::N4in);

    struct Case {
        const char* unit;
        const char* value;
        DiameterCommand command;
        const char* box;
    };
    const Case cases[] = {
        {"mm", "100", DiameterCommand::N100mm, ""},
        {"mm", "125", DiameterCommand::N125mm, ""},
        {"mm", "150", DiameterCommand::N150mm, ""},
        {"mm", "100.5", DiameterCommand::Othermm, "100.5"},
        {"mm", "150.000001", DiameterCommand::Othermm, "150.000001"},
        {"inch", "4", DiameterCommand::N4in, ""},
        {"inch", "5.0", DiameterCommand::N5in, ""},
        {"inch", "6", DiameterCommand::N6in, ""},
        {"inch", "5.90551", DiameterCommand::Otherin, "5.90551"},
        {"millimetres", "125", DiameterCommand::N125mm, ""}, // decided by the first letter
        {"in", "0.333333333333333333", DiameterCommand::Otherin, "0.333333333333333"},
        {"cm", "12", DiameterCommand::None, ""},
        {"mm", "0.0001", DiameterCommand::N150mm, ""},
        {"inch", "0", DiameterCommand::N150mm, ""},
        {"inch", "-5", DiameterCommand::N150mm, ""},
        {"inch", "five", DiameterCommand::N150mm, ""},
        {"cm", "x", DiameterCommand::N150mm, ""}, // no diameter outranks an unknown unit
    };
    for (const Case& c : cases) {
        const SettingsLoad load = Read(DefaultWith({{4, c.unit}, {5, c.value}}));
        EXPECT_EQ(load.diameterCommand, c.command) << c.unit << " " << c.value;
        EXPECT_EQ(load.diamBoxText, c.box) << c.unit << " " << c.value;
        const bool absent = c.command == DiameterCommand::N150mm && std::string(c.value) != "150";
        EXPECT_EQ(load.diameterAbsent, absent) << c.unit << " " << c.value;
        if (absent) {
            EXPECT_EQ(load.settings.DiamValue, 150);
        }
        EXPECT_EQ(load.settings.DateLong, true) << "the line after the diameter stays in step";
    }
}

TEST(SettingsFile, Repairs) {
    for (const auto& [text, sign] : std::vector<std::pair<std::string, int>>{
             {"1", 1}, {"-1", -1}, {"0", 1}, {"2", 1}, {"-2", 1}, {"flip", 1}}) {
        const SettingsLoad load = Read(DefaultWith({{2, text}, {3, text}}));
        EXPECT_EQ(load.settings.FlipSign, sign) << text;
        EXPECT_EQ(load.settings.MirrorSign, sign) << text;
    }
    for (const auto& [pair, item] : std::vector<std::pair<std::string, ScreenResolutionItem>>{
             {"640 480", ScreenResolutionItem::N6404801},
             {"800 600", ScreenResolutionItem::N8006001},
             {"1152 864", ScreenResolutionItem::N11528641},
             {"1280 1024", ScreenResolutionItem::N128010241},
             {"1600 1024", ScreenResolutionItem::N160010241},
             {"1024 700", ScreenResolutionItem::None}}) {
        EXPECT_EQ(Read(DefaultWith({{18, pair}})).screenItem, item) << pair;
    }
    // A path or an orientation the menus have no item for checks none of theirs: the first
    // run's stays, and no error is said.
    for (const auto& [text, path] :
         std::vector<std::pair<std::string, FigureForm>>{{"1", FigureForm::LongitudeArc},
                                                         {"2", FigureForm::GreatCircle},
                                                         {"3", FigureForm::LongitudeArc},
                                                         {"0", FigureForm::LongitudeArc}}) {
        const SettingsLoad load = Read(DefaultWith({{24, text}}));
        EXPECT_EQ(load.settings.SeparationPath, path) << text;
        EXPECT_EQ(load.error, "") << text;
    }
    for (const auto& [text, orientation] :
         std::vector<std::pair<std::string, Orientation>>{{"1", Orientation::Equatorial},
                                                          {"2", Orientation::RotationAxis},
                                                          {"3", Orientation::AltAzimuth},
                                                          {"4", Orientation::Equatorial},
                                                          {"-1", Orientation::Equatorial}}) {
        const SettingsLoad load = Read(DefaultWith({{28, text}}));
        EXPECT_EQ(load.settings.OrientationMode, orientation) << text;
        EXPECT_EQ(load.error, "") << text;
    }
    // Precisions and the message flag are kept as read; only their check marks are derived.
    const SettingsLoad odd = Read(DefaultWith({{29, "7"}, {32, "0"}, {36, "5"}}));
    EXPECT_EQ(odd.settings.RAPrecision, 7);
    EXPECT_EQ(PrecisionItemOf3(odd.settings.RAPrecision), 3);
    EXPECT_EQ(PrecisionItemOf2(odd.settings.BLPPrecision), 2);
    EXPECT_FALSE(odd.logFileMessageBoxChecked);
    EXPECT_EQ(SettingsFileText(odd.settings), DefaultWith({{29, "7"}, {32, "0"}, {36, "5"}}));
    // A rotation marker that is on checks Sunspot1 whatever line 19 says.
    const SettingsLoad marker = Read(DefaultWith({{16, "true whi false"}, {19, "false"}}));
    EXPECT_EQ(Marker(marker.settings, true), (MarkerLine{true, kColourWhite, false}));
    EXPECT_FALSE(marker.settings.Sunspot);
    EXPECT_TRUE(marker.sunspotChecked);
    EXPECT_TRUE(Read(DefaultWith({{1, "true"}})).settings.HideWelcome);
    EXPECT_FALSE(Read(DefaultWith({{1, "true"}})).showWelcome);
}

TEST(SettingsFile, ColourCodesAreThreeSingleCharacters) {
    struct Case {
        const char* line16;
        MarkerLine carrington;
    };
    const Case cases[] = {
        {"true red true", {true, kColourRed, true}},
        {"true gre true", {true, kColourGreen, true}},
        {"true blu true", {true, kColourBlue, true}},
        {"true whi true", {true, kColourWhite, true}},
        {"true bla true", {true, kColourBlack, true}},
        {"true bxu true", {true, kColourBlack, true}}, // b must go on with l and u
        {"true Red true", {true, kColourBlack, true}},
        {"true r e d true", {true, kColourRed, true}}, // each character skips blanks
        {"true rrr true", {true, kColourRed, true}},
        {"true bl true", {true, kColourBlack, false}}, // "t" is borrowed, "rue" is no boolean
        {"true wh false", {true, kColourWhite, false}},
    };
    for (const Case& c : cases) {
        const SettingsLoad load = Read(DefaultWith({{16, c.line16}, {17, "true gre true"}}));
        EXPECT_EQ(Marker(load.settings, true), c.carrington) << c.line16;
        EXPECT_EQ(Marker(load.settings, false), (MarkerLine{true, kColourGreen, true})) << c.line16;
    }
    // Separation colour 1 stored as black stays black; a short code at the end of the file
    // keeps the default.
    EXPECT_EQ(Read(DefaultWith({{26, "bla"}})).settings.DistColour1, kColourBlack);
    const std::string text = kDefaultFile;
    EXPECT_EQ(Read(text.substr(0, text.find("blu\nred") + 2)).settings.DistColour1, kColourBlue);
    // An unknown colour value is written as black rather than leaving its place empty.
    Settings s;
    s.SRSColour = 0x123456;
    EXPECT_EQ(Lines(SettingsFileText(s)).at(21), "bla");
    EXPECT_EQ(Read(SettingsFileText(s)).settings, Settings{});
}

TEST(SettingsFile, TruncatedAtEveryLineKeepsWhatWasRead) {
    Settings unusual = Unusual();
    unusual.DiamInInches = false; // so that a file cut after line 4 names the default unit
    unusual.DiamValue = 120;
    const std::vector<std::string> full = Lines(SettingsFileText(unusual));
    const std::vector<std::string> defaults = Lines(kDefaultFile);
    ASSERT_EQ(full.size(), 36u);
    for (std::size_t kept = 0; kept <= full.size(); ++kept) {
        std::string text;
        for (std::size_t i = 0; i < kept; ++i)
            text += full[i] + "\n";
        const SettingsLoad load = Read(text);
        EXPECT_EQ(load.error.empty(), kept == full.size()) << kept;
        const std::vector<std::string> back = Lines(SettingsFileText(load.settings));
        for (std::size_t i = 0; i < full.size(); ++i) {
            // A file cut after the unit loses its diameter and falls back to 150 mm.
            const bool wasRead = i < kept && !(i == 3 && kept == 4);
            EXPECT_EQ(back[i], wasRead ? full[i] : defaults[i])
                << "kept " << kept << " line " << i + 1;
        }
    }
}

TEST(SettingsFile, CorruptFilesFallBackValueByValue) {
    const SettingsLoad words = Read("not a settings file\n");
    EXPECT_EQ(words.settings, Settings{});
    EXPECT_EQ(words.error, "line 1: unreadable value \"not\"");
    EXPECT_EQ(words.diameterCommand, DiameterCommand::N150mm);

    const std::string binary("\x00\xff\x01 \xfe\n\x80\x80\x80 true", 13);
    EXPECT_EQ(Read(binary).settings, Settings{});
    EXPECT_EQ(Read(binary).diameterCommand, DiameterCommand::N150mm);

    // One bad value costs only that value.
    const SettingsLoad edited =
        Read(DefaultWith({{10, "north 12.5"}, {18, "1e3 600"}, {29, "1.5"}, {30, "+1"}}));
    EXPECT_EQ(edited.settings.ObserverLat, 51.5);
    EXPECT_EQ(edited.settings.ObserverLong, 12.5);
    EXPECT_EQ(edited.settings.ScreenWidth, 1024);
    EXPECT_EQ(edited.settings.ScreenHeight, 600);
    EXPECT_EQ(edited.settings.RAPrecision, 3);
    EXPECT_EQ(edited.settings.DecPrecision, 1);
    const SettingsLoad notFinite = Read(DefaultWith({{10, "nan inf"}}));
    EXPECT_EQ(notFinite.settings.ObserverLat, 51.5);
    EXPECT_EQ(notFinite.settings.ObserverLong, 0.5);
    EXPECT_EQ(Read(DefaultWith({{10, "+-3 0.5"}})).settings.ObserverLat, 51.5);
    EXPECT_EQ(Read(DefaultWith({{10, "-33.875 1e1"}})).settings.ObserverLong, 10);
}

TEST(SettingsFile, OverLongWordsAreCutAndConsumed) {
    const std::string longWord(100000, 'l');
    const SettingsLoad load = Read(DefaultWith({{4, "inches-and-more-than-six"},
                                                {5, "5"},
                                                {6, "s" + longWord},
                                                {9, "m" + longWord},
                                                {18, "1" + std::string(200, '0') + " 480"}}));
    EXPECT_EQ(load.diameterCommand, DiameterCommand::N5in);
    EXPECT_FALSE(load.settings.DateLong);
    EXPECT_TRUE(load.settings.GridMm);
    EXPECT_EQ(load.settings.ScreenWidth, 1024);
    EXPECT_EQ(load.settings.ScreenHeight, 480);
    EXPECT_EQ(load.settings.ShortDateLayout, Settings{}.ShortDateLayout);
    EXPECT_EQ(load.settings.NESWPoints, true);
    EXPECT_LT(load.error.size(), 200u);
}

// General format to 15 significant digits: 150 / 25.4 = 5.905511811023622 shows 15 of them.
TEST(SettingsFile, ShortestDecimalText) {
    EXPECT_EQ(ShortestDecimalText(150), "150");
    EXPECT_EQ(ShortestDecimalText(51.5), "51.5");
    EXPECT_EQ(ShortestDecimalText(-0.25), "-0.25");
    EXPECT_EQ(ShortestDecimalText(0.1), "0.1");
    EXPECT_EQ(ShortestDecimalText(150.0 / 25.4), "5.90551181102362");
}

} // namespace
} // namespace zorva
