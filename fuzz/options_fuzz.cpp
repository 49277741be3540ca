// Feeds arbitrary bytes to the options file reader, then writes what it read and reads it
// back: every value that can be stored must come back the same, as the window's close and
// next start would have it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/settings/options_file.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace zorva;
    const OptionsLoad load =
        ReadOptionsText(std::string_view(reinterpret_cast<const char*>(data), size));
    std::string why;
    const std::optional<std::string> text = OptionsFileText(load.values, &why);
    Check(text.has_value() != !why.empty());
    if (text) {
        const OptionsLoad again = ReadOptionsText(*text);
        Check(again.error.empty());
        Check(again.values == load.values);
    }
    return 0;
}
