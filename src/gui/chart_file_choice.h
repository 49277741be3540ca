#pragma once

#include <QString>
#include <QWidget>
#include <optional>

#include "gui/dialogs.h"
#include "render/chart_export.h"

namespace zorva::gui {

// A file for a chart or a plot, chosen in the save dialog, and the format its name gives.
struct ChartFileChoice {
    QString path;
    ChartFileFormat format;
};

// Asks for the file with `request`. None when the user cancels, or when the name chosen ends
// in no format's extension: the user is then told `refusal` under `caption`, with the name
// chosen for any %1 in it.
std::optional<ChartFileChoice> ChooseChartFile(Dialogs& dialogs, QWidget* parent,
                                               const FileDialogRequest& request,
                                               const QString& refusal, const QString& caption,
                                               MessageIcon icon);

} // namespace zorva::gui
