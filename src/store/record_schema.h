#pragma once

#include <cstdint>
#include <span>
#include <string>

struct sqlite3;

namespace zorva {

// The record's layout, version by version: each step brings a file of the version before
// it up to its own. A new version adds a step; the steps of released versions never change.
struct RecordMigration {
    int32_t version;
    const char* sql;
};
std::span<const RecordMigration> RecordMigrations();

// The application id in the file's header that marks a file as a Zorva record ("ZORV").
inline constexpr int32_t kRecordApplicationId = 0x5A4F5256;

// Brings an open record from its version (PRAGMA user_version) to the last of `steps`, all
// in one transaction: done, or the file as it was and `error` saying why. A file at that
// version already is left alone.
bool MigrateRecord(sqlite3* db, std::span<const RecordMigration> steps, std::string& error);

} // namespace zorva
