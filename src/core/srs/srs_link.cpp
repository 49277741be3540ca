#include "core/srs/srs_link.h"

#include <algorithm>
#include <system_error>

namespace zorva {

namespace {

constexpr std::size_t kYearDigits = 4;
constexpr int32_t kFirstFourDigitYear = 1000;
constexpr int32_t kLastFourDigitYear = 9999;

std::string TwoDigits(int32_t v) {
    constexpr int32_t kTen = 10;
    return (v >= 0 && v < kTen ? "0" : "") + std::to_string(v);
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

bool IsFile(const std::filesystem::path& p) {
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec);
}

} // namespace

std::string SrsFileNameForDate(int32_t year, int32_t month, int32_t day) {
    return std::to_string(year) + TwoDigits(month) + TwoDigits(day) + "srs.txt";
}

std::optional<std::string> SrsYearFolder(std::string_view folder, int32_t year) {
    if (year < kFirstFourDigitYear || year > kLastFourDigitYear) return std::nullopt;
    if (!folder.empty() && folder.back() == '/') folder.remove_suffix(1);
    const std::size_t slash = folder.find_last_of('/');
    const std::string_view last =
        slash == std::string_view::npos ? folder : folder.substr(slash + 1);
    if (last.size() != kYearDigits ||
        !std::all_of(last.begin(), last.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return std::string(folder.substr(0, folder.size() - kYearDigits)) + std::to_string(year) + "/";
}

namespace {

// The file of that name in `folder`, whatever the case of its letters.
std::optional<std::filesystem::path> FindInFolder(const std::string& folder,
                                                  const std::string& fileName) {
    const std::filesystem::path dir(folder);
    if (IsFile(dir / fileName)) return dir / fileName;
    std::error_code ec;
    std::filesystem::directory_iterator it(dir, ec);
    std::optional<std::string> best;
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!SameIgnoringCase(name, fileName) || (best && *best <= name)) continue;
        if (IsFile(it->path())) best = name;
    }
    if (best) return dir / *best;
    return std::nullopt;
}

std::string WithSlash(std::string_view folder) {
    std::string f(folder);
    if (!f.empty() && f.back() != '/') f += '/';
    return f;
}

std::string DateText(int32_t year, int32_t month, int32_t day) {
    return std::to_string(year) + "-" + TwoDigits(month) + "-" + TwoDigits(day);
}

} // namespace

SrsLookup FindSrsFile(std::string_view srsFolder, int32_t year, int32_t month, int32_t day) {
    SrsLookup found;
    found.FileName = SrsFileNameForDate(year, month, day);
    const auto yearFolder = SrsYearFolder(srsFolder, year);
    found.Folder = yearFolder ? *yearFolder : std::string(srsFolder);
    if (yearFolder) found.Searched.push_back(*yearFolder);
    if (!srsFolder.empty() && (!yearFolder || WithSlash(srsFolder) != *yearFolder)) {
        found.Searched.push_back(std::string(srsFolder));
    }
    for (const std::string& folder : found.Searched) {
        if (auto path = FindInFolder(folder, found.FileName)) {
            found.Folder = folder;
            found.Path = std::move(path);
            break;
        }
    }
    return found;
}

std::string MissingSrsText(const SrsLookup& lookup, int32_t year, int32_t month, int32_t day) {
    const std::string how = "Link with Date looks for each day's summary in a folder named by "
                            "its year (as in SRS/" +
                            std::to_string(year) + "/" + lookup.FileName +
                            ") beside the folder of the last summary loaded, and in that folder "
                            "itself";
    std::string text = "No Region Summary for " + DateText(year, month, day) + ": ";
    if (lookup.Searched.empty()) {
        return text + "no summary has been loaded yet to show where they are kept. " + how +
               "; load one with Load SRS... first.";
    }
    text += lookup.FileName + " is not in " + lookup.Searched.front();
    for (std::size_t i = 1; i < lookup.Searched.size(); ++i)
        text += " nor in " + lookup.Searched[i];
    return text + ". " + how + ".";
}

bool MissingSrsNotice::ShouldReport(std::string_view missing) {
    if (missing == last_) return false;
    last_ = std::string(missing);
    return true;
}

} // namespace zorva
