#include "gui/about_form.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace zorva::gui {

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TAboutForm"));
    setWindowTitle(QStringLiteral("About Zorva Viewer"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(241, 225);

    AboutPanel1 = new QFrame(this);
    AboutPanel1->setObjectName(QStringLiteral("AboutPanel1"));
    AboutPanel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    AboutPanel1->setGeometry(8, 8, 225, 169);
    auto* column = new QVBoxLayout(AboutPanel1);
    const auto label = [this, column](const char* name, const QString& text, int size, bool bold) {
        auto* l = new QLabel(text, AboutPanel1);
        l->setObjectName(QString::fromLatin1(name));
        l->setAlignment(Qt::AlignCenter);
        l->setWordWrap(true);
        QFont f = l->font();
        f.setPointSize(size);
        f.setBold(bold);
        l->setFont(f);
        column->addWidget(l);
        return l;
    };
    AboutLabel1 = label("AboutLabel1", QStringLiteral("Zorva Viewer"), 14, true);
    AboutLabel2 = label("AboutLabel2", QStringLiteral("Version " ZORVA_VERSION), 9, false);
    // The maker information, and where the Sun's numbers come from.
    AboutLabel3 = label("AboutLabel3", QStringLiteral("Made by the Zorva developers"), 7, false);
    AboutLabel5 = label("AboutLabel5",
                        QStringLiteral("The Sun's numbers: your year file when there is one, "
                                       "else built-in tables for 1990\u20132050 made with ERFA "
                                       "(the IAU SOFA algorithms), else computed."),
                        7, false);
    AboutLabel6 = label("AboutLabel6",
                        QStringLiteral("zorva-cli year YYYY --accurate writes a year file "
                                       "from ERFA."),
                        7, false);

    AboutButton = new QPushButton(QStringLiteral("OK"), this);
    AboutButton->setObjectName(QStringLiteral("AboutButton"));
    AboutButton->setGeometry(83, 188, 75, 25);
    connect(AboutButton, &QPushButton::clicked, this, &QDialog::accept);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->geometry().center() - rect().center());
    }
}

} // namespace zorva::gui
