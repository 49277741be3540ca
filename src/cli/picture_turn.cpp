// --turn, --drift and --drift-from: how a picture is turned when its file does not say, or
// says it wrongly, and where north then lies on it.
#include "cli/picture_turn.h"

#include <filesystem>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "core/text/parse.h"
#include "render/solar_image.h"

namespace zorva::cli {

namespace {

// The sense of east the orientation options give: as the sky is seen when flip and mirror
// together leave it so, mirrored otherwise.
EastSense EastOf(const ChartGeometry& g) {
    return g.FlipSign * g.MirrorSign == -1 ? EastSense::AsTheSky : EastSense::Mirrored;
}

std::vector<double> Numbers(const std::string& text) {
    std::vector<double> values;
    std::string_view rest = text;
    while (true) {
        const std::size_t comma = rest.find(',');
        const auto v = ParseReal(rest.substr(0, comma));
        if (!v) return {};
        values.push_back(*v);
        if (comma == std::string_view::npos) return values;
        rest.remove_prefix(comma + 1);
    }
}

} // namespace

std::optional<PictureTurn> GivenTurnOf(const ParsedArgs& parsed) {
    const auto turn = parsed.Value("--turn");
    const auto drift = parsed.Value("--drift");
    const int ways = (turn ? 1 : 0) + (drift ? 1 : 0) + (parsed.Value("--drift-from") ? 1 : 0) +
                     (parsed.Value("--orientation") == "solve" ? 1 : 0);
    if (ways > 1) {
        throw UsageError("give one of --turn, --drift, --drift-from and --orientation solve");
    }
    const ChartGeometry g = PictureOrientationOf(parsed);
    if (turn) {
        constexpr double kFull = 360;
        const double degrees = ParseNumberIn(*turn, "--turn", -kFull, kFull);
        return PictureTurn{g.Mode, g.FlipSign, g.MirrorSign, Degrees360(degrees),
                           OrientationSource::Given};
    }
    if (!drift) return std::nullopt;
    if (g.Mode != Orientation::Equatorial) {
        throw UsageError("--drift gives celestial north: it goes with --orientation equatorial");
    }
    const std::vector<double> v = Numbers(*drift);
    constexpr std::size_t kDriftNumbers = 4;
    if (v.size() != kDriftNumbers) {
        throw UsageError("bad --drift '" + *drift + "' (want " + kDriftForm +
                         ": where a spot or limb point was and where it drifted to, pixels)");
    }
    const DriftNorth north = NorthFromDrift(v[0], v[1], v[2], v[3], EastOf(g));
    if (!north.celestialNorthTurn) throw UsageError("bad --drift: " + north.error);
    return TurnOfCelestialNorth(*north.celestialNorthTurn, EastOf(g), OrientationSource::Drift);
}

void TurnByDriftFrom(const ParsedArgs& parsed, PictureContext& picture) {
    const auto other = parsed.Value("--drift-from");
    if (!other) return;
    const ChartGeometry g = PictureOrientationOf(parsed);
    if (g.Mode != Orientation::Equatorial) {
        throw UsageError("--drift-from gives celestial north: it goes with --orientation "
                         "equatorial");
    }
    const PictureLoad later = OpenPictureFile(std::filesystem::path(*other), PictureChoices{});
    if (!later.picture) throw std::runtime_error(later.error.toStdString());
    const PictureContext& next = later.picture->context;
    if (!next.disk || !picture.disk) {
        throw std::runtime_error("--drift-from: " + (next.disk ? picture.name : next.name) +
                                 " has no disk to follow");
    }
    const DriftNorth north = NorthFromTwoDisks(*picture.disk, *next.disk, EastOf(g));
    if (!north.celestialNorthTurn) {
        throw std::runtime_error(picture.name + " and " + next.name + ": " + north.error);
    }
    TurnPicture(picture, TurnOfCelestialNorth(*north.celestialNorthTurn, EastOf(g),
                                              OrientationSource::Drift));
}

} // namespace zorva::cli
