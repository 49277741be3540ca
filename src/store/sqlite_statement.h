#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "store/record_store.h"

namespace zorva::store {

// The message of SQLite's last failure on `db`, for the user: a full disk said plainly.
std::string SqliteMessage(sqlite3* db, int code);

// One prepared statement; every failure throws RecordError with `what` it was doing.
class Statement {
  public:
    Statement(sqlite3* db, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int index, int64_t value);
    Statement& Bind(int index, double value);
    Statement& Bind(int index, std::string_view text);
    Statement& BindNull(int index);
    template <class T> Statement& Bind(int index, const std::optional<T>& value) {
        return value ? Bind(index, *value) : BindNull(index);
    }
    Statement& Bind(int index, int32_t value) { return Bind(index, static_cast<int64_t>(value)); }

    // The next row: true while there is one.
    bool Step();
    // Runs a statement that gives no rows, and readies it to run again.
    void Run();
    void Reset();

    bool IsNull(int column) const;
    int64_t Int(int column) const;
    double Real(int column) const;
    std::string Text(int column) const;
    std::optional<double> OptionalReal(int column) const;
    std::optional<int64_t> OptionalInt(int column) const;

  private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};

// Runs SQL without rows (several statements may follow one another); throws RecordError.
void Execute(sqlite3* db, std::string_view sql);

// A transaction that takes the write lock at once (waiting for another process's to end)
// and rolls back unless committed.
class WriteTransaction {
  public:
    explicit WriteTransaction(sqlite3* db);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;
    void Commit();

  private:
    sqlite3* db_;
    bool open_ = true;
};

} // namespace zorva::store
