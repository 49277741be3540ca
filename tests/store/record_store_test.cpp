#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/record/monthly_report.h"
#include "store/record_schema.h"
#include "store/record_store.h"
#include "support/test_support.h"

namespace zorva {
namespace {

namespace fs = std::filesystem;

const CalendarDay kToday{2024, 5, 10};

// A visual observation on day `day` of November 2011: 2 groups and 7 spots in the north, 1
// and 3 in the south.
SunspotObservation Visual(int32_t day, int32_t hour = 8, std::string observer = "ABC") {
    SunspotObservation o;
    o.instant = {2011, 11, day, hour, 30, 0};
    o.observer = std::move(observer);
    o.site = "Uccle";
    o.seeing = 2;
    o.instrument = "refractor 80/1200";
    o.north = {2, 7};
    o.south = {1, 3};
    return o;
}

// A picture's observation with one group at (lat, long) of `area` millionths.
SunspotObservation Picture(const std::string& name, Instant t, double lat, double lon,
                           double area = 100) {
    SunspotObservation o;
    o.method = ObservationMethod::Picture;
    o.picture = name;
    o.fingerprint = PictureFingerprint(name);
    o.instant = t;
    ObservedGroup g;
    g.number = 1;
    g.north = lat >= 0;
    g.latitude = lat;
    g.longitude = lon;
    g.areaMsh = area;
    g.spots = 3;
    g.mcintosh = "Cso";
    o.groups = {g};
    CountGroups(o);
    return o;
}

std::unique_ptr<Record> OpenOrFail(const fs::path& path, const RecordOptions& options = {}) {
    std::string error;
    auto record = Record::Open(path, error, options);
    EXPECT_TRUE(record) << error;
    return record;
}

// What goes in comes back, R as 10 g + s of the counts; the file is in WAL mode and says
// whose it is and its version.
TEST(RecordStore, ObservationsComeBackAsTheyWent) {
    test::TempDir dir;
    const fs::path file = dir / kDefaultRecordName;
    SunspotObservation picture = Picture("a/hmi.png", {2011, 11, 20, 1, 30, 0}, -17.5, 268.25, 220);
    picture.groups[0].noaa = 11354;
    picture.seeing = 1;
    {
        auto record = OpenOrFail(file);
        const RecordAdded added = record->Add({Visual(2), picture}, kToday);
        ASSERT_TRUE(added.Ok()) << added.problems[0];
        EXPECT_EQ(added.ids, (std::vector<int64_t>{1, 2}));
    }
    auto record = OpenOrFail(file);
    const std::vector<SunspotObservation> all = record->Observations();
    ASSERT_EQ(all.size(), 2u);
    const SunspotObservation& v = all[0];
    EXPECT_EQ(v.instant, (Instant{2011, 11, 2, 8, 30, 0}));
    EXPECT_EQ(v.observer, "ABC");
    EXPECT_EQ(v.site, "Uccle");
    EXPECT_EQ(v.seeing, 2);
    EXPECT_EQ(v.instrument, "refractor 80/1200");
    EXPECT_EQ(v.method, ObservationMethod::Visual);
    EXPECT_EQ(v.Wolf(), 10 * 3 + 10);
    const SunspotObservation& p = all[1];
    EXPECT_EQ(p.picture, "a/hmi.png");
    EXPECT_EQ(p.fingerprint, PictureFingerprint("a/hmi.png"));
    ASSERT_EQ(p.groups.size(), 1u);
    EXPECT_EQ(p.groups[0].latitude, -17.5);
    EXPECT_EQ(p.groups[0].longitude, 268.25);
    EXPECT_EQ(p.groups[0].areaMsh, 220);
    EXPECT_EQ(p.groups[0].mcintosh, "Cso");
    EXPECT_EQ(p.groups[0].noaa, 11354);
    EXPECT_EQ(p.groups[0].lifeId, 1);
    EXPECT_EQ(record->Find(2)->picture, "a/hmi.png");
    EXPECT_FALSE(record->Find(3));
    EXPECT_EQ(record->Observations(CalendarDay{2011, 11, 3}).size(), 1u);

    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    const auto value = [db](const char* sql) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
        sqlite3_step(s);
        const std::string text = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
        sqlite3_finalize(s);
        return text;
    };
    EXPECT_EQ(value("PRAGMA journal_mode"), "wal");
    EXPECT_EQ(value("PRAGMA application_id"), std::to_string(kRecordApplicationId));
    EXPECT_EQ(value("PRAGMA user_version"), std::to_string(Record::kVersion));
    EXPECT_EQ(value("SELECT wolf || ' ' || wolf_north || ' ' || wolf_south FROM observation "
                    "WHERE id = 1"),
              "40 27 13");
    sqlite3_close(db);
}

// Writes `sql` into a new SQLite file.
void MakeSqlite(const fs::path& file, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    sqlite3_close(db);
}

// Files that are no record of this program's are refused with the reason, and not one of
// their bytes changes.
TEST(RecordStore, WhatIsNoRecordIsLeftAlone) {
    test::TempDir dir;
    const fs::path record = dir / "record.sqlite";
    {
        auto r = OpenOrFail(record);
        for (int32_t day = 1; day <= 30; ++day)
            ASSERT_TRUE(r->Add({Visual(day)}, kToday).Ok());
    }
    const std::string good = test::ReadFile(record);
    ASSERT_GT(good.size(), 3 * 4096u);
    struct Case {
        const char* name;
        std::function<void(const fs::path&)> make;
        const char* reason;
    };
    const Case cases[] = {
        {"notes.txt", [](const fs::path& f) { test::WriteFile(f, "my sunspot notes\n"); },
         "not an SQLite database"},
        {"other.sqlite", [](const fs::path& f) { MakeSqlite(f, "CREATE TABLE t (x)"); },
         "another program's SQLite database"},
        {"newer.sqlite",
         [&](const fs::path& f) {
             test::WriteFile(f, good);
             MakeSqlite(f, "PRAGMA user_version = 99");
         },
         "newer version of Zorva (record version 99"},
        {"scribbled.sqlite",
         [&](const fs::path& f) {
             std::string bad = good;
             for (std::size_t i = 4096; i < 3 * 4096; ++i)
                 bad[i] = static_cast<char>(i * 7);
             test::WriteFile(f, bad);
         },
         "damaged"},
        {"cut.sqlite", [&](const fs::path& f) { test::WriteFile(f, good.substr(0, 5000)); },
         "damaged"},
    };
    for (const Case& c : cases) {
        const fs::path file = dir / c.name;
        c.make(file);
        const std::string before = test::ReadFile(file);
        for (const bool readOnly : {false, true}) {
            std::string error;
            RecordOptions options;
            options.readOnly = readOnly;
            EXPECT_FALSE(Record::Open(file, error, options)) << c.name;
            EXPECT_NE(error.find(c.reason), std::string::npos) << c.name << ": " << error;
            EXPECT_NE(error.find("left as it is"), std::string::npos) << error;
        }
        EXPECT_EQ(test::ReadFile(file), before) << c.name;
    }
    std::string error;
    EXPECT_FALSE(Record::Open(dir.path(), error));
    EXPECT_NE(error.find("not a file"), std::string::npos);
}

// Bad input changes nothing: a batch with one bad observation adds none of it.
TEST(RecordStore, RefusedObservationsChangeNothing) {
    test::TempDir dir;
    auto record = OpenOrFail(dir / "r.sqlite");
    const SunspotObservation first = Picture("d1.png", {2011, 11, 1, 8, 0, 0}, 10, 100);
    ASSERT_TRUE(record->Add({first, Visual(1)}, kToday).Ok());
    SunspotObservation future = Visual(3);
    future.instant.year = 2025;
    SunspotObservation tooFew = Visual(4);
    tooFew.north = {3, 2};
    SunspotObservation renamed = first; // the same bytes under another name
    renamed.picture = "copy.png";
    renamed.instant.hour = 9;
    SunspotObservation sameName = first; // the same name and instant, unread bytes
    sameName.fingerprint.clear();
    struct Case {
        const char* what;
        std::vector<SunspotObservation> batch;
        const char* problem;
    };
    const Case cases[] = {
        {"the future", {Visual(5), future}, "after today"},
        {"fewer spots than groups", {tooFew}, "fewer spots than groups"},
        {"a picture's bytes again", {renamed}, "was added before, as observation 1"},
        {"a picture's name and instant again", {sameName}, "already in the record"},
        {"a typed observation again", {Visual(1)}, "already in the record, as observation 2"},
        {"twice in one batch", {Visual(6), Visual(6)}, "given twice"},
    };
    for (const Case& c : cases) {
        const RecordAdded added = record->Add(c.batch, kToday);
        ASSERT_FALSE(added.Ok()) << c.what;
        EXPECT_TRUE(added.ids.empty());
        EXPECT_NE(added.problems[0].find(c.problem), std::string::npos)
            << c.what << ": " << added.problems[0];
        EXPECT_EQ(record->Count(), 2) << c.what;
    }
    // The same picture again is told once, not once for its bytes and again for its name.
    EXPECT_EQ(record->Add({first}, kToday).problems.size(), 1u);
    // Another observer, or another time of the same day, is another observation.
    EXPECT_TRUE(record->Add({Visual(1, 8, "XYZ"), Visual(1, 14)}, kToday).Ok());
    EXPECT_EQ(record->Count(), 4);
}

// A full disk in the middle of a write: the transaction rolls back, the record is as it was
// and takes the next write once there is room.
TEST(RecordStore, AFullDiskRollsBack) {
    test::TempDir dir;
    const fs::path file = dir / "r.sqlite";
    auto record = OpenOrFail(file);
    ASSERT_TRUE(record->Add({Visual(1)}, kToday).Ok());
    std::vector<SunspotObservation> many;
    for (int32_t day = 2; day <= 30; ++day) {
        for (int32_t hour = 6; hour < 18; ++hour) {
            many.push_back(Picture("p" + std::to_string(day) + "_" + std::to_string(hour) + ".png",
                                   {2011, 11, day, hour, 0, 0}, 10, 100 + hour));
        }
    }
    RecordAdded added;
    {
        std::error_code ec;
        const auto wal = fs::file_size(fs::path(file.string() + "-wal"), ec);
        const test::ScopedFileSizeLimit full(
            std::max<uintmax_t>(fs::file_size(file), ec ? 0 : wal));
        added = record->Add(many, kToday);
    }
    ASSERT_FALSE(added.Ok());
    // A file past the size limit fails its write as a file past the disk's end does.
    EXPECT_NE(added.problems[0].find("nothing was added: a write to the disk failed (the disk "
                                     "may be full"),
              std::string::npos)
        << added.problems[0];
    EXPECT_EQ(record->Count(), 1);
    EXPECT_EQ(OpenOrFail(file)->Count(), 1);
    EXPECT_TRUE(record->Add(many, kToday).Ok());
    EXPECT_EQ(record->Count(), 1 + static_cast<int64_t>(many.size()));

    // The same when the record may grow no further.
    RecordOptions small;
    small.largestPages = 8;
    auto limited = OpenOrFail(dir / "small.sqlite", small);
    const RecordAdded refused = limited->Add(many, kToday);
    ASSERT_FALSE(refused.Ok());
    EXPECT_NE(refused.problems[0].find("the disk is full"), std::string::npos);
    EXPECT_EQ(limited->Count(), 0);
}

// Two processes adding at once: each waits for the other's transaction, and every
// observation of both is kept.
TEST(RecordStore, TwoProcessesAddingAtOnceLoseNothing) {
    test::TempDir dir;
    const fs::path file = dir / "shared.sqlite";
    constexpr int kEach = 60;
    std::vector<pid_t> children;
    for (const char* observer : {"AAA", "BBB"}) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            std::string error;
            auto record = Record::Open(file, error);
            bool ok = record != nullptr;
            for (int i = 0; ok && i < kEach; ++i)
                ok = record->Add({Visual(1 + i % 28, i / 28, observer)}, kToday).Ok();
            record.reset();
            _exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    auto record = OpenOrFail(file);
    EXPECT_EQ(record->Count(), 2 * kEach);
}

// A second observation of a day is kept; the report takes the best seeing unless another is
// marked.
TEST(RecordStore, TheDaysObservationCanBeMarked) {
    test::TempDir dir;
    auto record = OpenOrFail(dir / "r.sqlite");
    SunspotObservation morning = Visual(2, 8), noon = Visual(2, 12);
    noon.seeing = 1;
    noon.north = {1, 1};
    ASSERT_TRUE(record->Add({morning, noon}, kToday).Ok());
    const auto dayOf = [&] {
        return MakeMonthlyReport(record->Observations(), 2011, 11).days.at(0).instant.hour;
    };
    EXPECT_EQ(dayOf(), 12);
    EXPECT_EQ(record->MarkDay(1), "");
    EXPECT_EQ(dayOf(), 8);
    EXPECT_EQ(record->MarkDay(2), "");
    EXPECT_EQ(dayOf(), 12);
    EXPECT_EQ(record->Count(), 2);
    EXPECT_EQ(record->MarkDay(9), "there is no observation 9");
}

// Groups followed through the record: the same lives whether the days come in order or not,
// and the lives list each day.
TEST(RecordStore, GroupsAreFollowedWhateverTheOrderOfAdding) {
    test::TempDir dir;
    std::vector<SunspotObservation> week;
    for (int32_t day = 1; day <= 7; ++day) {
        const double drift = CarringtonDrift(12, day - 1);
        SunspotObservation o =
            Picture("w" + std::to_string(day) + ".png", {2011, 11, day, 12, 0, 0}, 12, 200 + drift);
        ObservedGroup other = o.groups[0];
        other.number = 2;
        other.north = false;
        other.latitude = -20;
        other.longitude = 150 + CarringtonDrift(-20, day - 1);
        other.noaa = day >= 3 ? std::optional<int32_t>(11360) : std::nullopt;
        o.groups.push_back(other);
        CountGroups(o);
        week.push_back(o);
    }
    const auto livesOf = [](Record& r) {
        std::vector<std::pair<int64_t, int64_t>> lives; // per day: north's and south's ids
        for (const SunspotObservation& o : r.Observations())
            lives.emplace_back(o.groups[0].lifeId, o.groups[1].lifeId);
        return lives;
    };
    auto inOrder = OpenOrFail(dir / "in_order.sqlite");
    for (const SunspotObservation& o : week)
        ASSERT_TRUE(inOrder->Add({o}, kToday).Ok());
    const auto expected = std::vector<std::pair<int64_t, int64_t>>(7, {1, 2});
    EXPECT_EQ(livesOf(*inOrder), expected);

    auto shuffled = OpenOrFail(dir / "shuffled.sqlite");
    for (const int i : {6, 0, 3, 5, 1, 4, 2})
        ASSERT_TRUE(shuffled->Add({week[static_cast<std::size_t>(i)]}, kToday).Ok());
    const auto lives = livesOf(*shuffled);
    EXPECT_EQ(std::count(lives.begin(), lives.end(), lives[0]), 7);
    EXPECT_NE(lives[0].first, lives[0].second);

    const std::vector<GroupLife> groups = inOrder->Groups();
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].days.size(), 7u);
    EXPECT_EQ(groups[1].noaa, 11360);
    EXPECT_FALSE(groups[0].noaa);
    EXPECT_EQ(inOrder->Groups(CalendarDay{2011, 11, 7}, CalendarDay{2011, 11, 7}).size(), 2u);
    EXPECT_TRUE(inOrder->Groups(CalendarDay{2011, 12, 1}).empty());
}

