// Settings and directory values outside what the program can use take their defaults.
#include <gtest/gtest.h>
#include <map>
#include <sstream>

#include "core/chart/chart_geometry.h"
#include "core/layout/picker_layout.h"
#include "core/settings/directory_file.h"
#include "core/settings/settings_file.h"

namespace zorva {
namespace {

// The file a first run writes, with lines (numbered from 1) replaced.
std::string DefaultWith(std::map<int, std::string> lines) {
    std::istringstream in(SettingsFileText(Settings{}));
    std::string out;
    int n = 1;
    for (std::string l; std::getline(in, l); ++n)
        out += (lines.count(n) ? lines[n] : l) + "\n";
    return out;
}
std::string DefaultWith(int line, const std::string& text) {
    return DefaultWith({{line, text}});
}

SettingsLoad Read(const std::string& text) {
    std::istringstream in(text);
    return ReadSettings(in);
}

TEST(SettingsRanges, ValuesOutOfRangeTakeTheirDefaultsOneByOne) {
    const Settings d;
    struct Case {
        int line;
        const char* text;
        Settings expected;
    };
    const auto with = [&d](auto change) {
        Settings s = d;
        change(s);
        return s;
    };
    const Case cases[] = {
        // Only the bad numbers fall back; their neighbours are read.
        {7, "-2147483648 75 180 72 258 19", d},
        {7, "61 0 181 -5 2147483647 20",
         with([](Settings& s) { s.ShortDateLayout = {61, 75, 181, 72, 258, 20}; })},
        {8, "29 1001 200 72 278 19", d},
        {18, "-1 -1", d},
        {18, "-2147483648 768", d},
        {18, "1280 100000", with([](Settings& s) { s.ScreenWidth = 1280; })},
        {10, "999 -999", d},
        {10, "-33.9 360.5", with([](Settings& s) { s.ObserverLat = -33.9; })},
        // The observer box folds a longitude above 180: so does reading it.
        {10, "51.5 200", with([](Settings& s) { s.ObserverLong = -160; })},
        {5, "0.0002", d},
        {5, "1e300", d},
        {5, "2000.5", d},
    };
    for (const Case& c : cases) {
        const SettingsLoad load = Read(DefaultWith(c.line, c.text));
        EXPECT_EQ(load.settings, c.expected) << c.line << ": " << c.text;
        const std::string noted =
            c.expected.ObserverLong == -160 ? "" : "line " + std::to_string(c.line) + ":";
        EXPECT_EQ(load.error.substr(0, noted.size()), noted) << c.text << " -> " << load.error;
        EXPECT_EQ(load.error.empty(), noted.empty()) << c.text << " -> " << load.error;
    }
    // 100 inches is 2540 mm, more than a chart is drawn at: the 150 mm chart instead.
    const SettingsLoad inches = Read(DefaultWith({{4, "inch"}, {5, "100"}}));
    EXPECT_TRUE(inches.diameterAbsent);
    EXPECT_EQ(inches.diameterCommand, DiameterCommand::N150mm);
    // A repaired value is what is saved again.
    EXPECT_EQ(SettingsFileText(Read(DefaultWith(18, "-1 -1")).settings), SettingsFileText(d));
}

// Whatever the file held, the window fit and the picker commands work on sane numbers:
// a screen of -1 by -1 once gave a window of no size, and INT_MIN overflowed.
TEST(SettingsRanges, ReadValuesLayOutAWindow) {
    for (const char* screen : {"-1 -1", "-2147483648 -2147483648", "1 1"}) {
        const Settings s = Read(DefaultWith(18, screen)).settings;
        const int32_t side = ChartSide(150);
        const WindowFit fit = FitWindowToChart(side, side, s.ScreenWidth, s.ScreenHeight);
        EXPECT_GT(fit.width, 0) << screen;
        EXPECT_GT(fit.height, 0) << screen;
    }
    const Settings s = Read(DefaultWith(7, "-2147483648 -2147483648 -2147483648 -2147483648 "
                                           "-2147483648 -2147483648"))
                           .settings;
    EXPECT_EQ(s.ShortDateLayout, Settings{}.ShortDateLayout);
    const PickerWidthChange wider = IncreaseDateWindow(s.ShortDateLayout, {8, 325}, {});
    EXPECT_GT(wider.layout.DatePickerWidth, s.ShortDateLayout.DatePickerWidth);
}

TEST(SettingsRanges, DirectoryFoldersWithANulAreDropped) {
    std::istringstream in(std::string("2\n1 \n/im\0ages/\n4 \n/logs/\n", 24));
    const DirectoryLoad load = ReadDirectoryFile(in);
    EXPECT_EQ(load.folders, (Folders{"", "", "", "/logs/"}));
    EXPECT_NE(load.error.find("NUL"), std::string::npos);
    EXPECT_EQ(DirectoryFileText({std::string("/a\0b/", 5), "", "", ""}), std::nullopt);
}

} // namespace
} // namespace zorva
