// The observer's record in the window: a picture added as the command line adds it, typed
// counts that cannot be refused, the month's report as the command line reports it, a class
// corrected, and the record's file chosen and kept.
#include <QComboBox>
#include <QDateTimeEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <fstream>
#include <sstream>

#include "../cli/run_cli.h"
#include "core/record/record_tables.h"
#include "gui/record_window.h"
#include "store/record_store.h"
#include "window_fixture.h"

namespace zorva {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<SunspotObservation> Held(const fs::path& file) {
    std::string error;
    RecordOptions options;
    options.readOnly = true;
    const auto record = Record::Open(file, error, options);
    if (!record) ADD_FAILURE() << error;
    return record ? record->Observations() : std::vector<SunspotObservation>{};
}

template <class T> T* In(QWidget& parent, const char* name) {
    T* found = parent.findChild<T*>(QString::fromLatin1(name));
    if (!found) throw std::runtime_error(std::string("no ") + name);
    return found;
}

struct RecordPicture : test::WindowTest {
    RecordPicture() : WindowTest(QDate(2005, 1, 12)) {}
};

// Record > Add This Picture keeps what the command line's record add keeps for the same
// picture, with the details given in the form; the same picture again is refused.
TEST_F(RecordPicture, APictureGoesInAsTheCommandLineAddsIt) {
    ZORVA_TEST_DATA(data);
    const fs::path file = data / "images" / "mdi_20050111_235932_1024.png";
    dialogs.files.push_back(QString::fromStdString(file.string()));
    Trigger("OpenImage1");
    // The picture lies with the Sun's axis up and east to the left (the test data's README).
    Trigger("DiskOrientation2");
    if (session().Geometry().MirrorSign != -1) Trigger("MirrorMenu");
    dialogs.onModal = [](QDialog& d) {
        In<QLineEdit>(d, "ObserverCode")->setText("ABC");
        In<QComboBox>(d, "ObservationSeeing")->setCurrentIndex(2);
    };
    Trigger("AddThisPicture1");
    ASSERT_EQ(dialogs.modals.last(), "PictureObservationDialog");
    const std::vector<SunspotObservation> window = Held(dir / "ZorvaRecord.sqlite");

    const Instant& t = session().Observing().observation().instant;
    char at[32];
    std::snprintf(at, sizeof at, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    const fs::path other = dir / "cli.sqlite";
    const test::CliResult cli = test::RunCli({"record", "add", file.string(), "--at", at,
                                              "--orientation", "axis", "--mirror", "--observer",
                                              "ABC", "--seeing", "2", "--record", other.string()});
    ASSERT_EQ(cli.status, 0) << cli.err;
    const std::vector<SunspotObservation> line = Held(other);
    ASSERT_EQ(window.size(), 1u);
    ASSERT_EQ(line.size(), 1u);
    const SunspotObservation &w = window[0], &c = line[0];
    EXPECT_EQ(w.method, ObservationMethod::Picture);
    EXPECT_EQ(w.observer, "ABC");
    EXPECT_EQ(w.seeing, 2);
    EXPECT_EQ(w.instant, c.instant);
    EXPECT_EQ(w.north, c.north);
    EXPECT_EQ(w.south, c.south);
    EXPECT_EQ(w.fingerprint, c.fingerprint);
    EXPECT_GE(w.Groups(), 2); // NOAA 10718 and 10720 (the test data's README)
    ASSERT_EQ(w.groups.size(), c.groups.size());
    for (std::size_t i = 0; i < w.groups.size(); ++i) {
        EXPECT_EQ(w.groups[i].mcintosh, c.groups[i].mcintosh);
        EXPECT_EQ(w.groups[i].areaMsh, c.groups[i].areaMsh);
    }
    EXPECT_EQ(session().options().RecordObserver, "ABC");

    // Added before: said, and nothing more kept.
    Trigger("AddThisPicture1");
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.messages.back().text.contains("was added before"))
        << dialogs.messages.back().text.toStdString();
    EXPECT_EQ(Held(dir / "ZorvaRecord.sqlite").size(), 1u);
}

struct RecordTyped : test::WindowTest {
    RecordTyped() : WindowTest(QDate(2011, 11, 30)) {}

    fs::path File() const { return dir / "ZorvaRecord.sqlite"; }

    void Cli(std::vector<std::string> args) {
        args.insert(args.end(), {"--record", File().string()});
        const test::CliResult r = test::RunCli(args);
        ASSERT_EQ(r.status, 0) << r.err;
    }

