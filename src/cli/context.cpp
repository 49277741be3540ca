#include "cli/context.h"

#include <algorithm>
#include <utility>

namespace zorva::cli {

Context::Context(std::optional<std::filesystem::path> folder) : tables_(std::move(folder)) {}

void Context::WarnOf(const YearTable& table) {
    if (table.source.error.empty()) return;
    const std::string line = "warning: " + table.source.error;
    if (std::find(warnings_.begin(), warnings_.end(), line) == warnings_.end()) {
        warnings_.push_back(line);
    }
}

Ephemeris Context::EphemerisWarned(const Instant& instant, const Observer& observer) {
    const std::lock_guard<std::mutex> hold(lock_);
    tables_.LoadFor(instant);
    WarnOf(tables_.Load(instant.year));
    return tables_.At(instant, observer);
}

YearTable Context::Year(int32_t year) {
    const std::lock_guard<std::mutex> hold(lock_);
    const YearTable& table = tables_.Load(year);
    WarnOf(table);
    return table;
}

YearTables Context::Tables() {
    const std::lock_guard<std::mutex> hold(lock_);
    return tables_;
}

void Context::Warn(const std::string& line) {
    const std::lock_guard<std::mutex> hold(lock_);
    if (std::find(warnings_.begin(), warnings_.end(), line) == warnings_.end()) {
        warnings_.push_back(line);
    }
}

std::vector<std::string> Context::TakeWarnings() {
    const std::lock_guard<std::mutex> hold(lock_);
    return std::exchange(warnings_, {});
}

} // namespace zorva::cli
