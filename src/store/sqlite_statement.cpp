// SQLite's C interface in the few shapes the record uses, each failure one RecordError.
#include "store/sqlite_statement.h"

#include <climits>

namespace zorva::store {

std::string SqliteMessage(sqlite3* db, int code) {
    const int primary = code & 0xFF;
    if (primary == SQLITE_FULL) return "the disk is full (or the record has reached its size)";
    // A write refused for want of room past the file's size limit comes back as this.
    if (code == SQLITE_IOERR_WRITE)
        return "a write to the disk failed (the disk may be full, or the file too large)";
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        return "another program holds the record and did not let go in time";
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB)
        return "the file is damaged (" + std::string(sqlite3_errstr(code)) + ")";
    if (primary == SQLITE_READONLY) return "the record may not be written";
    if (primary == SQLITE_IOERR) return "a disk error (" + std::string(sqlite3_errstr(code)) + ")";
    return db ? std::string(sqlite3_errmsg(db)) : std::string(sqlite3_errstr(code));
}

namespace {

[[noreturn]] void Throw(sqlite3* db, int code) {
    throw RecordError(SqliteMessage(db, code));
}

int Length(std::string_view text) {
    if (text.size() > static_cast<std::size_t>(INT_MAX)) throw RecordError("a text too long");
    return static_cast<int>(text.size());
}

} // namespace

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
    const int rc = sqlite3_prepare_v2(db, sql.data(), Length(sql), &statement_, nullptr);
    if (rc != SQLITE_OK) Throw(db, rc);
}

Statement::~Statement() {
    sqlite3_finalize(statement_);
}

Statement& Statement::Bind(int index, int64_t value) {
    if (const int rc = sqlite3_bind_int64(statement_, index, value); rc != SQLITE_OK)
        Throw(db_, rc);
    return *this;
}

Statement& Statement::Bind(int index, double value) {
    if (const int rc = sqlite3_bind_double(statement_, index, value); rc != SQLITE_OK)
        Throw(db_, rc);
    return *this;
}

Statement& Statement::Bind(int index, std::string_view text) {
    const int rc =
        sqlite3_bind_text(statement_, index, text.data(), Length(text), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK) Throw(db_, rc);
    return *this;
}

Statement& Statement::BindNull(int index) {
    if (const int rc = sqlite3_bind_null(statement_, index); rc != SQLITE_OK) Throw(db_, rc);
    return *this;
}

bool Statement::Step() {
    const int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    Throw(db_, rc);
}

void Statement::Run() {
    while (Step()) {
    }
    Reset();
}

void Statement::Reset() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

bool Statement::IsNull(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

int64_t Statement::Int(int column) const {
    return sqlite3_column_int64(statement_, column);
}

double Statement::Real(int column) const {
    return sqlite3_column_double(statement_, column);
}

std::string Statement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    const int bytes = sqlite3_column_bytes(statement_, column);
    return text ? std::string(text, static_cast<std::size_t>(bytes)) : std::string();
}

std::optional<double> Statement::OptionalReal(int column) const {
    if (IsNull(column)) return std::nullopt;
    return Real(column);
}

std::optional<int64_t> Statement::OptionalInt(int column) const {
    if (IsNull(column)) return std::nullopt;
    return Int(column);
}

void Execute(sqlite3* db, std::string_view sql) {
    const std::string text(sql);
    const int rc = sqlite3_exec(db, text.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) Throw(db, rc);
}

WriteTransaction::WriteTransaction(sqlite3* db) : db_(db) {
    Execute(db, "BEGIN IMMEDIATE");
}

WriteTransaction::~WriteTransaction() {
    // A failed write may have ended the transaction already; then there is nothing to undo.
    if (open_ && !sqlite3_get_autocommit(db_))
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void WriteTransaction::Commit() {
    Execute(db_, "COMMIT");
    open_ = false;
}

} // namespace zorva::store
