#include "gui/tzorvaform.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "core/settings/settings_store.h"
#include "gui/intro_form.h"
#include "scripted_dialogs.h"
#include "support/test_support.h"

namespace zorva {
namespace {

using gui::TZorvaForm;

// One window over a folder of its own, with a fixed today.
struct Window {
    test::TempDir dir;
    test::ScriptedDialogs dialogs;
    gui::FixedClock clock{QDate(2000, 1, 31)};
    std::unique_ptr<TZorvaForm> form;

    void Open() {
        form = std::make_unique<TZorvaForm>(dialogs, clock,
                                            QString::fromStdString(dir.path().string()));
    }
    void Close() {
        form->close();
        form.reset();
    }
    void Trigger(const char* name) {
        QAction* a = form->action(name);
        ASSERT_NE(a, nullptr) << name;
        ASSERT_TRUE(a->isEnabled()) << name;
        a->trigger();
    }
    std::string SettingsText() const {
        return test::ReadFile(dir / std::string(kSettingsFileName));
    }
};

TEST(MainWindow, EveryCommandHasItsItem) {
    Window w;
    w.Open();
    for (const char* name :
         {"OpenImage1", "CloseImage1", "Save1", "SaveAs1", "NewLogfile1", "OpenLogfile1",
          "AddtoLogfile1", "Exit", "FlipMenu", "MirrorMenu", "DiskOrientation1",
          "DiskOrientation3", "DiskOrientation2", "N100mm", "N125mm", "N150mm", "Othermm", "N4in",
          "N5in", "N6in", "Otherin", "NESWPoints1", "CentralMeridian1", "Equator1", "LatLines1",
          "LongLines1", "RotationCarrington", "CarrBlack", "CarrWhite", "CarrLabel",
          "RotationDifferential", "DiffRed", "DiffLabel", "LoadSRS1", "SRSGreen",
          "SRSFileNameLabel", "LoadSRS2", "SRSBlue2", "SRSFileNameLabel2", "Arc1",
          "LongitudeArc1", "GreatCircle1", "SpotinMiddle1", "DistBlack1", "DistWhite1", "Arc2",
          "DistBlack2", "DistWhite2", "Sunspot1", "SolarRegionSummary1", "Points1", "Circle1",
          "N6404801", "N8006001", "N10247681", "N11528641", "N128010241", "N160010241",
          "N160012001", "DateShort", "DateLong", "IncreaseDateWindow1", "DecreaseDateWindow1",
          "IncreaseTimeWindow1", "DecreaseTimeWindow1", "PrecisionRA1", "PrecisionRA3",
          "PrecisionDec2", "PrecisionAltAzi3", "PrecisionBLP2", "PrecisionDia1", "PrecisionLL2",
          "PrecisionArea1", "LogFileMessageBox1", "N1sqmm", "N125sqin", "Contents1", "Welcome1",
          "About", "CarrSetColour", "DiffSetColour", "SRSColour", "Colour1", "DistColour1",
          "DistColour2", "ScreenResolution1", "RightAscension1", "Declination1", "AltAzi1",
          "B01", "Diameter2", "LatLong1", "Area1"}) {
        EXPECT_NE(w.form->action(name), nullptr) << name;
    }
}

TEST(MainWindow, FirstStartWithoutFiles) {
    Window w;
    w.Open();
    TZorvaForm& f = *w.form;
    EXPECT_EQ(w.dialogs.modals, QStringList{"TIntroForm"});
    EXPECT_EQ(f.chart().ChartDiameter, 150);
    EXPECT_EQ(f.Image->width(), 553);
    EXPECT_EQ(f.chart().Mode, Orientation::Equatorial);
    EXPECT_TRUE(f.action("DiskOrientation1")->isChecked());
    EXPECT_TRUE(f.action("N150mm")->isChecked());
    EXPECT_TRUE(f.action("DateLong")->isChecked());
    EXPECT_TRUE(f.action("N1sqmm")->isChecked());
    EXPECT_TRUE(f.action("Sunspot1")->isChecked());
    EXPECT_TRUE(f.action("NESWPoints1")->isChecked());
    EXPECT_TRUE(f.action("CentralMeridian1")->isChecked());
    EXPECT_FALSE(f.action("LatLines1")->isChecked());
    EXPECT_TRUE(f.action("DistBlue1")->isChecked());
    EXPECT_TRUE(f.action("DistRed2")->isChecked());
    EXPECT_FALSE(f.action("N10247681")->isChecked()); // none until the user picks one
    EXPECT_FALSE(f.action("AddtoLogfile1")->isEnabled());
    EXPECT_EQ(f.ObserverLatBox->text(), "51.5");
    EXPECT_EQ(f.ObserverLongBox->text(), "0.5");
    EXPECT_EQ(f.XCoordBox->text(), "0.0");
    EXPECT_EQ(f.DiamBox->text(), "150.0");
    EXPECT_TRUE(f.DiamBox->isReadOnly());
    EXPECT_EQ(f.observation().instant, (Instant{2000, 1, 31, 12, 0, 0}));
    EXPECT_EQ(f.observation().TableYear, 2000);
    EXPECT_EQ(f.observation().TableDays, 366);
    EXPECT_EQ(f.action("PrecisionAltAzi2")->text(), QString::fromUtf8(" 0.1\u00B0"));
    // The 150 mm chart on the assumed 1024 by 768 screen.
    EXPECT_EQ(f.windowFit(), (WindowFit{943, 639, 50, 40, false, false}));
    // The spot at the centre reads the centre's latitude and longitude.
    EXPECT_DOUBLE_EQ(f.spot().SpotLat, f.observation().ephemeris.B0);
    EXPECT_EQ(f.AreaLabel->text(), "    0");
    EXPECT_EQ(f.Sep1Label->text(), "          -");
    EXPECT_EQ(f.LL2Label->text(), "        -");
}

TEST(MainWindow, WelcomeUntilTicked) {
    Window w;
    w.Open();
    w.Close(); // closed without ticking: shown again
    w.dialogs.onModal = [](QDialog& d) {
        auto* box = d.findChild<QCheckBox*>("IntroCheckBox");
        ASSERT_NE(box, nullptr);
        EXPECT_FALSE(box->isChecked());
        box->setChecked(true);
    };
    w.Open();
    EXPECT_EQ(w.dialogs.modals.size(), 2);
    w.Close();
    w.dialogs.onModal = nullptr;
    w.dialogs.modals.clear();
    w.Open();
    w.Close();
    w.dialogs.modals.clear();
    w.Open();
    EXPECT_TRUE(w.dialogs.modals.isEmpty());
    EXPECT_EQ(w.SettingsText().substr(0, 5), "true\n");
    // From the Help menu the window shows the box ticked.
    bool ticked = false;
    w.dialogs.onModal = [&ticked](QDialog& d) {
        ticked = d.findChild<QCheckBox*>("IntroCheckBox")->isChecked();
    };
    w.Trigger("Welcome1");
    EXPECT_TRUE(ticked);
}

TEST(MainWindow, SettingsRoundTrip) {
    Window w;
    w.Open();
    w.Trigger("PrecisionRA1");
    w.Trigger("PrecisionDia1");
    w.Trigger("DateShort");
    w.Trigger("CarrRed");
    w.Trigger("CarrLabel");
    w.Trigger("SRSGreen2");
    w.Trigger("DistWhite2");
    w.Trigger("N8006001");
    w.Trigger("N4in");
    w.Trigger("FlipMenu");
    w.Trigger("DiskOrientation3");
    w.Trigger("LatLines1");
    w.Trigger("N125sqin");
    w.Trigger("LogFileMessageBox1");
    w.Trigger("IncreaseDateWindow1");
    QTest::keyClicks(w.form->ObserverLatBox, "0");  // 51.50
    const Settings before = w.form->CurrentSettings();
    w.Close();
    const std::string text = w.SettingsText();

    w.Open();
    EXPECT_EQ(w.form->CurrentSettings(), before);
    EXPECT_TRUE(w.form->action("SRSGreen")->isChecked());
    EXPECT_TRUE(w.form->action("N4in")->isChecked());
    EXPECT_EQ(w.form->DiskDiamLabel->text(), "in");
    EXPECT_TRUE(w.form->action("DateShort")->isChecked());
    EXPECT_TRUE(w.form->action("N8006001")->isChecked());
    EXPECT_FALSE(w.form->action("LogFileMessageBox1")->isChecked());
    EXPECT_FALSE(w.form->PALabel->isHidden());
    EXPECT_EQ(w.form->action("FlipMenu")->text(), "&Flip (T - B)");
    w.Close();
    EXPECT_EQ(w.SettingsText(), text);
    EXPECT_NE(text.find("inch\n4\nshort\n54 87 186 72 264 19\n"), std::string::npos) << text;
}

TEST(MainWindow, DamagedSettingsFilesGiveDefaults) {
    Window w;
    // Truncated after the date format: the rest takes its defaults.
    test::WriteFile(w.dir / std::string(kSettingsFileName), "true\n-1\n7\nmm\n100\nshort\n");
    w.Open();
    EXPECT_TRUE(w.dialogs.modals.isEmpty());
    EXPECT_EQ(w.form->chart().FlipSign, -1);
    EXPECT_EQ(w.form->chart().MirrorSign, 1); // 7 is repaired
    EXPECT_TRUE(w.form->action("N100mm")->isChecked());
    EXPECT_TRUE(w.form->action("DateShort")->isChecked());
    EXPECT_EQ(w.form->observation().observer.latitude, 51.5);
    w.Close();

    // Binary garbage: every value takes its default, and the window still starts.
    std::string garbage;
    for (int i = 0; i < 3000; ++i) garbage.push_back(static_cast<char>((i * 131) & 0xFF));
    test::WriteFile(w.dir / std::string(kSettingsFileName), garbage);
    test::WriteFile(w.dir / std::string(kDirectoryFileName), garbage);
    w.Open();
    EXPECT_EQ(w.form->chart().ChartDiameter, 150);
    EXPECT_EQ(w.form->Image->width(), 553);
}

TEST(MainWindow, DatePickerCarriesWrappedFields) {
    Window w;
    w.Open();
    QDateEdit* date = w.form->DatePicker;
    // 31 January, day spun up: the picker wraps to 1 January, the window carries.
    date->setSelectedSection(QDateTimeEdit::DaySection);
    date->stepBy(1);
    EXPECT_EQ(date->date(), QDate(2000, 2, 1));
    EXPECT_EQ(w.form->observation().instant.month, 2);
    // Down again from 1 February gives 31 January.
    date->setSelectedSection(QDateTimeEdit::DaySection);
    date->stepBy(-1);
    EXPECT_EQ(date->date(), QDate(2000, 1, 31));
    // 1 March of a leap year, day down: 29 February.
    date->setDate(QDate(2000, 3, 1));
    date->setSelectedSection(QDateTimeEdit::DaySection);
    date->stepBy(-1);
    EXPECT_EQ(date->date(), QDate(2000, 2, 29));
    // December, month up: January of the next year, and that year's table.
    date->setDate(QDate(2000, 12, 15));
    date->setSelectedSection(QDateTimeEdit::MonthSection);
    date->stepBy(1);
    EXPECT_EQ(date->date(), QDate(2001, 1, 15));
    EXPECT_EQ(w.form->observation().TableYear, 2001);
    EXPECT_EQ(w.form->observation().TableDays, 365);
    date->setSelectedSection(QDateTimeEdit::MonthSection);
    date->stepBy(-1);
    EXPECT_EQ(date->date(), QDate(2000, 12, 15));
}

TEST(MainWindow, TimePickerCarriesIntoTheDate) {
    Window w;
    w.Open();
    w.form->DatePicker->setDate(QDate(2014, 12, 31));
    QTimeEdit* time = w.form->TimePicker;
    time->setTime(QTime(23, 59, 59));
    time->setSelectedSection(QDateTimeEdit::SecondSection);
    time->stepBy(1);
    EXPECT_EQ(time->time(), QTime(0, 0, 0));
    EXPECT_EQ(w.form->DatePicker->date(), QDate(2015, 1, 1));
    EXPECT_EQ(w.form->observation().instant, (Instant{2015, 1, 1, 0, 0, 0}));
    EXPECT_EQ(w.form->observation().TableYear, 2015);
    // And back down across midnight into the old year.
    time->setSelectedSection(QDateTimeEdit::SecondSection);
    time->stepBy(-1);
    EXPECT_EQ(time->time(), QTime(23, 59, 59));
    EXPECT_EQ(w.form->DatePicker->date(), QDate(2014, 12, 31));
    // 10:00, minutes down: 09:59.
    time->setTime(QTime(10, 0, 0));
    time->setSelectedSection(QDateTimeEdit::MinuteSection);
    time->stepBy(-1);
    EXPECT_EQ(time->time(), QTime(9, 59, 0));
    time->setTime(QTime(10, 0, 0));
    time->setSelectedSection(QDateTimeEdit::SecondSection);
    time->stepBy(-1);
    EXPECT_EQ(time->time(), QTime(9, 59, 59));
}

TEST(MainWindow, ReadoutsFollowTheInstantAndPrecision) {
    Window w;
    w.Open();
    TZorvaForm& f = *w.form;
    f.DatePicker->setDate(QDate(1990, 1, 1));
    f.TimePicker->setTime(QTime(0, 0, 0));
    // The built-in table's first day, at 0h exactly.
    EXPECT_EQ(f.RALabel->text(), "18h 44m 50s");
    EXPECT_EQ(f.CRLabel->text(), "1824");
    w.Trigger("PrecisionRA1");
    EXPECT_EQ(f.RALabel->text(), "18h 45m");
    EXPECT_EQ(f.RALabel->x(), 20); // trunc(24 - 7/2)
    w.Trigger("PrecisionDec2");
    EXPECT_EQ(f.DecLabel->text(), " -23\u00B0 02.5'");
    w.Trigger("PrecisionBLP1");
    EXPECT_EQ(f.B0Label->text(), " -3.0\u00B0");
    EXPECT_EQ(f.L0Label->text(), " 330.0\u00B0");
    EXPECT_EQ(f.PLabel->text(), "   +2.2\u00B0");
    w.Trigger("PrecisionDia1");
    EXPECT_EQ(f.DiamLabel->text(), "  32' 35\"");
    // The AltAzimuth orientation shows the parallactic angle and renames the submenu.
    EXPECT_TRUE(f.PALabel->isHidden());
    w.Trigger("DiskOrientation3");
    EXPECT_FALSE(f.PALabel->isHidden());
    EXPECT_EQ(f.action("AltAzi1")->text(), "Alt, Azi && Par Angle");
    EXPECT_EQ(f.action("FlipMenu")->text(), "&Flip (T - B)");
    EXPECT_EQ(f.AltCaption->x(), 181);
}

TEST(MainWindow, ObserverBoxesKeepTheirLimits) {
    Window w;
    w.Open();
    TZorvaForm& f = *w.form;
    const double altitude = f.observation().ephemeris.Altitude;
    f.ObserverLatBox->clear();
    QTest::keyClicks(f.ObserverLatBox, "91");
    EXPECT_EQ(f.observation().observer.latitude, 9); // "9" was taken, "91" refused
    f.ObserverLatBox->clear();
    QTest::keyClicks(f.ObserverLatBox, "-33.5");
    EXPECT_EQ(f.observation().observer.latitude, -33.5);
    EXPECT_NE(f.observation().ephemeris.Altitude, altitude);
    f.ObserverLongBox->clear();
    QTest::keyClicks(f.ObserverLongBox, "270");
    EXPECT_EQ(f.observation().observer.longitude, -90);
    QTest::keyClicks(f.ObserverLongBox, "0"); // 2700 is refused
    EXPECT_EQ(f.observation().observer.longitude, -90);
    EXPECT_TRUE(w.dialogs.messages.empty());
    // A lone separator passes the check but not the conversion: an error box, and the
    // program goes on with the previous value.
    f.ObserverLatBox->clear();
    QTest::keyClicks(f.ObserverLatBox, ".");
    ASSERT_EQ(w.dialogs.messages.size(), 1u);
    EXPECT_EQ(f.observation().observer.latitude, -33.5);
}

TEST(MainWindow, ColourAndToggleCommands) {
    Window w;
    w.Open();
    TZorvaForm& f = *w.form;
    w.Trigger("SRSRed2");
    EXPECT_TRUE(f.action("SRSRed")->isChecked());
    EXPECT_FALSE(f.action("SRSBlack")->isChecked());
    EXPECT_EQ(f.overlays().SRSColour, kColourRed);
    w.Trigger("Sunspot1");
    EXPECT_FALSE(f.action("Sunspot1")->isChecked());
    w.Trigger("RotationCarrington");
    EXPECT_TRUE(f.action("RotationCarrington")->isChecked());
    EXPECT_TRUE(f.action("Sunspot1")->isChecked());
    w.Trigger("Sunspot1"); // stays on while a marker is shown
    EXPECT_TRUE(f.action("Sunspot1")->isChecked());
    w.Trigger("RotationCarrington");
    EXPECT_FALSE(f.markers().CarrMarkerShown);
    EXPECT_TRUE(f.action("Sunspot1")->isChecked());
    w.Trigger("SRSFileNameLabel2");
    EXPECT_TRUE(f.action("SRSFileNameLabel")->isChecked());
    w.Trigger("LogFileMessageBox1");
    EXPECT_EQ(f.overlays().LogFileMessageFlag, 1);
    const WindowFit fit = f.windowFit();
    w.Trigger("N6404801"); // takes effect at the next diameter change
    EXPECT_EQ(f.windowFit(), fit);
    w.Trigger("N100mm");
    EXPECT_EQ(f.windowFit(), (WindowFit{640, 452, 0, 0, true, true}));
}

TEST(MainWindow, ExitWritesBothFiles) {
    Window w;
    w.Open();
    w.Trigger("Exit");
    EXPECT_FALSE(w.SettingsText().empty());
    // No folder was used, so there is no directory file.
    EXPECT_FALSE(std::filesystem::exists(w.dir / std::string(kDirectoryFileName)));
    const LoadedSettingsFiles loaded = LoadSettingsFiles(w.dir.path());
    EXPECT_TRUE(loaded.settings.fileFound);
    EXPECT_TRUE(loaded.settings.error.empty()) << loaded.settings.error;
}

TEST(MainWindow, PickerWidthCommands) {
    Window w;
    w.Open();
    TZorvaForm& f = *w.form;
    w.Trigger("IncreaseDateWindow1");
    EXPECT_EQ(f.DatePicker->x(), 23);
    EXPECT_EQ(f.DatePicker->width(), 152);
    EXPECT_EQ(f.TimePicker->x(), 206);
    EXPECT_EQ(f.UTCaption->x(), 284);
    w.Trigger("DateShort");
    EXPECT_EQ(f.DatePicker->x(), 60);
    EXPECT_EQ(f.DatePicker->width(), 75);
    w.Trigger("DateLong");
    EXPECT_EQ(f.DatePicker->width(), 152);
}

} // namespace
} // namespace zorva
