#pragma once

#include <QString>

namespace zorva::gui {

// The number in an edit box whose text passed the numeric check, as the platform
// converts it: a separator other than the locale's, or a separator alone, makes the
// conversion fail, which throws and is reported in an error box.
double BoxNumber(const QString& text);

} // namespace zorva::gui
