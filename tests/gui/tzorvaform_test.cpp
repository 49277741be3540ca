// The main window's wiring: its items and controls, start-up and shut-down, and the
// window showing the session's state. What the commands compute is tested on the session.
#include "gui/tzorvaform.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStatusBar>
#include <QTimeEdit>
#include <gtest/gtest-spi.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/settings/settings_store.h"
#include "gui/chart_image.h"
#include "gui/image_view.h"
#include "window_fixture.h"

namespace zorva {
namespace {

struct MainWindow : test::WindowTest {
    MainWindow() : WindowTest(QDate(2000, 1, 31)) {}
    std::string SettingsText() const {
        return test::ReadFile(dir / std::string(kSettingsFileName));
    }
};

TEST_F(MainWindow, EveryCommandAndControlHasItsName) {
    for (const char* name : {"OpenImage1",
                             "CloseImage1",
                             "Save1",
                             "SaveAs1",
                             "NewLogfile1",
                             "OpenLogfile1",
                             "AddtoLogfile1",
                             "Exit",
                             "FlipMenu",
                             "MirrorMenu",
                             "DiskOrientation1",
                             "DiskOrientation3",
                             "DiskOrientation2",
                             "N100mm",
                             "N125mm",
                             "N150mm",
                             "Othermm",
                             "N4in",
                             "N5in",
                             "N6in",
                             "Otherin",
                             "NESWPoints1",
                             "CentralMeridian1",
                             "Equator1",
                             "LatLines1",
                             "LongLines1",
                             "Diameter1",
                             "Rotation1",
                             "RotationCarrington",
                             "CarrBlack",
                             "CarrWhite",
                             "CarrLabel",
                             "RotationDifferential",
                             "DiffRed",
                             "DiffLabel",
                             "LoadSRS1",
                             "SRSGreen",
                             "SRSFileNameLabel",
                             "LoadSRS2",
                             "SRSBlue2",
                             "SRSFileNameLabel2",
                             "Arc1",
                             "LongitudeArc1",
                             "GreatCircle1",
                             "SpotinMiddle1",
                             "DistBlack1",
                             "DistWhite1",
                             "Arc2",
                             "DistBlack2",
                             "DistWhite2",
                             "Sunspot1",
                             "SolarRegionSummary1",
                             "Points1",
                             "Circle1",
                             "N6404801",
                             "N8006001",
                             "N10247681",
                             "N11528641",
                             "N128010241",
                             "N160010241",
                             "N160012001",
                             "DateShort",
                             "DateLong",
                             "IncreaseDateWindow1",
                             "DecreaseDateWindow1",
                             "IncreaseTimeWindow1",
                             "DecreaseTimeWindow1",
                             "PrecisionRA1",
                             "PrecisionRA3",
                             "PrecisionDec2",
                             "PrecisionAltAzi3",
                             "PrecisionBLP2",
                             "PrecisionDia1",
                             "PrecisionLL2",
                             "PrecisionArea1",
                             "LogFileMessageBox1",
                             "N1sqmm",
                             "N125sqin",
                             "Contents1",
                             "Welcome1",
                             "About",
                             "CarrSetColour",
                             "DiffSetColour",
                             "SRSColour",
                             "Colour1",
                             "DistColour1",
                             "DistColour2",
                             "ScreenResolution1",
                             "RightAscension1",
                             "Declination1",
                             "AltAzi1",
                             "B01",
                             "Diameter2",
                             "LatLong1",
                             "Area1"}) {
        Item(name);
    }
    for (const char* name :
         {"ObserverLatBox", "ObserverLongBox", "DiamBox", "XCoordBox", "YCoordBox", "SizeBox"}) {
        Box(name);
    }
    for (const char* name :
         {"RALabel",       "DecLabel",       "AltLabel",  "AziLabel",  "PALabel",  "B0Label",
          "L0Label",       "PLabel",         "DiamLabel", "CRLabel",   "LatLabel", "LongLabel",
          "AreaLabel",     "SunspotCRLabel", "Sep1Label", "Sep2Label", "LL1Label", "LL2Label",
          "DiskDiamLabel", "SizeLabel",      "UTCaption"}) {
        Find<QLabel>(name);
    }
    Find<QDateEdit>("DatePicker");
    Find<QTimeEdit>("TimePicker");
    Find<gui::ImageControl>("Image");
    Find<gui::ImageView>("Image1");
    // And a name the window does not have fails the test that asks for it.
    ::testing::TestPartResultArray results;
    {
        const ::testing::ScopedFakeTestPartResultReporter intercept(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
        EXPECT_THROW(Find("NoSuchControl"), std::runtime_error);
    }
    ASSERT_EQ(results.size(), 1);
    EXPECT_TRUE(results.GetTestPartResult(0).nonfatally_failed());
}

TEST_F(MainWindow, FirstStartShowsTheSession) {
    EXPECT_EQ(dialogs.modals, QStringList{"TIntroForm"});
    EXPECT_EQ(Find<gui::ImageControl>("Image")->width(), 553);
    EXPECT_TRUE(Checked("DiskOrientation1"));
    EXPECT_TRUE(Checked("N150mm"));
    EXPECT_TRUE(Checked("DateLong"));
    EXPECT_TRUE(Checked("N1sqmm"));
    EXPECT_TRUE(Checked("Sunspot1"));
    EXPECT_TRUE(Checked("LongitudeArc1"));
    EXPECT_FALSE(Checked("GreatCircle1"));
    EXPECT_TRUE(Checked("DistBlue1"));
    EXPECT_TRUE(Checked("N10247681")); // the screen the layout is for
    EXPECT_FALSE(Item("AddtoLogfile1")->isEnabled());
    EXPECT_EQ(Item("PrecisionAltAzi2")->text(), QString::fromUtf8(" 0.1\u00B0"));
    EXPECT_EQ(Box("ObserverLatBox")->text(), "51.5");
    EXPECT_EQ(Box("XCoordBox")->text(), "0.0");
    EXPECT_EQ(Box("DiamBox")->text(), "150.0");
    EXPECT_TRUE(Box("DiamBox")->isReadOnly());
    EXPECT_EQ(Find<QDateEdit>("DatePicker")->date(), QDate(2000, 1, 31));
    EXPECT_EQ(Find<QTimeEdit>("TimePicker")->time(), QTime(12, 0, 0));
    EXPECT_EQ(Text("AreaLabel"), "    0");
    EXPECT_EQ(Text("Sep1Label"), "          -");
    EXPECT_EQ(Text("SizeLabel"), QString::fromUtf8("1 mm\u00B2"));
}

TEST_F(MainWindow, WelcomeOnlyOnAFirstStartWithoutAFile) {
    // SetUp was a first start without a file: the window came, and is not shown again.
    ASSERT_EQ(dialogs.modals, QStringList{"TIntroForm"});
    Close();
    dialogs.modals.clear();
    Open();
    EXPECT_TRUE(dialogs.modals.isEmpty());
    EXPECT_EQ(SettingsText().substr(0, 5), "true\n");
    // A first start with a file to open goes straight to it.
    Close();
    std::filesystem::remove(dir / std::string(kSettingsFileName));
    Open(true);
    EXPECT_TRUE(dialogs.modals.isEmpty());
    // From the Help menu: the text, where to begin, and no larger than its text needs.
    QString begin;
    QSize size;
    dialogs.onModal = [&](QDialog& d) {
        d.show();
        begin = d.findChild<QLabel*>("IntroLabel3")->text();
        size = d.size();
    };
    Trigger("Welcome1");
    EXPECT_TRUE(begin.contains("open a picture or set the date"));
    EXPECT_LT(size.height(), form->height());
    EXPECT_LT(size.width(), form->width());
}

TEST_F(MainWindow, ChoicesSurviveARestart) {
    Trigger("PrecisionRA1");
    Trigger("DateShort");
    Trigger("SRSGreen2");
    Trigger("N4in");
    Trigger("DiskOrientation3");
    Trigger("IncreaseDateWindow1");
    Settings before = session().CurrentSettings();
    const QSize size = form->size();
    Close();
    const std::string text = SettingsText();
    Open();
    // The window's size is kept too, as it was at the close.
    before.WindowWidth = size.width();
    before.WindowHeight = size.height();
    EXPECT_EQ(session().CurrentSettings(), before);
    EXPECT_TRUE(Checked("SRSGreen"));
    EXPECT_TRUE(Checked("N4in"));
    EXPECT_EQ(Text("DiskDiamLabel"), "in");
    EXPECT_TRUE(Checked("DateShort"));
    EXPECT_FALSE(Find<QLabel>("PALabel")->isHidden());
    EXPECT_EQ(Item("FlipMenu")->text(), "&Flip (T - B)");
    EXPECT_EQ(Find<QDateEdit>("DatePicker")->x(), 54);
    Close();
    EXPECT_EQ(SettingsText(), text);
}

TEST_F(MainWindow, DamagedSettingsStillStart) {
    Close();
    std::string garbage;
    for (int i = 0; i < 3000; ++i)
        garbage.push_back(static_cast<char>((i * 131) & 0xFF));
    test::WriteFile(dir / std::string(kSettingsFileName), garbage);
    test::WriteFile(dir / std::string(kDirectoryFileName), garbage);
    Open();
    EXPECT_EQ(Find<gui::ImageControl>("Image")->width(), 553);
    // The status line names the file that could not be read.
    EXPECT_TRUE(form->statusBar()->currentMessage().contains(
        QString::fromUtf8(kSettingsFileName.data(), kSettingsFileName.size())))
        << form->statusBar()->currentMessage().toStdString();
}

TEST_F(MainWindow, AFailedSaveOnExitIsReported) {
    // A folder where the settings file should be: it cannot be replaced.
    std::filesystem::create_directory(dir / std::string(kSettingsFileName));
    Trigger("Exit");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QString::fromUtf8(kSettingsFileName.data())));
    form.reset();
}

// The Sub-pixel Limb choice is kept in the program's own options file, read as it was
// written before. A pipe behind a link of that name once held up the start; now it is named
// at the start, left as it is at the close, and the failed save is reported.
TEST_F(MainWindow, TheOptionsFileIsReadAsWrittenAndNeverReplacedBlindly) {
    Close();
    const std::filesystem::path options = dir / "ZorvaOptions.ini";
    test::WriteFile(options, "[General]\nSubPixelLimb=true\n");
    Open();
    EXPECT_TRUE(Checked("SubPixelLimb1"));
    Trigger("SubPixelLimb1");
    Close();
    const std::string written = test::ReadFile(options);
    EXPECT_EQ(written.rfind("[General]\n", 0), 0u) << written;
    EXPECT_NE(written.find("\nSubPixelLimb=false\n"), std::string::npos) << written;

    std::filesystem::remove(options);
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    std::filesystem::create_symlink("pipe", options);
    constexpr unsigned kSecondsBeforeAHangCounts = 60;
    ::alarm(kSecondsBeforeAHangCounts);
    Open();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains("ZorvaOptions.ini: a pipe"))
        << dialogs.messages[0].text.toStdString();
    Close();
    ::alarm(0);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.messages[1].text.contains("could not be saved") &&
                dialogs.messages[1].text.contains("ZorvaOptions.ini: a pipe"))
        << dialogs.messages[1].text.toStdString();
    EXPECT_TRUE(std::filesystem::is_symlink(options));
    EXPECT_TRUE(std::filesystem::is_fifo(dir / "pipe"));
}

