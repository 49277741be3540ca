#include "gui/record_part.h"

namespace zorva::gui {

RecordPart::RecordPart(std::filesystem::path folder)
    : folder_(std::move(folder)), path_(folder_ / kDefaultRecordName), tables_(folder_) {}

RecordPart::~RecordPart() = default;

std::filesystem::path RecordPart::FileOf(const std::string& option) const {
    if (option.empty()) return folder_ / kDefaultRecordName;
    const std::filesystem::path named(option);
    return named.is_absolute() ? named : folder_ / named;
}

void RecordPart::UseFile(const std::filesystem::path& path) {
    if (path == path_) return;
    record_.reset();
    path_ = path;
}

std::string RecordPart::Choose(const std::filesystem::path& path) {
    std::string error;
    auto record = Record::Open(path, error);
    if (!record) return error.empty() ? path.string() + ": cannot be opened" : error;
    record_ = std::move(record);
    path_ = path;
    return "";
}

Record* RecordPart::Open(bool make, std::string& error) {
    error.clear();
    if (record_) return record_.get();
    std::error_code ec;
    if (!make && !std::filesystem::exists(path_, ec)) return nullptr;
    record_ = Record::Open(path_, error);
    return record_.get();
}

double RecordPart::L0At(const Instant& instant) {
    return tables_.At(instant, Observer{}).L0;
}

} // namespace zorva::gui
