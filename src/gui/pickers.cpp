#include "gui/pickers.h"

#include "core/session/typed_date.h"

namespace zorva::gui {

bool DatePickerEdit::TakeTyped(const QString& typed, bool ending) {
    const std::optional<TypedDate> read = ReadTypedDate(typed.toStdString());
    if (!read || (!ending && !read->whole)) return false;
    const QDate d(read->date.year, read->date.month, read->date.day);
    // A date the picker cannot show is refused, not moved to its nearest end.
    if (d < minimumDate() || d > maximumDate()) return false;
    if (read->time && instant) {
        instant(d, QTime(read->time->hour, read->time->minute, read->time->second));
    } else {
        setDate(d);
    }
    return true;
}

QString DatePickerEdit::RefusalText(const QString& typed) const {
    const std::optional<TypedDate> read = ReadTypedDate(typed.toStdString());
    if (read) {
        return QStringLiteral("%1 is outside the years %2 to %3; the date stays as it was")
            .arg(typed)
            .arg(minimumDate().year())
            .arg(maximumDate().year());
    }
    return QString::fromStdString(UnreadableDateText(typed.toStdString()));
}

} // namespace zorva::gui
