#include "core/session/edit_box.h"

#include "core/text/numeric_text.h"

namespace zorva {

std::optional<double> BoxValue(std::string_view text) {
    if (!IsNumericText(text)) return std::nullopt;
    std::string plain(text);
    for (char& c : plain) {
        if (c == ',') c = '.';
    }
    return NumericValue(plain, '.');
}

bool IsNumberPrefix(std::string_view text) {
    if (!text.empty() && text.front() == '-') text.remove_prefix(1);
    return text.empty() || text == "." || text == ",";
}

} // namespace zorva
