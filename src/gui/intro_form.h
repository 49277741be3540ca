#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace zorva::gui {

class TZorvaForm;

// The welcome window, shown at start-up until its box is ticked.
class TIntroForm final : public QDialog {
    Q_OBJECT
  public:
    TIntroForm(TZorvaForm& main, QWidget* parent);

    // Lays the window out over the main window; runs each time it becomes active.
    void FormActivate();

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void done(int result) override;

  private:
    QFrame* IntroPanel = nullptr;
    QLabel* IntroLabel1 = nullptr;
    QLabel* IntroLabel2 = nullptr;
    QPushButton* IntroButton = nullptr;
    QCheckBox* IntroCheckBox = nullptr;
    TZorvaForm& main_;
};

// The text the welcome window shows.
QString WelcomeText();

} // namespace zorva::gui