TEST_F(MainWindow, SpunPickersCarry) {
    auto* date = Find<QDateEdit>("DatePicker");
    date->setSelectedSection(QDateTimeEdit::DaySection);
    date->stepBy(1); // 31 January: the picker wraps to 1 January, the window carries
    EXPECT_EQ(date->date(), QDate(2000, 2, 1));
    EXPECT_EQ(session().Observing().Date(), (CalendarDate{2000, 2, 1}));
    // Typed outright, the last day of a month is taken as it is.
    date->setDate(QDate(2000, 3, 1));
    date->setDate(QDate(2000, 3, 31));
    EXPECT_EQ(session().Observing().Date(), (CalendarDate{2000, 3, 31}));
    auto* time = Find<QTimeEdit>("TimePicker");
    date->setDate(QDate(2014, 12, 31));
    time->setTime(QTime(23, 59, 59));
    time->setSelectedSection(QDateTimeEdit::SecondSection);
    time->stepBy(1);
    EXPECT_EQ(time->time(), QTime(0, 0, 0));
    EXPECT_EQ(date->date(), QDate(2015, 1, 1));
}

// What is typed is the whole time or date, whichever field the cursor stood in; a date that a
// time or more letters may follow waits for Enter.
TEST_F(MainWindow, TypedTimesAndDatesReplaceTheWhole) {
    struct Case {
        const char* picker;
        const char* typed;
        bool enter;
        Instant expected;
    };
    for (const Case& c : {Case{"TimePicker", "18:56:00", false, {2000, 1, 31, 18, 56, 0}},
                          {"TimePicker", "070809", false, {2000, 1, 31, 7, 8, 9}},
                          {"DatePicker", "15/03/2024", false, {2024, 3, 15, 7, 8, 9}},
                          {"DatePicker", "7 June 2011", false, {2011, 6, 7, 7, 8, 9}},
                          {"DatePicker", "201208Jun", true, {2012, 6, 8, 7, 8, 9}},
                          {"DatePicker", "2011-06-07", true, {2011, 6, 7, 7, 8, 9}},
                          {"DatePicker", "2011-06-09 12:30", true, {2011, 6, 9, 12, 30, 0}}}) {
        auto* picker = Find<QDateTimeEdit>(c.picker);
        picker->setFocus();
        picker->setSelectedSection(QDateTimeEdit::MinuteSection);
        QTest::keyClicks(picker, c.typed);
        if (c.enter) QTest::keyClick(picker, Qt::Key_Return);
        EXPECT_EQ(session().Observing().observation().instant, c.expected) << c.typed;
        EXPECT_NE(picker->findChild<QLineEdit*>()->palette().color(QPalette::Text),
                  QColor(Qt::red));
    }
    // A date that cannot be read stays in red with the reason, and changes nothing.
    auto* date = Find<QDateTimeEdit>("DatePicker");
    QTest::keyClicks(date, "7 Juni 2011");
    QTest::keyClick(date, Qt::Key_Return);
    EXPECT_EQ(session().Observing().observation().instant, (Instant{2011, 6, 9, 12, 30, 0}));
    EXPECT_EQ(date->findChild<QLineEdit*>()->text(), "7 Juni 2011");
    EXPECT_EQ(date->findChild<QLineEdit*>()->palette().color(QPalette::Text), QColor(Qt::red));
    EXPECT_TRUE(date->toolTip().contains("is no date")) << date->toolTip().toStdString();
    EXPECT_TRUE(form->statusBar()->currentMessage().contains("is no date"));
    QTest::keyClick(date, Qt::Key_Escape); // the date in use comes back
    EXPECT_EQ(date->findChild<QLineEdit*>()->text(), "9 June 2011");
    EXPECT_NE(date->findChild<QLineEdit*>()->palette().color(QPalette::Text), QColor(Qt::red));
}

