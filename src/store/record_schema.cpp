// The record's tables, and the steps that bring an older file up to them.
#include "store/record_schema.h"

#include "store/sqlite_statement.h"

namespace zorva {

namespace {

// Version 1: observations, the groups each saw, and the groups' lives. R is kept as the
// counts give it, so it can never disagree with them.
constexpr const char* kVersion1 = R"sql(
CREATE TABLE observation (
    id INTEGER PRIMARY KEY,
    instant TEXT NOT NULL,
    julian_date REAL NOT NULL,
    day TEXT NOT NULL,
    observer TEXT NOT NULL,
    site TEXT NOT NULL,
    seeing INTEGER CHECK (seeing BETWEEN 1 AND 5),
    instrument TEXT NOT NULL,
    method TEXT NOT NULL CHECK (method IN ('picture', 'drawing', 'visual')),
    picture TEXT,
    fingerprint TEXT,
    groups_north INTEGER NOT NULL CHECK (groups_north >= 0),
    spots_north INTEGER NOT NULL CHECK (spots_north >= groups_north),
    groups_south INTEGER NOT NULL CHECK (groups_south >= 0),
    spots_south INTEGER NOT NULL CHECK (spots_south >= groups_south),
    wolf INTEGER GENERATED ALWAYS AS
        (10 * (groups_north + groups_south) + spots_north + spots_south) VIRTUAL,
    wolf_north INTEGER GENERATED ALWAYS AS (10 * groups_north + spots_north) VIRTUAL,
    wolf_south INTEGER GENERATED ALWAYS AS (10 * groups_south + spots_south) VIRTUAL,
    day_choice INTEGER NOT NULL DEFAULT 0 CHECK (day_choice IN (0, 1))
);
CREATE INDEX observation_time ON observation (julian_date);
CREATE INDEX observation_day ON observation (day);
CREATE INDEX observation_instant ON observation (instant);
CREATE UNIQUE INDEX observation_fingerprint ON observation (fingerprint)
    WHERE fingerprint IS NOT NULL;
CREATE TABLE sunspot_group (
    id INTEGER PRIMARY KEY,
    noaa INTEGER
);
CREATE TABLE sighting (
    observation INTEGER NOT NULL REFERENCES observation (id) ON DELETE CASCADE,
    number INTEGER NOT NULL,
    sunspot_group INTEGER REFERENCES sunspot_group (id),
    hemisphere TEXT NOT NULL CHECK (hemisphere IN ('N', 'S')),
    latitude REAL,
    longitude REAL,
    area REAL,
    spots INTEGER NOT NULL CHECK (spots >= 1),
    class TEXT NOT NULL,
    noaa INTEGER,
    PRIMARY KEY (observation, number)
) WITHOUT ROWID;
CREATE INDEX sighting_group ON sighting (sunspot_group);
)sql";

// Version 2: whether a group's class is the observer's own (typed, or corrected from the one
// its spots gave) rather than worked out from its spots.
constexpr const char* kVersion2 = R"sql(
ALTER TABLE sighting ADD COLUMN class_reviewed INTEGER NOT NULL DEFAULT 0
    CHECK (class_reviewed IN (0, 1));
)sql";

// Version 3: where each observation's instant came from (a picture's header, camera, file
// name, or the observer); NULL for those kept before.
constexpr const char* kVersion3 = R"sql(
ALTER TABLE observation ADD COLUMN instant_source TEXT;
)sql";

constexpr RecordMigration kMigrations[] = {{1, kVersion1}, {2, kVersion2}, {3, kVersion3}};

} // namespace

std::span<const RecordMigration> RecordMigrations() {
    return kMigrations;
}

bool MigrateRecord(sqlite3* db, std::span<const RecordMigration> steps, std::string& error) {
    try {
        store::WriteTransaction transaction(db);
        store::Statement version(db, "PRAGMA user_version");
        version.Step();
        const int64_t from = version.Int(0);
        version.Reset();
        int64_t at = from;
        for (const RecordMigration& step : steps) {
            if (step.version <= at) continue;
            store::Execute(db, step.sql);
            at = step.version;
        }
        if (at != from) {
            // Pragmas take no bound values; the numbers are the program's own.
            store::Execute(db, "PRAGMA user_version = " + std::to_string(at));
            store::Execute(db, "PRAGMA application_id = " + std::to_string(kRecordApplicationId));
        }
        transaction.Commit();
        return true;
    } catch (const RecordError& e) {
        error = e.what();
        return false;
    }
}

} // namespace zorva
