#pragma once

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace zorva::gui {

class TZorvaForm;

// The welcome window: shown on the first start without a file, and from Help > Welcome.
class TIntroForm final : public QDialog {
    Q_OBJECT
  public:
    TIntroForm(TZorvaForm& main, QWidget* parent);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QFrame* IntroPanel = nullptr;
    QLabel* IntroLabel1 = nullptr;
    QLabel* IntroLabel2 = nullptr;
    QLabel* IntroLabel3 = nullptr; // where to begin
    QPushButton* IntroButton = nullptr;
    TZorvaForm& main_;
};

// The text the welcome window shows, and its line on where to begin.
QString WelcomeText();
QString WelcomeStartText();

} // namespace zorva::gui
