#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/options/options.h"
#include "core/readouts/readouts.h"
#include "core/text/format.h"

namespace zorva {

// "bla", "red", "gre", "blu" or "whi"; black's code for a value that is none of the five.
std::string_view ColourCode(uint32_t colour);
// Decodes a code by its letters: r red, g green, b-l-u blue, w white, anything else black.
uint32_t ColourFromCode(char first, char second, char third);

// Stores a chart diameter held in millimetres in the unit shown beside the diameter box.
void SetChartDiameter(Settings& s, double chartDiameterMm, bool unitIsInch);

// The precisions of the readout labels held in the settings.
ReadoutPrecisions ReadoutPrecisionsOf(const Settings& s);

// The diameter command that start-up runs for the stored unit and value.
enum class DiameterCommand { N100mm, N125mm, N150mm, N4in, N5in, N6in, Othermm, Otherin, None };

// The Screen Resolution item to check.
enum class ScreenResolutionItem {
    None,
    N6404801,
    N8006001,
    N10247681,
    N11528641,
    N128010241,
    N160010241,
    N160012001
};

// A settings file read back, with the decisions the window applies from it.
struct SettingsLoad {
    Settings settings;
    bool fileFound = false;
    bool showWelcome = true;     // no file, or the hide-welcome flag was false
    bool diameterAbsent = false; // the stored diameter was not above 0.0001 or unreadable
    DiameterCommand diameterCommand = DiameterCommand::N150mm;
    std::string diamBoxText; // DiamBox text for Othermm and Otherin, empty otherwise
    ScreenResolutionItem screenItem = ScreenResolutionItem::None;
    bool sunspotChecked = true; // Sunspot1: its own value or either rotation marker on
    bool logFileMessageBoxChecked = true;
    // The first value that was missing, unreadable or out of range, or why a file could not
    // be read; empty when none.
    std::string error;
};

// The start-up state when there is no settings file: every default, the welcome window
// shown, 150 mm, and no Screen Resolution item checked until the user picks one.
SettingsLoad DefaultSettingsLoad();

// Reads the 36 lines of a settings file. A value that is missing, cannot be read, or lies
// outside what the program can use keeps its default, and reading goes on with the next
// value. Out of range are: a picker left edge outside 0..1000 or width outside 1..1000,
// an observer latitude outside -90..90 or longitude outside -180..360 (one above 180 is
// folded, as the observer box does), a screen side outside 240..16384, and a chart
// diameter outside 1..2000 mm (which gives 150 mm like a missing one).
SettingsLoad ReadSettings(std::istream& in);

// Writes the 36 lines exactly as they are read back. Numbers have six significant digits,
// and one that lies within its range above reads back within it: where the nearest six
// digits would leave the range, the value is cut towards itself instead.
void WriteSettings(std::ostream& out, const Settings& s);
std::string SettingsFileText(const Settings& s);

} // namespace zorva
