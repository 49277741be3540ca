#pragma once

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace zorva::gui {

// The about window.
class TAboutForm final : public QDialog {
    Q_OBJECT
  public:
    explicit TAboutForm(QWidget* parent);

  private:
    QFrame* AboutPanel1 = nullptr;
    QLabel *AboutLabel1 = nullptr, *AboutLabel2 = nullptr, *AboutLabel3 = nullptr,
           *AboutLabel5 = nullptr, *AboutLabel6 = nullptr;
    QPushButton* AboutButton = nullptr;
};

} // namespace zorva::gui
