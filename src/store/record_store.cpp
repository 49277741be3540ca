// The record in its SQLite file: opened only when it is one of ours, written in
// transactions that another process waits for, never half done.
#include "store/record_store.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <map>
#include <set>

#include "core/record/typed_entry.h"
#include "core/spots/spot_report.h"
#include "store/record_connection.h"
#include "store/record_schema.h"
#include "store/sqlite_statement.h"

namespace zorva {

namespace fs = std::filesystem;
using store::Statement;

Record::Connection::~Connection() {
    sqlite3_close_v2(db);
}

namespace {

// The first bytes of every SQLite database file.
constexpr std::string_view kSqliteMagic{"SQLite format 3\0", 16};

std::string ObservationName(const SunspotObservation& o) {
    if (!o.picture.empty()) return o.picture;
    return "the observation of " + IsoInstantText(o.instant);
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int64_t PragmaValue(sqlite3* db, const char* pragma) {
    Statement s(db, std::string("PRAGMA ") + pragma);
    return s.Step() ? s.Int(0) : 0;
}

// Why an open SQLite file cannot be taken as a record; empty when it can.
std::string Refusal(sqlite3* db) {
    if (PragmaValue(db, "application_id") != kRecordApplicationId)
        return "not a Zorva record (another program's SQLite database)";
    const int64_t version = PragmaValue(db, "user_version");
    if (version > Record::kVersion)
        return "written by a newer version of Zorva (record version " + std::to_string(version) +
               "; this one reads versions up to " + std::to_string(Record::kVersion) + ")";
    Statement check(db, "PRAGMA quick_check");
    const std::string verdict = check.Step() ? check.Text(0) : "no answer";
    if (verdict != "ok") return "damaged (" + verdict + ")";
    return "";
}

} // namespace

Record::Record(fs::path path, std::unique_ptr<Connection> db, const RecordOptions& options)
    : path_(std::move(path)), db_(std::move(db)), options_(options) {}

Record::~Record() = default;

std::unique_ptr<Record> Record::Open(const fs::path& path, std::string& error,
                                     const RecordOptions& options) {
    error.clear();
    const auto refuse = [&](const std::string& why) {
        error = path.string() + ": " + why + "; the file is left as it is";
        return nullptr;
    };
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    bool fresh = false;
    if (fs::exists(status)) {
        if (!fs::is_regular_file(status)) return refuse("not a file");
        std::ifstream in(path, std::ios::binary);
        std::array<char, kSqliteMagic.size()> head{};
        in.read(head.data(), head.size());
        const auto got = static_cast<std::size_t>(in.gcount());
        if (!in && !in.eof()) return refuse("cannot be read");
        if (got == 0) {
            fresh = true;
        } else if (std::string_view(head.data(), got) != kSqliteMagic) {
            return refuse("not a Zorva record (not an SQLite database)");
        }
    } else {
        if (options.readOnly) {
            error = path.string() + ": there is no record there";
            return nullptr;
        }
        fresh = true;
    }
    if (fresh && options.readOnly) {
        error = path.string() + ": the record holds nothing yet";
        return nullptr;
    }

    auto connection = std::make_unique<Connection>();
    // Opened to write even to be read: the last connection to close then folds the
    // write-ahead log back into the file and removes it, which a read-only one cannot. A file
    // the user may not write is opened read-only all the same.
    const int flags = SQLITE_OPEN_READWRITE | (fresh ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(path.c_str(), &connection->db, flags, nullptr);
    if (rc != SQLITE_OK) {
        error = path.string() + ": cannot be opened: " + store::SqliteMessage(connection->db, rc);
        return nullptr;
    }
    sqlite3* db = connection->db;
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, options.waitMilliseconds);
    try {
        if (!fresh) {
            if (std::string why = Refusal(db); !why.empty()) return refuse(why);
        }
        if (!options.readOnly) {
            // A new file, and an older one, are brought to this version; two processes
            // doing so at once take turns, and the second finds it done.
            std::string why;
            if (!MigrateRecord(db, RecordMigrations(), why)) {
                error = path.string() + ": cannot be made a record: " + why;
                return nullptr;
            }
            store::Execute(db, "PRAGMA journal_mode = WAL");
            if (options.largestPages > 0)
                store::Execute(db,
                               "PRAGMA max_page_count = " + std::to_string(options.largestPages));
        } else if (PragmaValue(db, "user_version") < kVersion) {
            return refuse("written by an older version of Zorva; open it once to add to it, "
                          "which brings it up to date");
        }
        store::Execute(db, "PRAGMA foreign_keys = ON");
    } catch (const RecordError& e) {
        return refuse(std::string("cannot be read: ") + e.what());
    }
    return std::unique_ptr<Record>(new Record(path, std::move(connection), options));
}

RecordAdded Record::Add(std::vector<SunspotObservation> observations, const CalendarDay& today) {
    RecordAdded added;
    if (options_.readOnly) {
        added.problems.push_back("the record is open to be read, not written");
        return added;
    }
    for (const SunspotObservation& o : observations) {
        if (std::string p = ObservationProblem(o, today); !p.empty())
            added.problems.push_back(ObservationName(o) + ": " + p);
    }
    if (!added.problems.empty() || observations.empty()) return added;
    sqlite3* db = db_->db;
    try {
        store::WriteTransaction transaction(db);
        // A picture added before, by its bytes or by its name and instant; the same typed
        // observation (instant, observer, method) twice.
        Statement byFingerprint(db, "SELECT id FROM observation WHERE fingerprint = ?1");
        Statement byInstant(db, "SELECT id, method, picture, observer FROM observation "
                                "WHERE instant = ?1");
        std::set<std::string> fingerprints, namesAtInstants, typedAtInstants;
        for (const SunspotObservation& o : observations) {
            const std::string instant = IsoInstantText(o.instant);
            const std::string name = ObservationName(o);
            const std::string typed =
                instant + "|" + o.observer + "|" + std::string(MethodName(o.method));
            const std::string pictureKey = instant + "|" + BaseName(o.picture);
            if (!o.fingerprint.empty()) {
                if (!fingerprints.insert(o.fingerprint).second) {
                    added.problems.push_back(name + ": the same picture is given twice");
                    continue;
                }
                byFingerprint.Bind(1, o.fingerprint);
                const bool before = byFingerprint.Step();
                if (before) {
                    added.problems.push_back(name +
                                             ": this picture was added before, as "
                                             "observation " +
                                             std::to_string(byFingerprint.Int(0)));
                }
                byFingerprint.Reset();
                // Its name and instant would only say the same again.
                if (before) continue;
            }
            const bool picture = o.method == ObservationMethod::Picture;
            if (!(picture ? namesAtInstants.insert(pictureKey) : typedAtInstants.insert(typed))
                     .second) {
                added.problems.push_back(name + ": given twice");
                continue;
            }
            byInstant.Bind(1, instant);
            while (byInstant.Step()) {
                const bool samePicture = picture && byInstant.Text(1) == "picture" &&
                                         BaseName(byInstant.Text(2)) == BaseName(o.picture);
                const bool sameTyped = !picture && byInstant.Text(1) == MethodName(o.method) &&
                                       byInstant.Text(3) == o.observer;
                if (samePicture || sameTyped) {
                    added.problems.push_back(name + ": already in the record, as observation " +
                                             std::to_string(byInstant.Int(0)));
                    break;
                }
            }
            byInstant.Reset();
        }
        if (!added.problems.empty()) return added;

        Statement insert(
            db, "INSERT INTO observation (instant, julian_date, day, observer, site, seeing, "
                "instrument, method, picture, fingerprint, groups_north, spots_north, "
                "groups_south, spots_south, instant_source) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, "
                "?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15)");
        Statement insertGroup(db, "INSERT INTO sighting (observation, number, hemisphere, "
                                  "latitude, longitude, area, spots, class, noaa, "
                                  "class_reviewed) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, "
                                  "?10)");
        double earliest = 0;
        std::vector<int64_t> marked;
        for (const SunspotObservation& o : observations) {
            const double jd = JulianDate(o.instant);
            earliest = added.ids.empty() ? jd : std::min(earliest, jd);
            const auto optionalText = [](const std::string& t) {
                return t.empty() ? std::optional<std::string>() : std::optional<std::string>(t);
            };
            insert.Bind(1, IsoInstantText(o.instant))
                .Bind(2, jd)
                .Bind(3, DayText(DayOf(o.instant)))
                .Bind(4, o.observer)
                .Bind(5, o.site)
                .Bind(6, o.seeing)
                .Bind(7, o.instrument)
                .Bind(8, MethodName(o.method))
                .Bind(9, optionalText(o.picture))
                .Bind(10, optionalText(o.fingerprint))
                .Bind(11, o.north.groups)
                .Bind(12, o.north.spots)
                .Bind(13, o.south.groups)
                .Bind(14, o.south.spots)
                .Bind(15, optionalText(o.instantSource));
            insert.Run();
            const int64_t id = sqlite3_last_insert_rowid(db);
            added.ids.push_back(id);
            if (o.dayChoice) marked.push_back(id);
            int32_t number = 0;
            for (const ObservedGroup& g : o.groups) {
                insertGroup.Bind(1, id)
                    .Bind(2, g.number > 0 ? g.number : number + 1)
                    .Bind(3, g.north ? "N" : "S")
                    .Bind(4, g.latitude)
                    .Bind(5, g.longitude)
                    .Bind(6, g.areaMsh)
                    .Bind(7, g.spots)
                    .Bind(8, g.mcintosh)
                    .Bind(9, g.noaa)
                    .Bind(10, g.classReviewed ? 1 : 0);
                insertGroup.Run();
                number = std::max(number + 1, g.number);
            }
        }
        for (const int64_t id : marked)
            MarkDayWithin(id);
        Retrack(earliest);
        transaction.Commit();
    } catch (const RecordError& e) {
        added.ids.clear();
        added.problems.push_back(std::string("nothing was added: ") + e.what());
    }
    return added;
}

std::string Record::MarkDay(int64_t id) {
    if (options_.readOnly) return "the record is open to be read, not written";
    try {
        store::WriteTransaction transaction(db_->db);
        if (!MarkDayWithin(id)) return "there is no observation " + std::to_string(id);
        transaction.Commit();
    } catch (const RecordError& e) {
        return std::string("the mark was not kept: ") + e.what();
    }
    return "";
}

std::string Record::ReviewClass(int64_t id, int32_t number, const std::string& mcintosh) {
    if (options_.readOnly) return "the record is open to be read, not written";
    try {
        store::WriteTransaction transaction(db_->db);
        std::optional<SunspotObservation> o = Find(id);
        if (!o) return "there is no observation " + std::to_string(id);
        if (std::string why = ReviewGroupClass(*o, number, mcintosh); !why.empty()) return why;
        Statement update(db_->db, "UPDATE sighting SET class = ?1, class_reviewed = 1 WHERE "
                                  "observation = ?2 AND number = ?3");
        const auto g =
            std::find_if(o->groups.begin(), o->groups.end(),
                         [number](const ObservedGroup& x) { return x.number == number; });
        update.Bind(1, g->mcintosh).Bind(2, id).Bind(3, number).Run();
        transaction.Commit();
    } catch (const RecordError& e) {
        return std::string("the class was not kept: ") + e.what();
    }
    return "";
}

bool Record::MarkDayWithin(int64_t id) {
    Statement day(db_->db, "SELECT day FROM observation WHERE id = ?1");
    day.Bind(1, id);
    if (!day.Step()) return false;
    Statement mark(db_->db, "UPDATE observation SET day_choice = (id = ?1) WHERE day = ?2");
    mark.Bind(1, id).Bind(2, day.Text(0)).Run();
    return true;
}

void Record::Retrack(double from) {
    sqlite3* db = db_->db;
    // The groups alive when the observations from `from` begin: the last sighting of each
    // group seen within the longest gap before.
    std::map<int64_t, FollowedGroup> alive;
    Statement before(db, "SELECT s.sunspot_group, o.julian_date, s.latitude, s.longitude, "
                         "s.noaa FROM sighting s JOIN observation o ON o.id = s.observation "
                         "WHERE o.julian_date >= ?1 AND o.julian_date < ?2 AND "
                         "s.sunspot_group IS NOT NULL ORDER BY o.julian_date, o.id, s.number");
    before.Bind(1, from - options_.tracking.longestGapDays).Bind(2, from);
    while (before.Step()) {
        FollowedGroup& f = alive[before.Int(0)];
        f.id = before.Int(0);
        f.julianDate = before.Real(1);
        if (!before.IsNull(2) && !before.IsNull(3)) {
            f.latitude = before.Real(2);
            f.longitude = before.Real(3);
        }
        if (!before.IsNull(4)) f.noaa = static_cast<int32_t>(before.Int(4));
    }
    std::vector<FollowedGroup> aliveList;
    for (const auto& [id, f] : alive)
        aliveList.push_back(f);
    Statement usedBefore(db, "SELECT 1 FROM sighting s JOIN observation o ON o.id = "
                             "s.observation WHERE s.sunspot_group = ?1 AND o.julian_date < ?2 "
                             "LIMIT 1");
    const auto taken = [&](int64_t id) {
        usedBefore.Bind(1, id).Bind(2, from);
        const bool used = usedBefore.Step();
        usedBefore.Reset();
        return used;
    };
    Statement last(db, "SELECT coalesce(max(id), 0) FROM sunspot_group");
    last.Step();
    GroupTracker tracker(std::move(aliveList), taken, last.Int(0) + 1, options_.tracking);

    // Every sighting from `from` on, followed again in time order.
    struct Row {
        int64_t observation;
        int64_t number;
        int64_t earlier;
    };
    std::vector<Row> rows;
    std::vector<int64_t> newIds;
    Statement after(db, "SELECT s.observation, s.number, s.sunspot_group, o.julian_date, "
                        "s.latitude, s.longitude, s.noaa FROM sighting s JOIN observation o ON "
                        "o.id = s.observation WHERE o.julian_date >= ?1 "
                        "ORDER BY o.julian_date, o.id, s.number");
    after.Bind(1, from);
    std::vector<GroupSighting> sightings;
    int64_t observation = -1;
    double julianDate = 0;
    const auto follow = [&] {
        if (sightings.empty()) return;
        for (const int64_t id : tracker.Follow(julianDate, sightings))
            newIds.push_back(id);
        sightings.clear();
    };
    while (after.Step()) {
        if (after.Int(0) != observation) {
            follow();
            observation = after.Int(0);
            julianDate = after.Real(3);
        }
        rows.push_back({after.Int(0), after.Int(1), after.IsNull(2) ? 0 : after.Int(2)});
        GroupSighting g;
        if (!after.IsNull(4) && !after.IsNull(5)) {
            g.latitude = after.Real(4);
            g.longitude = after.Real(5);
        }
        if (!after.IsNull(6)) g.noaa = static_cast<int32_t>(after.Int(6));
        g.earlierId = rows.back().earlier;
        sightings.push_back(g);
    }
    follow();

    Statement newGroup(db, "INSERT OR IGNORE INTO sunspot_group (id) VALUES (?1)");
    Statement update(db, "UPDATE sighting SET sunspot_group = ?1 WHERE observation = ?2 AND "
                         "number = ?3");
    std::set<int64_t> touched;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (newIds[i] == rows[i].earlier) continue;
        if (newIds[i] != 0) newGroup.Bind(1, newIds[i]).Run();
        update.Bind(1, newIds[i] != 0 ? std::optional<int64_t>(newIds[i]) : std::nullopt)
            .Bind(2, rows[i].observation)
            .Bind(3, rows[i].number)
            .Run();
        touched.insert(newIds[i]);
        touched.insert(rows[i].earlier);
    }
    // Each group touched carries the first NOAA number it was given; one left without a
    // sighting is gone.
    Statement noaa(db, "UPDATE sunspot_group SET noaa = (SELECT s.noaa FROM sighting s JOIN "
                       "observation o ON o.id = s.observation WHERE s.sunspot_group = ?1 AND "
                       "s.noaa IS NOT NULL ORDER BY o.julian_date, o.id LIMIT 1) WHERE id = ?1");
    Statement drop(db, "DELETE FROM sunspot_group WHERE id = ?1 AND NOT EXISTS (SELECT 1 FROM "
                       "sighting WHERE sunspot_group = ?1)");
    for (const int64_t id : touched) {
        if (id == 0) continue;
        noaa.Bind(1, id).Run();
        drop.Bind(1, id).Run();
    }
}

} // namespace zorva
