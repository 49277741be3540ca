#pragma once

#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/context.h"
#include "core/spots/spot_report.h"
#include "core/srs/srs_reader.h"
#include "render/solar_image.h"

namespace zorva::cli {

// The spot search of one picture as `spots` makes it, for the commands that search pictures.

enum class SpotFormat { Text, Csv, Json };

struct SpotRequest {
    PictureChoices choices;
    ChartGeometry chart;
    Observer observer;
    SpotOptions options;
    SpotFormat format = SpotFormat::Text;
    ParsedArgs parsed; // for --drift-from, read as each picture is opened
    // With --orientation solve: the summary whose regions the groups are laid on.
    std::optional<SrsSummary> regions;
    bool fresh = false; // search again even where a reviewed count is kept
};

// The search's options as `spots` takes them (--at, --disk, the orientation, the levels,
// --format ...); a UsageError for a wrong one.
SpotRequest ParseSpotRequest(const ParsedArgs& parsed, Context& run);

// What became of one file: its report, or why it has none.
struct SpotOutcome {
    std::optional<SpotReport> report;
    std::string error;
    std::vector<std::string> warnings;
};

// The pictures named, then those listed one a line in --files-from LIST ("-" for
// `standardInput`; blank lines passed over), and with --shard K/N every N-th of them from the
// K-th (1 <= K <= N): the share of one task of a job array.
std::vector<std::string> SpotFiles(const ParsedArgs& parsed, std::istream& standardInput);

// Opens the picture and searches it; safe to run on several threads at once.
SpotOutcome FindSpots(const std::string& path, const SpotRequest& req, Context& run);

} // namespace zorva::cli
