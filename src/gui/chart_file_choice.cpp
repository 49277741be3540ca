// The save dialog of a chart or a plot, and the format the chosen name gives.
#include "gui/chart_file_choice.h"

namespace zorva::gui {

std::optional<ChartFileChoice> ChooseChartFile(Dialogs& dialogs, QWidget* parent,
                                               const FileDialogRequest& request,
                                               const QString& refusal, const QString& caption,
                                               MessageIcon icon) {
    const QString path = dialogs.SaveFile(parent, request);
    if (path.isEmpty()) return std::nullopt;
    const std::optional<ChartFileFormat> format = ChartFormatOfPath(path);
    if (!format) {
        dialogs.Message(parent, QString(refusal).replace(QStringLiteral("%1"), path), caption, icon,
                        MessageButtons::Ok);
        return std::nullopt;
    }
    return ChartFileChoice{path, *format};
}

} // namespace zorva::gui
