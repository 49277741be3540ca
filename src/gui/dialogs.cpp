#include "gui/dialogs.h"

#include "gui/chart_output_dialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QStringList>

namespace zorva::gui {

QString QtFilter(const QString& pairs) {
    if (!pairs.contains('|')) return pairs; // already in Qt's own form
    const QStringList parts = pairs.split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        // The pattern proper goes in the brackets Qt reads, whatever the caption says.
        const int bracket = name.indexOf('(');
        if (bracket >= 0) name = name.left(bracket).trimmed();
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        filters << QStringLiteral("%1 (%2)").arg(name, patterns);
    }
    return filters.join(QStringLiteral(";;"));
}

MessageResult QtDialogs::Message(QWidget* parent, const QString& text, const QString& caption,
                                 MessageIcon icon, MessageButtons buttons) {
    QMessageBox box(parent);
    box.setWindowTitle(caption);
    box.setText(text);
    box.setIcon(icon == MessageIcon::Error     ? QMessageBox::Critical
                : icon == MessageIcon::Warning ? QMessageBox::Warning
                                               : QMessageBox::Information);
    box.setStandardButtons(buttons == MessageButtons::OkCancel
                               ? QMessageBox::Ok | QMessageBox::Cancel
                           : buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                              : QMessageBox::Ok);
    const int answer = box.exec();
    return answer == QMessageBox::Ok || answer == QMessageBox::Yes ? MessageResult::Ok
                                                                   : MessageResult::Cancel;
}

namespace {
QFileDialog* MakeDialog(QWidget* parent, const FileDialogRequest& r) {
    auto* dialog = new QFileDialog(parent, r.title, r.initialFolder, QtFilter(r.filter));
    dialog->setOption(QFileDialog::DontUseNativeDialog, false);
    if (!r.fileName.isEmpty()) dialog->selectFile(r.fileName);
    if (!r.defaultSuffix.isEmpty()) dialog->setDefaultSuffix(r.defaultSuffix);
    return dialog;
}

QString Run(QFileDialog* dialog) {
    QString chosen;
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty()) {
        chosen = dialog->selectedFiles().first();
    }
    delete dialog;
    return chosen;
}
} // namespace

QString QtDialogs::OpenFile(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog* dialog = MakeDialog(parent, request);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    return Run(dialog);
}

QString QtDialogs::SaveFile(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog* dialog = MakeDialog(parent, request);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    return Run(dialog);
}

void QtDialogs::ShowModal(QDialog& dialog) {
    dialog.exec();
}

bool QtDialogs::ChartOutput(QWidget* parent, const QString& title, ChartOutputOptions& options) {
    ChartOutputDialog dialog(parent, title, options);
    if (dialog.exec() != QDialog::Accepted) return false;
    options = dialog.Options();
    return true;
}

bool QtDialogs::Print(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Print Chart"));
    // One page, printed whole: nothing to choose but the printer, paper and copies.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<int> QtDialogs::AskInteger(QWidget* parent, const IntegerRequest& request) {
    QDialog dialog(parent);
    dialog.setWindowTitle(request.title);
    auto* box = new QSpinBox(&dialog);
    box->setRange(request.low, request.high);
    box->setValue(request.value);
    box->setSuffix(request.suffix);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QFormLayout(&dialog);
    layout->addRow(request.label, box);
    layout->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return box->value();
}

} // namespace zorva::gui
