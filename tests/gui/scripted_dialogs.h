#pragma once

#include <QCheckBox>
#include <QCoreApplication>
#include <QPageSize>
#include <QPrinter>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

#include "gui/dialogs.h"

namespace zorva::test {

// Answers the window's questions from a script and remembers what was asked.
class ScriptedDialogs final : public gui::Dialogs {
  public:
    struct Shown {
        QString text, caption;
        gui::MessageButtons buttons;
    };
    std::vector<Shown> messages;
    std::deque<gui::MessageResult> answers; // Ok when empty
    std::deque<QString> files;              // the chosen paths; cancel when empty
    std::vector<gui::FileDialogRequest> fileRequests;
    QStringList modals;                    // object names of the modal windows shown
    std::function<void(QDialog&)> onModal; // acts in a modal window before it closes
    std::vector<gui::ChartOutputOptions> chartOutputsOffered;
    // The choices of the chart output dialogs; the offered ones when empty, cancel for none.
    std::deque<std::optional<gui::ChartOutputOptions>> chartOutputs;
    QString printTo;                     // the print dialog prints to this PDF file,
    QPageSize printPaper{QPageSize::A4}; // on this paper; cancelled when empty
    std::vector<gui::IntegerRequest> integerRequests;
    std::deque<std::optional<int>> integers; // the numbers given; cancel for none or empty

    gui::MessageResult Message(QWidget*, const QString& text, const QString& caption,
                               gui::MessageIcon, gui::MessageButtons buttons) override {
        messages.push_back({text, caption, buttons});
        if (answers.empty()) return gui::MessageResult::Ok;
        const auto a = answers.front();
        answers.pop_front();
        return a;
    }
    QString OpenFile(QWidget*, const gui::FileDialogRequest& request) override {
        return NextFile(request);
    }
    QString SaveFile(QWidget*, const gui::FileDialogRequest& request) override {
        return NextFile(request);
    }
    void ShowModal(QDialog& dialog) override {
        modals << dialog.objectName();
        dialog.show();
        QCoreApplication::processEvents();
        if (onModal) onModal(dialog);
        // A window the script closed (Cancel) keeps its answer.
        if (dialog.isVisible()) dialog.accept();
    }

    bool ChartOutput(QWidget*, const QString&, gui::ChartOutputOptions& options) override {
        chartOutputsOffered.push_back(options);
        if (chartOutputs.empty()) return true;
        const auto answer = chartOutputs.front();
        chartOutputs.pop_front();
        if (answer) options = *answer;
        return answer.has_value();
    }
    bool Print(QWidget*, QPrinter& printer) override {
        if (printTo.isEmpty()) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printTo);
        printer.setPageSize(printPaper);
        return true;
    }

    std::optional<int> AskInteger(QWidget*, const gui::IntegerRequest& request) override {
        integerRequests.push_back(request);
        if (integers.empty()) return std::nullopt;
        const auto answer = integers.front();
        integers.pop_front();
        return answer;
    }

  private:
    QString NextFile(const gui::FileDialogRequest& request) {
        fileRequests.push_back(request);
        if (files.empty()) return {};
        const QString f = files.front();
        files.pop_front();
        return f;
    }
};

} // namespace zorva::test
