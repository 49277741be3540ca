#pragma once

#include <QString>
#include <string_view>

namespace zorva::gui {

// A core text (UTF-8) for a widget.
inline QString ToQString(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace zorva::gui
