#include "gui/intro_form.h"

#include <QEvent>

#include "gui/tzorvaform.h"

namespace zorva::gui {

namespace {
constexpr int kDesignWidth = 693;
constexpr int kDesignHeight = 539;
constexpr int kPanelMargin = 8;
constexpr int kTextWidth = 650;
constexpr int kButtonArea = 72; // below the panel: the check box and the button
} // namespace

QString WelcomeText() {
    return QStringLiteral("This software calculates the ") +
           QStringLiteral("latitude, longitude and area of features ") +
           QStringLiteral("on the Sun. ") +
           QStringLiteral("You should never look at the Sun with the naked eye or ") +
           QStringLiteral("with any optical instrument unless you are familar with ") +
           QStringLiteral("safe solar observing methods.");
}

TIntroForm::TIntroForm(TZorvaForm& main, QWidget* parent) : QDialog(parent), main_(main) {
    setObjectName(QStringLiteral("TIntroForm"));
    setWindowTitle(QStringLiteral("Heliographic Latitude and Longitude"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(kDesignWidth, kDesignHeight);

    IntroPanel = new QFrame(this);
    IntroPanel->setObjectName(QStringLiteral("IntroPanel"));
    IntroPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    IntroPanel->setLineWidth(2);
    IntroPanel->move(kPanelMargin, kPanelMargin);

    IntroLabel1 = new QLabel(IntroPanel);
    IntroLabel1->setObjectName(QStringLiteral("IntroLabel1"));
    QFont heading = font();
    heading.setPointSize(16);
    heading.setBold(true);
    IntroLabel1->setFont(heading);

    IntroLabel2 = new QLabel(IntroPanel);
    IntroLabel2->setObjectName(QStringLiteral("IntroLabel2"));
    IntroLabel2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    IntroLabel2->setWordWrap(true);
    QFont body = font();
    body.setPointSize(12);
    IntroLabel2->setFont(body);

    IntroCheckBox =
        new QCheckBox(QStringLiteral("Tick not to show this window again at startup"), this);
    IntroCheckBox->setObjectName(QStringLiteral("IntroCheckBox"));
    IntroButton = new QPushButton(QStringLiteral("Close"), this);
    IntroButton->setObjectName(QStringLiteral("IntroButton"));
    connect(IntroButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TIntroForm::FormActivate() {
    // The window covers the main window.
    const QRect main = main_.geometry();
    setGeometry(main);
    const int w = width();
    const int h = height();

    IntroPanel->resize(w - 3 * kPanelMargin, std::max(100, h - kPanelMargin - kButtonArea));
    IntroButton->adjustSize();
    IntroButton->move(w / 2 - IntroButton->width() / 2, h - 40);
    IntroCheckBox->adjustSize();
    IntroCheckBox->move(kPanelMargin + 8, h - kButtonArea + 10);

    IntroLabel1->setText(QStringLiteral("Welcome to Zorva Viewer v1.0"));
    IntroLabel1->adjustSize();
    const int panelWidth = IntroPanel->width();
    IntroLabel1->move(std::max(0, panelWidth / 2 - IntroLabel1->width() / 2), 24);

    int labelWidth = kTextWidth;
    int left = panelWidth / 2 - kTextWidth / 2;
    if (left < 0) {
        labelWidth = panelWidth * 9 / 10;
        left = panelWidth / 2 - labelWidth / 2;
    }
    IntroLabel2->setGeometry(left, IntroLabel1->y() + IntroLabel1->height() + 24, labelWidth,
                             IntroPanel->height() - IntroLabel1->height() - 64);
    IntroLabel2->setText(WelcomeText());
}

void TIntroForm::showEvent(QShowEvent* event) {
    // The box starts from the flag once; a later activation keeps what the user ticked.
    IntroCheckBox->setChecked(main_.hideWelcome());
    FormActivate();
    QDialog::showEvent(event);
}

void TIntroForm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
    QDialog::changeEvent(event);
}

void TIntroForm::done(int result) {
    // The Close button and the title bar's close box both end here.
    main_.setHideWelcome(IntroCheckBox->isChecked());
    QDialog::done(result);
}

} // namespace zorva::gui
