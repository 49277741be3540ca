// Feeds arbitrary bytes to the settings reader and checks that what it gives back is
// something the window can apply, and that writing it reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "core/settings/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const zorva::SettingsLoad load = zorva::ReadSettings(in);
    const zorva::Settings& s = load.settings;
    if (s.FlipSign != 1 && s.FlipSign != -1) std::abort();
    if (s.MirrorSign != 1 && s.MirrorSign != -1) std::abort();
    if (!(s.DiamValue > 0.0001)) std::abort();

    // Whatever was read, its file reads back to the same values; only a diameter just above
    // the smallest one can round down to it at six digits and come back as 150 mm.
    const std::string text = zorva::SettingsFileText(s);
    std::istringstream again(text);
    const zorva::SettingsLoad back = zorva::ReadSettings(again);
    if (!back.diameterAbsent && zorva::SettingsFileText(back.settings) != text) std::abort();
    return 0;
}
