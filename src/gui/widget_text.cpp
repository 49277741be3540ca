#include "gui/widget_text.h"

#include <QLocale>
#include <stdexcept>

#include "core/text/numeric_text.h"

namespace zorva::gui {

double BoxNumber(const QString& text) {
    const char separator = QLocale().decimalPoint().front().toLatin1();
    const auto value = NumericValue(text.toStdString(), separator);
    if (!value) {
        throw std::runtime_error("'" + text.toStdString() +
                                 "' is not a valid floating point value");
    }
    return *value;
}

} // namespace zorva::gui
