#include "core/readouts/copy_readouts.h"

#include <cstdio>
#include <string_view>

namespace zorva {
namespace {

constexpr std::string_view kDegree = "\u00B0";
constexpr char kSeparator = '\t';

constexpr const char* kHeader = "Date\tTime (UT)\tB0 (deg)\tL0 (deg)\tP (deg)\tCR\t"
                                "Spot latitude (deg)\tSpot longitude (deg)\t"
                                "Spot area (millionths)\tSpot rotation\n";

// A readout's text as a cell: no blanks round it, no degree sign.
std::string Cell(std::string_view shown) {
    std::string text;
    for (std::size_t at = 0; at < shown.size();) {
        if (shown.substr(at, kDegree.size()) == kDegree) {
            at += kDegree.size();
        } else {
            text += shown[at++];
        }
    }
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "-";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string DateText(const Instant& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", static_cast<int>(t.year),
                  static_cast<int>(t.month), static_cast<int>(t.day));
    return text;
}

std::string TimeText(const Instant& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(t.hour),
                  static_cast<int>(t.minute), static_cast<int>(t.second));
    return text;
}

} // namespace

std::string CopyReadoutsText(const Instant& instant, const SolarParameterReadouts& parameters,
                             const SpotReadouts& spot, const std::string& areaText) {
    const std::string cells[] = {
        DateText(instant),
        TimeText(instant),
        Cell(parameters.B0Label.text),
        Cell(parameters.L0Label.text),
        Cell(parameters.PLabel.text),
        Cell(parameters.CRLabel),
        Cell(spot.LatText),
        Cell(spot.LongText),
        Cell(areaText),
        Cell(spot.RotationText),
    };
    std::string values;
    for (const std::string& c : cells)
        values += (values.empty() ? "" : std::string(1, kSeparator)) + c;
    return kHeader + values + "\n";
}

} // namespace zorva
