#pragma once

#include <QString>
#include <string_view>

namespace zorva::gui {

// The number in an edit box whose text passed the numeric check, as the platform
// converts it: a separator other than the locale's, or a separator alone, makes the
// conversion fail, which throws and is reported in an error box.
double BoxNumber(const QString& text);

// A core text (UTF-8) for a widget.
inline QString ToQString(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace zorva::gui