TEST_F(MainWindow, BoxesAreMarkedUntilTheirTextIsInUse) {
    Type("ObserverLatBox", "95");
    QLineEdit* lat = Box("ObserverLatBox");
    EXPECT_EQ(lat->palette().color(QPalette::Text), QColor(Qt::red));
    EXPECT_TRUE(lat->toolTip().contains("in use: 9")) << lat->toolTip().toStdString();
    QFocusEvent leave(QEvent::FocusOut); // focus leaves: the value in use comes back
    QCoreApplication::sendEvent(lat, &leave);
    EXPECT_EQ(lat->text(), "9");
    EXPECT_NE(lat->palette().color(QPalette::Text), QColor(Qt::red));
    EXPECT_EQ(lat->toolTip(), "Observer latitude");
    // Decimals start with a point or a comma, and nothing stops the typing.
    for (const char* text : {"51,5", ".5", "-.5"})
        Type("ObserverLatBox", text);
    EXPECT_EQ(session().Observing().observation().observer.latitude, -0.5);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainWindow, TheWindowStaysOnTheScreen) {
    // A 400 mm chart is 1476 pixels: far larger than the offscreen test screen.
    Trigger("Othermm");
    Type("DiamBox", "400");
    ASSERT_EQ(Find<gui::ImageControl>("Image")->width(), 1476);
    const QRect avail = form->screen()->availableGeometry();
    EXPECT_TRUE(avail.contains(form->geometry())) << form->geometry().width();
    EXPECT_GE(form->geometry().top(), avail.top());
}