// Migrations: each step runs once, in one transaction with the new version; a failing step
// leaves the file at the version it had. A file of the first version, with what it holds, is
// brought up to this program's when opened to add to it; one brought past it is refused.
TEST(RecordStore, MigrationsStepUpOrLeaveTheFileAsItWas) {
    test::TempDir dir;
    const fs::path file = dir / "r.sqlite";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    const auto version = [&db] { // db is closed and opened again below
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &s, nullptr);
        sqlite3_step(s);
        const int v = sqlite3_column_int(s, 0);
        sqlite3_finalize(s);
        return v;
    };
    std::string error;
    const RecordMigration first[] = {RecordMigrations()[0]};
    ASSERT_TRUE(MigrateRecord(db, first, error)) << error;
    ASSERT_EQ(sqlite3_exec(db,
                           "INSERT INTO observation (id, instant, julian_date, day, observer, "
                           "site, instrument, method, groups_north, spots_north, groups_south, "
                           "spots_south) VALUES (1, '2011-11-01T08:30:00Z', 2455866.85, "
                           "'2011-11-01', 'ABC', '', '', 'visual', 1, 3, 0, 0); INSERT INTO "
                           "sighting (observation, number, hemisphere, spots, class) VALUES (1, "
                           "1, 'N', 3, 'Cso')",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    const RecordMigration broken[] = {RecordMigrations()[0],
                                      {2, "ALTER TABLE observation ADD COLUMN weather TEXT"},
                                      {3, "ALTER TABLE nothing ADD COLUMN x"}};
    EXPECT_FALSE(MigrateRecord(db, broken, error));
    EXPECT_NE(error.find("nothing"), std::string::npos) << error;
    EXPECT_EQ(version(), 1);
    sqlite3_close(db);

    // Read-only, an older file is refused; opened to add to, it is brought up to date.
    RecordOptions toRead;
    toRead.readOnly = true;
    EXPECT_FALSE(Record::Open(file, error, toRead));
    EXPECT_NE(error.find("older version"), std::string::npos) << error;
    {
        auto record = OpenOrFail(file);
        const auto o = record->Find(1);
        ASSERT_TRUE(o);
        ASSERT_EQ(o->groups.size(), 1u);
        EXPECT_EQ(o->groups[0].mcintosh, "Cso");
        EXPECT_FALSE(o->groups[0].classReviewed);
        EXPECT_EQ(o->Wolf(), 13);
        EXPECT_EQ(o->instantSource, ""); // kept before the record said where it came from
    }
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(version(), Record::kVersion);
    const RecordMigration next[] = {RecordMigrations()[0],
                                    RecordMigrations()[1],
                                    RecordMigrations()[2],
                                    {4, "ALTER TABLE observation ADD COLUMN weather TEXT"}};
    EXPECT_TRUE(MigrateRecord(db, next, error)) << error;
    EXPECT_EQ(version(), 4);
    EXPECT_TRUE(MigrateRecord(db, next, error)) << error; // nothing more to do
    EXPECT_EQ(
        sqlite3_exec(db, "UPDATE observation SET weather = 'clear'", nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(db);
    EXPECT_FALSE(Record::Open(file, error));
    EXPECT_NE(error.find("newer version"), std::string::npos);
}

// The observer corrects a group's class: kept as theirs, in the observation and in the group's
// life; a class that is none, or a group that is not there, changes nothing.
TEST(RecordStore, AClassCorrectedIsTheObservers) {
    test::TempDir dir;
    auto record = OpenOrFail(dir / "r.sqlite");
    ASSERT_TRUE(record->Add({Picture("d1.png", {2011, 11, 1, 8, 0, 0}, 10, 100)}, kToday).Ok());
    EXPECT_FALSE(record->Find(1)->groups[0].classReviewed);
    EXPECT_NE(record->ReviewClass(1, 1, "Dxq").find("no McIntosh class"), std::string::npos);
    EXPECT_EQ(record->ReviewClass(1, 2, "Dso"), "the observation has no group 2");
    EXPECT_EQ(record->ReviewClass(7, 1, "Dso"), "there is no observation 7");
    EXPECT_EQ(record->Find(1)->groups[0].mcintosh, "Cso");
    EXPECT_EQ(record->ReviewClass(1, 1, " Dao "), "");
    const ObservedGroup g = record->Find(1)->groups[0];
    EXPECT_EQ(g.mcintosh, "Dao");
    EXPECT_TRUE(g.classReviewed);
    const std::vector<GroupLife> lives = record->Groups();
    ASSERT_EQ(lives.size(), 1u);
    EXPECT_EQ(lives[0].days[0].mcintosh, "Dao");
    EXPECT_TRUE(lives[0].days[0].classReviewed);
    EXPECT_EQ(lives[0].days[0].number, 1);
}

} // namespace
} // namespace zorva
