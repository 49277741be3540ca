// The option table drives the settings file, the options file, the session's record and
// the menus: each option, changed alone, survives every one of them.
#include "core/options/option_table.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "core/session/session.h"
#include "support/test_support.h"

namespace zorva {
namespace {

// Another value the option may hold that the file can write exactly: the first run's value
// moved within its range. The diameter's unit goes with a value that unit can hold.
void ChangeOption(const OptionRow& row, Options& o) {
    if (row.name == "DiamInInches") o.DiamValue = 5;
    std::visit(
        [&](auto field) {
            auto& v = field(o);
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, bool>) {
                v = !v;
            } else if constexpr (std::is_same_v<T, int32_t>) {
                // Flip and mirror are signs; the others take the next number within range.
                v = (row.name == "FlipSign" || row.name == "MirrorSign") ? -v
                    : v + 1 <= row.high                                  ? v + 1
                                                                         : v - 1;
            } else if constexpr (std::is_same_v<T, double>) {
                v = v + 1 <= row.high ? v + 0.5 : v - 0.5;
            } else if constexpr (std::is_same_v<T, uint32_t>) {
                v = v == kColourGreen ? kColourWhite : kColourGreen;
            } else if constexpr (std::is_same_v<T, FigureForm>) {
                v = v == FigureForm::GreatCircle ? FigureForm::LongitudeArc
                                                 : FigureForm::GreatCircle;
            } else if constexpr (std::is_same_v<T, Orientation>) {
                v = v == Orientation::AltAzimuth ? Orientation::RotationAxis
                                                 : Orientation::AltAzimuth;
            } else if constexpr (std::is_same_v<T, std::vector<std::string>>) {
                // A list of paths: one with the characters the file quotes, and one plain.
                v = {"/data/my \"pictures\"; 2006/d060315.bmp ", "/data/srs/20110607SRS.txt"};
            } else if constexpr (std::is_same_v<T, std::string>) {
                // A line of text with the characters the file quotes, and blanks at its ends.
                v = " /data/my \"record\"; 2011.sqlite ";
            } else {
                v.DatePickerLeft += 1;
                v.UTCaptionWidth += 2;
            }
        },
        row.field);
}

TEST(OptionTable, EveryOptionChangedAloneSurvivesItsFileAndTheSession) {
    test::TempDir dir;
    std::set<int32_t> lines;
    for (const OptionRow& row : OptionTable()) {
        SCOPED_TRACE(std::string(row.name));
        // Stored in exactly one place.
        EXPECT_NE(row.line == 0, row.key.empty());
        if (row.line != 0) lines.insert(row.line);
        Options changed;
        ChangeOption(row, changed);
        ASSERT_NE(changed, Options{});
        if (row.line != 0) {
            std::istringstream in(SettingsFileText(changed));
            const SettingsLoad load = ReadSettings(in);
            EXPECT_EQ(load.error, "");
            EXPECT_EQ(OptionText(row, load.settings), OptionText(row, changed));
            // Through a session's start and back to the file (the diameter and the
            // observer are the session's own values, held apart from the record).
            Session session{YearTables(dir.path())};
            session.Start({{}, false, load}, {2026, 12, 7});
            EXPECT_EQ(OptionText(row, session.CurrentSettings()), OptionText(row, changed));
        } else {
            Options back;
            std::string error;
            ApplyOptionsFileEntries(OptionsFileEntries(changed), back, &error);
            EXPECT_EQ(error, "");
            EXPECT_EQ(back, changed);
        }
    }
    // Every line of the settings file has its options.
    EXPECT_EQ(lines.size(), 36u);
    EXPECT_EQ(*lines.begin(), 1);
    EXPECT_EQ(*lines.rbegin(), 36);
}

TEST(OptionTable, MenusShowTheValuesHeld) {
    Options o;
    o.SRSColour = kColourRed;
    o.SeparationPath = FigureForm::GreatCircle;
    o.RAPrecision = 7; // no item of its own: the group's last
    o.LogFileMessageFlag = 1;
    const std::map<std::string, bool> checks = OptionMenuChecks(o);
    EXPECT_TRUE(checks.at("SRSRed"));
    EXPECT_FALSE(checks.at("SRSBlack"));
    EXPECT_TRUE(checks.at("GreatCircle1"));
    EXPECT_FALSE(checks.at("LongitudeArc1"));
    EXPECT_TRUE(checks.at("PrecisionRA3"));
    EXPECT_FALSE(checks.at("PrecisionRA1"));
    EXPECT_FALSE(checks.at("LogFileMessageBox1"));
    EXPECT_TRUE(checks.at("SRSFileNameLabel2") == checks.at("SRSFileNameLabel"));
}

} // namespace
} // namespace zorva
