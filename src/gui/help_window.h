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
// Its walk through a photograph, from opening it to the count reviewed.
QString PhotographGuideHtml();

} // namespace zorva::gui
