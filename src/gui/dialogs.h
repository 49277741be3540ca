#pragma once

#include <QDialog>
#include <QString>
#include <optional>

class QPrinter;

namespace zorva::gui {

enum class MessageIcon { Information, Warning, Error };
// Yes answers as Ok does, No as Cancel.
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageResult { Ok, Cancel };

// What a file dialog asks for. `filter` uses the "Text files (*.txt)|*.TXT" pairs.
struct FileDialogRequest {
    QString title;
    QString filter;         // "name|pattern" pairs, or Qt's own ";;" form
    QString fileName;       // the default name offered
    QString defaultSuffix;  // without the dot, e.g. "bmp"
    QString initialFolder;  // empty: the working folder
    bool mustExist = false; // an open dialog that only takes existing files
    bool confirmOverwrite = false;
};

// How a chart leaving the program looks, on paper or in a file.
struct ChartOutputOptions {
    bool printStyle = true;       // white background and disk, black grid; else screen colours
    bool caption = true;          // the caption block under the chart
    bool longitudeLabels = false; // Carrington longitudes along the equator every 30 degrees

    bool operator==(const ChartOutputOptions&) const = default;
};

// What a whole number is asked for with: the window's title, the label beside the box, the
// value offered and the range taken.
struct IntegerRequest {
    QString title;
    QString label;
    int value = 0;
    int low = 0;
    int high = 0;
    QString suffix; // after the number in the box: " min"
};

// Every modal conversation of the window passes through here, so tests can answer
// the questions themselves.
class Dialogs {
  public:
    virtual ~Dialogs() = default;
    virtual MessageResult Message(QWidget* parent, const QString& text, const QString& caption,
                                  MessageIcon icon, MessageButtons buttons) = 0;
    // The chosen full path, or an empty string when the user cancels.
    virtual QString OpenFile(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual QString SaveFile(QWidget* parent, const FileDialogRequest& request) = 0;
    // Runs a modal window (welcome, about, help) until it closes.
    virtual void ShowModal(QDialog& dialog) = 0;
    // Asks how a chart is to look before it is printed or exported, starting from `options`
    // and changing them; false when the user cancels.
    virtual bool ChartOutput(QWidget* parent, const QString& title,
                             ChartOutputOptions& options) = 0;
    // The print dialog for `printer`, which keeps the printer, paper and copies chosen; false
    // when the user cancels.
    virtual bool Print(QWidget* parent, QPrinter& printer) = 0;
    // A whole number in the request's range; nothing when the user cancels.
    virtual std::optional<int> AskInteger(QWidget* parent, const IntegerRequest& request) = 0;
};

// The real dialogs of the desktop.
class QtDialogs final : public Dialogs {
  public:
    MessageResult Message(QWidget* parent, const QString& text, const QString& caption,
                          MessageIcon icon, MessageButtons buttons) override;
    QString OpenFile(QWidget* parent, const FileDialogRequest& request) override;
    QString SaveFile(QWidget* parent, const FileDialogRequest& request) override;
    void ShowModal(QDialog& dialog) override;
    bool ChartOutput(QWidget* parent, const QString& title, ChartOutputOptions& options) override;
    bool Print(QWidget* parent, QPrinter& printer) override;
    std::optional<int> AskInteger(QWidget* parent, const IntegerRequest& request) override;
};

// "Text files (*.txt)|*.TXT|..." into Qt's "Text files (*.txt *.TXT);;..." form; a filter
// already in Qt's form comes back as it is.
QString QtFilter(const QString& pairs);

} // namespace zorva::gui
