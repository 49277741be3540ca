#pragma once

#include <QDialog>
#include <QTextBrowser>

namespace zorva::gui {

// The user guide, opened by Help > Contents.
class HelpWindow final : public QDialog {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* parent);

  private:
    QTextBrowser* browser = nullptr;
};

// The guide's text as HTML.
QString UserGuideHtml();

} // namespace zorva::gui
