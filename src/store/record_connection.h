#pragma once

#include <sqlite3.h>

#include "store/record_store.h"

namespace zorva {

// The record's open SQLite connection, closed with it.
struct Record::Connection {
    sqlite3* db = nullptr;
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
};

} // namespace zorva