TEST_F(MainWindow, TheStatusBarSaysWhereTheNumbersComeFrom) {
    EXPECT_EQ(Text("TableSourceLabel"), "Ephemeris: built-in table");
    Find<QDateEdit>("DatePicker")->setDate(QDate(2060, 1, 1));
    EXPECT_EQ(Text("TableSourceLabel"), "Ephemeris: computed");
    // A year file that stops at an impossible value is named, once, with its line.
    test::WriteFile(dir / "zorvadata2061.txt",
                    "a b c d e f g\nh i j k l m n o p q r\n2061 Jan 1 99 0 0 0 0 32 0 1\n");
    Find<QDateEdit>("DatePicker")->setDate(QDate(2061, 1, 1));
    EXPECT_EQ(Text("TableSourceLabel"), "Ephemeris: year file zorvadata2061.txt");
    EXPECT_TRUE(form->statusBar()->currentMessage().contains("zorvadata2061.txt"))
        << form->statusBar()->currentMessage().toStdString();
}

TEST_F(MainWindow, ExitWritesTheSettings) {
    Trigger("Exit");
    EXPECT_FALSE(SettingsText().empty());
    // No dialog folder was used, so there is no directory file.
    EXPECT_FALSE(std::filesystem::exists(dir / std::string(kDirectoryFileName)));
    EXPECT_TRUE(LoadSettingsFiles(dir.path()).settings.error.empty());
}

} // namespace
} // namespace zorva
