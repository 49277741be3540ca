#pragma once

#include <optional>
#include <string>

#include "cli/args.h"
#include "core/images/picture_context.h"
#include "core/images/picture_north.h"
#include "core/spots/spot_report.h"

namespace zorva::cli {

// The turn given with --turn DEG (the mode, flip and mirror given beside it, else those of
// a camera's picture), or found from --drift X1,Y1,X2,Y2 (equatorial, east as --mirror and
// --flip say); none without either.
std::optional<PictureTurn> GivenTurnOf(const ParsedArgs& parsed);
inline constexpr const char* kDriftForm = "X1,Y1,X2,Y2";

// With --drift-from OTHER: the disk's drift from this picture's disk to the one on OTHER,
// taken seconds later with the drive off, turns the picture. Nothing without the option;
// a picture that cannot be opened, or a drift that shows no direction, ends the command.
void TurnByDriftFrom(const ParsedArgs& parsed, PictureContext& picture);

} // namespace zorva::cli