    gui::RecordWindow* Window() { return Find<gui::RecordWindow>("RecordWindow"); }
    QTableWidget* Grid(const char* name) { return In<QTableWidget>(*Window(), name); }
};

// Counts that cannot be are refused with the reason, the form stays, and nothing is kept (no
// record is even made); good ones go in with their groups.
TEST_F(RecordTyped, TheVisualFormRefusesBadCounts) {
    struct Case {
        const char* what;
        std::function<void(QDialog&)> fill;
        const char* message; // empty: added
    };
    const auto counts = [](QDialog& d, int gn, int sn, int gs, int ss) {
        In<QLineEdit>(d, "ObserverCode")->setText("ABC");
        In<QSpinBox>(d, "NorthGroups")->setValue(gn);
        In<QSpinBox>(d, "NorthSpots")->setValue(sn);
        In<QSpinBox>(d, "SouthGroups")->setValue(gs);
        In<QSpinBox>(d, "SouthSpots")->setValue(ss);
    };
    const auto group = [](QDialog& d, QStringList cells) {
        In<QPushButton>(d, "AddGroupButton")->click();
        auto* grid = In<QTableWidget>(d, "ObservationGroupGrid");
        for (int c = 0; c < cells.size(); ++c)
            grid->item(grid->rowCount() - 1, c)->setText(cells[c]);
    };
    const Case cases[] = {
        {"fewer spots than groups", [&](QDialog& d) { counts(d, 3, 2, 0, 0); },
         "fewer spots than groups in the north (g 3, s 2)"},
        {"R not 10 g + s",
         [&](QDialog& d) {
             counts(d, 2, 7, 1, 3);
             In<QLineEdit>(d, "WolfBox")->setText("35");
         },
         "the Wolf number given, 35, is not 10 g + s = 40"},
        {"spots without a group", [&](QDialog& d) { counts(d, 0, 4, 0, 0); },
         "spots without a group"},
        {"a place that is none",
         [&](QDialog& d) {
             counts(d, 1, 5, 0, 0);
             group(d, {"W14", "5", "Dso", ""});
         },
         "group 1: the place 'W14'"},
        {"tomorrow",
         [&](QDialog& d) {
             counts(d, 1, 1, 0, 0);
             In<QDateTimeEdit>(d, "ObservationInstant")
                 ->setDateTime(QDateTime(QDate(2011, 12, 1), QTime(8, 0), Qt::UTC));
         },
         "after today"},
        {"good, with its groups",
         [&](QDialog& d) {
             counts(d, 1, 5, 1, 3);
             In<QLineEdit>(d, "WolfBox")->setText("28");
             group(d, {"N14W23", "5", "Dso", "11360"});
             group(d, {"S08E10", "3", "", ""});
         },
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.messages.clear();
        dialogs.onModal = c.fill;
        Trigger("AddVisualObservation1");
        if (*c.message) {
            ASSERT_EQ(dialogs.messages.size(), 1u);
            EXPECT_TRUE(dialogs.messages[0].text.contains(c.message))
                << dialogs.messages[0].text.toStdString();
            EXPECT_FALSE(fs::exists(File()));
            continue;
        }
        EXPECT_TRUE(dialogs.messages.empty());
        const std::vector<SunspotObservation> held = Held(File());
        ASSERT_EQ(held.size(), 1u);
        EXPECT_EQ(held[0].Wolf(), 28); // 10 x 2 + 8
        ASSERT_EQ(held[0].groups.size(), 2u);
        EXPECT_EQ(held[0].groups[0].noaa, 11360);
        EXPECT_EQ(held[0].groups[0].latitude, 14);
        EXPECT_EQ(held[0].groups[1].latitude, -8);
    }
}

// The month's report in the window is the command line's, as shown and as exported, also once
// another observation is marked as its day's there.
TEST_F(RecordTyped, TheMonthlyReportIsTheCommandLines) {
    for (const std::vector<std::string>& day : std::vector<std::vector<std::string>>{
             {"--at", "2011-11-03T08:00", "--north", "2,7", "--south", "1,4", "--seeing", "1"},
             {"--at", "2011-11-03T12:30", "--north", "1,2", "--south", "1,1", "--seeing", "3"},
             {"--at", "2011-11-10T09:15", "--group", "N14W23,5,Dso,11360", "--group", "S08E10,3"},
             {"--at", "2011-10-30T09:00", "--north", "1,1", "--south", "0,0"}}) {
        std::vector<std::string> args = {"record", "add", "--visual", "--observer", "ABC"};
        args.insert(args.end(), day.begin(), day.end());
        Cli(args);
    }
    Trigger("MonthlyReport1");
    gui::RecordWindow* window = Window();
    EXPECT_TRUE(window->isVisible());
    window->ChooseMonth(2011, 11);
    const auto same = [&] {
        for (const bool csv : {false, true}) {
            const fs::path out = dir / (csv ? "report.csv" : "report.txt");
            dialogs.files.push_back(QString::fromStdString(out.string()));
            In<QPushButton>(*window, csv ? "ExportReportCsvButton" : "ExportReportTextButton")
                ->click();
            std::vector<std::string> args = {"record",  "report",   "--month",
                                             "2011-11", "--record", File().string()};
            if (csv) args.insert(args.end(), {"--format", "csv"});
            const test::CliResult cli = test::RunCli(args);
            ASSERT_EQ(cli.status, 0) << cli.err;
            EXPECT_EQ(Slurp(out), cli.out);
        }
    };
    same();
    EXPECT_EQ(Grid("MonthlyReportGrid")->rowCount(), 2);            // the 3rd and the 10th
    EXPECT_EQ(Grid("MonthlyReportGrid")->item(0, 5)->text(), "41"); // the better seeing's R

    // The afternoon's observation (number 2) marked as the 3rd's in the window.
    QTableWidget* observations = Grid("RecordObservationGrid");
    for (int r = 0; r < observations->rowCount(); ++r) {
        if (observations->item(r, 0)->text() == "2") observations->selectRow(r);
    }
    In<QPushButton>(*window, "MarkDayButton")->click();
    EXPECT_EQ(Grid("MonthlyReportGrid")->item(0, 5)->text(), "23"); // 10 x (1 + 1) + 2 + 1
    same();
}

// A class corrected in the Groups page is the record's from then on; one that is no class is
// refused and the record keeps its own.
TEST_F(RecordTyped, AGroupsClassIsCorrectedInTheGroupsPage) {
    Cli({"record", "add", "--visual", "--at", "2011-11-10T09:15", "--group", "N14W23,5,Dso"});
    Trigger("RecordGroups1");
    QTableWidget* lives = Grid("RecordGroupGrid");
    ASSERT_EQ(lives->rowCount(), 1);
    lives->selectRow(0);
    QTableWidget* days = Grid("RecordGroupDayGrid");
    ASSERT_EQ(days->rowCount(), 1);
    const int column = static_cast<int>(kGroupDayClassColumn);
    for (const auto& [typed, held] : {std::pair{"Dxx", "Dso"}, std::pair{"Eai", "Eai"}}) {
        SCOPED_TRACE(typed);
        dialogs.messages.clear();
        days->item(0, column)->setText(typed);
        QCoreApplication::processEvents();
        EXPECT_EQ(dialogs.messages.size(), std::string(typed) == held ? 0u : 1u);
        EXPECT_EQ(Held(File()).at(0).groups.at(0).mcintosh, held);
        EXPECT_EQ(days->item(0, column)->text(), held);
    }
}

// File > Record... refuses a file that is no record, naming why, and leaves it and the
// record in use as they were; a file chosen is kept as an option for the next run.
TEST_F(RecordTyped, TheRecordsFileIsChosenAndKept) {
    const fs::path notes = dir / "notes.sqlite";
    test::WriteFile(notes, "my sunspot notes\n");
    dialogs.files.push_back(QString::fromStdString(notes.string()));
    Trigger("ChooseRecord1");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains("not a Zorva record"));
    EXPECT_TRUE(dialogs.messages[0].text.contains("left as it is"));
    EXPECT_EQ(Slurp(notes), "my sunspot notes\n");
    EXPECT_EQ(session().options().RecordFile, "");

    const fs::path mine = dir / "mine.sqlite";
    dialogs.files.push_back(QString::fromStdString(mine.string()));
    Trigger("ChooseRecord1");
    EXPECT_EQ(dialogs.messages.size(), 1u);
    Close();
    Open();
    EXPECT_EQ(session().options().RecordFile, mine.string());
    dialogs.onModal = [](QDialog& d) {
        In<QSpinBox>(d, "NorthGroups")->setValue(1);
        In<QSpinBox>(d, "NorthSpots")->setValue(2);
    };
    Trigger("AddVisualObservation1");
    EXPECT_EQ(Held(mine).size(), 1u);
    EXPECT_FALSE(fs::exists(File()));
}

} // namespace
} // namespace zorva
