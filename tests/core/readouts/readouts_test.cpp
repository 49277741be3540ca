#include "core/readouts/readouts.h"

#include <gtest/gtest.h>

namespace zorva {
namespace {

// Every expected text and left edge in this file follows the readout rules:
// round_k(x) = floor(k x + 0.5) / k, sign and blanks by the rounded value, and a label's left
// edge trunc(c - n / 2) about its centre c.
struct TextCase {
    double value;
    int32_t precision;
    const char* text;
};

TEST(Readouts, RightAscension) {
    const TextCase cases[] = {
        {18.747267, 1, "18h 45m"},     {18.747267, 2, "18h 44.8m"}, {18.747267, 3, "18h 44m 50s"},
        {23.9999, 1, "  0h 00m"},      {23.9999, 2, "  0h 00.0m"},  {23.9999, 3, "23h 59m 59s"},
        {9.999, 1, "10h 00m"},         {0.25, 3, "  0h 15m 00s"},   {5.05, 1, "  5h 03m"},
        {18.747267, 7, "18h 44m 50s"}, // an unknown precision shows as the last item
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(RightAscensionText(c.value, c.precision), c.text)
            << c.value << " " << c.precision;
    }
}

TEST(Readouts, DeclinationSignsAndCarry) {
    const TextCase cases[] = {
        {-23.04225, 1, "-23\u00B0 03'"},
        {-23.04225, 2, " -23\u00B0 02.5'"},
        {-23.04225, 3, "-23\u00B0 02' 32\""},
        {-0.5, 1, "  -0\u00B0 30'"},
        {-0.5, 2, "   -0\u00B0 30.0'"},
        {10.995, 1, "+11\u00B0 00'"},
        {5.5, 1, "  +5\u00B0 30'"},
        {5.5, 2, "  +5\u00B0 30.0'"},
        {15.25, 2, "+15\u00B0 15.0'"},
        {-5.5, 1, "  -5\u00B0 30'"},
        {-5.5, 2, "   -5\u00B0 30.0'"},
        {-15.25, 3, "-15\u00B0 15' 00\""},
        {0.0, 3, "  +0\u00B0 00' 00\""},
        {-9.99999, 1, "-10\u00B0 00'"}, // the sign part follows the carried degrees
        {-9.99999, 2, " -10\u00B0 00.0'"},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(DeclinationText(c.value, c.precision), c.text) << c.value << " " << c.precision;
    }
}

TEST(Readouts, HorizonAnglesPrefixByTheRoundedValue) {
    const TextCase alt[] = {
        {45.26, 2, " 45.3\u00B0"}, {5, 2, "   5.0\u00B0"},     {-5, 2, "  -5.0\u00B0"},
        {-10, 2, "-10.0\u00B0"},   {-9.96, 2, "-10.0\u00B0"},  {9.996, 3, " 10.00\u00B0"},
        {12.5, 1, " 13\u00B0"},    {-0.04, 2, "   0.0\u00B0"},
    };
    for (const TextCase& c : alt) {
        EXPECT_EQ(AltitudeText(c.value, c.precision), c.text) << c.value;
        EXPECT_EQ(ParallacticAngleText(c.value, c.precision), c.text) << c.value;
    }
    const TextCase azi[] = {
        {359.6, 1, "    0\u00B0"},   {359.96, 2, "    0.0\u00B0"}, {180.04, 2, "180.0\u00B0"},
        {100, 2, "100.0\u00B0"},     {9.96, 2, "  10.0\u00B0"},    {9.94, 2, "    9.9\u00B0"},
        {99.996, 3, "100.00\u00B0"},
    };
    for (const TextCase& c : azi)
        EXPECT_EQ(AzimuthText(c.value, c.precision), c.text) << c.value;
}

TEST(Readouts, SolarParameters) {
    const TextCase b0[] = {
        {-3.02, 1, " -3.0\u00B0"}, {3.02, 2, "+3.02\u00B0"}, {0, 1, "+0.0\u00B0"}};
    for (const TextCase& c : b0)
        EXPECT_EQ(B0Text(c.value, c.precision), c.text) << c.value;
    const TextCase l0[] = {
        {330.02, 1, " 330.0\u00B0"}, {359.97, 1, "     0.0\u00B0"}, {359.997, 2, "    0.00\u00B0"},
        {100, 2, "100.00\u00B0"},    {45.25, 1, "   45.3\u00B0"},   {45.25, 2, "  45.25\u00B0"},
        {9.96, 1, "   10.0\u00B0"},
    };
    for (const TextCase& c : l0)
        EXPECT_EQ(L0Text(c.value, c.precision), c.text) << c.value;
    const TextCase p[] = {
        {2.16, 1, "   +2.2\u00B0"}, {2.16, 2, "  +2.16\u00B0"}, {25.4, 1, " +25.4\u00B0"},
        {25.4, 2, "+25.40\u00B0"},  {-5, 1, "    -5.0\u00B0"},  {-5, 2, "   -5.00\u00B0"},
        {-10, 1, "  -10.0\u00B0"},  {-10, 2, " -10.00\u00B0"},
    };
    for (const TextCase& c : p)
        EXPECT_EQ(PText(c.value, c.precision), c.text) << c.value;
}

TEST(Readouts, Diameter) {
    struct Case {
        int32_t minutes;
        double seconds;
        int32_t precision;
        const char* text;
    };
    const Case cases[] = {
        {32, 34.9, 1, "  32' 35\""},  {32, 34.9, 2, "32' 34.9\""}, {31, 59.7, 1, "  32' 00\""},
        {31, 59.97, 2, "32' 00.0\""}, {32, 5.04, 2, "32' 05.0\""}, {32, 9.5, 1, "  32' 10\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DiameterText(c.minutes, c.seconds, c.precision), c.text) << c.seconds;
    }
}

TEST(Readouts, PositionGroupPlacementFollowsTheOrientation) {
    Ephemeris e;
    e.RA = 18.747267;
    e.Dec = -23.04225;
    e.Altitude = 45.26;
    e.Azimuth = 180.04;
    e.ParallacticAngle = -12.3;
    const ReadoutPrecisions precisions{1, 2, 2, 2, 2};

    const PositionReadouts eq = PositionReadoutTexts(e, precisions, Orientation::Equatorial);
    EXPECT_EQ(eq.RALabel, (LabelText{"18h 45m", 20}));
    EXPECT_EQ(eq.DecLabel, (LabelText{" -23\u00B0 02.5'", 106})); // 11 characters
    EXPECT_EQ(eq.DecCaptionLeft, 124);
    EXPECT_EQ(eq.AltLabel, (LabelText{" 45.3\u00B0", 208}));
    EXPECT_EQ(eq.AziLabel, (LabelText{"180.0\u00B0", 260}));
    EXPECT_EQ(eq.AltCaptionLeft, 216);
    EXPECT_EQ(eq.AziCaptionLeft, 268);
    EXPECT_FALSE(eq.PAVisible);
    EXPECT_EQ(eq.PALabel.text, "-12.3\u00B0"); // written even while hidden
    EXPECT_EQ(eq.AltAzi1Caption, "Alt && Azi");
    EXPECT_EQ(PositionReadoutTexts(e, precisions, Orientation::RotationAxis), eq);

    const PositionReadouts az = PositionReadoutTexts(e, precisions, Orientation::AltAzimuth);
    EXPECT_EQ(az.DecLabel.left, 96);
    EXPECT_EQ(az.DecCaptionLeft, 114);
    EXPECT_EQ(az.AltLabel.left, 173);
    EXPECT_EQ(az.AziLabel.left, 220);
    EXPECT_EQ(az.AltCaptionLeft, 181);
    EXPECT_EQ(az.AziCaptionLeft, 228);
    EXPECT_TRUE(az.PAVisible);
    EXPECT_EQ(az.PACaptionLeft, 280);
    EXPECT_EQ(az.PALabel.left, 267);
    EXPECT_EQ(az.AltAzi1Caption, "Alt, Azi && Par Angle");

    // The label centres move with the precision.
    const PositionReadouts fine = PositionReadoutTexts(e, {3, 3, 3, 2, 2}, Orientation::Equatorial);
    EXPECT_EQ(fine.RALabel, (LabelText{"18h 44m 50s", 14}));
    EXPECT_EQ(fine.DecLabel, (LabelText{"-23\u00B0 02' 32\"", 102}));
    EXPECT_EQ(fine.AltLabel, (LabelText{" 45.26\u00B0", 204}));
}

TEST(Readouts, SolarParameterGroup) {
    Ephemeris e;
    e.B0 = -3.02;
    e.L0 = 330.02;
    e.P = 2.16;
    e.DiamMinutes = 32;
    e.DiamSeconds = 34.9;
    e.Rotation = 2301;
    const SolarParameterReadouts coarse = SolarParameterTexts(e, {3, 3, 2, 1, 1});
    EXPECT_EQ(coarse.B0Label, (LabelText{" -3.0\u00B0", 27}));
    EXPECT_EQ(coarse.L0Label, (LabelText{" 330.0\u00B0", 82}));
    EXPECT_EQ(coarse.PLabel, (LabelText{"   +2.2\u00B0", 138}));
    EXPECT_EQ(coarse.DiamLabel, "  32' 35\"");
    EXPECT_EQ(coarse.CRLabel, "2301");
    const SolarParameterReadouts fine = SolarParameterTexts(e, {3, 3, 2, 2, 2});
    EXPECT_EQ(fine.B0Label, (LabelText{" -3.02\u00B0", 24}));
    EXPECT_EQ(fine.L0Label, (LabelText{"330.02\u00B0", 80}));
    EXPECT_EQ(fine.PLabel, (LabelText{"  +2.16\u00B0", 136}));
    EXPECT_EQ(fine.DiamLabel, "32' 34.9\"");
}

} // namespace
} // namespace zorva
