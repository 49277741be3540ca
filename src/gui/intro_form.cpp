#include "gui/intro_form.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "gui/tzorvaform.h"

namespace zorva::gui {

namespace {
constexpr int kTextWidth = 560; // pixels: the paragraph wraps at about seventy characters
constexpr int kHeadingPoints = 16;
constexpr int kBodyPoints = 12;
} // namespace

QString WelcomeText() {
    return QStringLiteral("This software calculates the ") +
           QStringLiteral("latitude, longitude and area of features ") +
           QStringLiteral("on the Sun. ") +
           QStringLiteral("You should never look at the Sun with the naked eye or ") +
           QStringLiteral("with any optical instrument unless you are familar with ") +
           QStringLiteral("safe solar observing methods.");
}

QString WelcomeStartText() {
    return QStringLiteral("To begin, open a picture or set the date: File \u203A Open Image... "
                          "(Ctrl+O) shows a picture of the Sun with its grid, and the date and "
                          "time at the top left give the chart of the Sun for that instant.");
}

TIntroForm::TIntroForm(TZorvaForm& main, QWidget* parent) : QDialog(parent), main_(main) {
    setObjectName(QStringLiteral("TIntroForm"));
    setWindowTitle(QStringLiteral("Heliographic Latitude and Longitude"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    IntroPanel = new QFrame(this);
    IntroPanel->setObjectName(QStringLiteral("IntroPanel"));
    IntroPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    IntroPanel->setLineWidth(2);

    IntroLabel1 = new QLabel(QStringLiteral("Welcome to Zorva Viewer v1.0"), IntroPanel);
    IntroLabel1->setObjectName(QStringLiteral("IntroLabel1"));
    IntroLabel1->setAlignment(Qt::AlignHCenter);
    QFont heading = font();
    heading.setPointSize(kHeadingPoints);
    heading.setBold(true);
    IntroLabel1->setFont(heading);

    QFont body = font();
    body.setPointSize(kBodyPoints);
    const auto paragraph = [&](const char* name, const QString& text) {
        auto* label = new QLabel(text, IntroPanel);
        label->setObjectName(QString::fromLatin1(name));
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setWordWrap(true);
        label->setFixedWidth(kTextWidth);
        label->setFont(body);
        return label;
    };
    IntroLabel2 = paragraph("IntroLabel2", WelcomeText());
    IntroLabel3 = paragraph("IntroLabel3", WelcomeStartText());

    auto* text = new QVBoxLayout(IntroPanel);
    text->setContentsMargins(24, 20, 24, 24);
    text->setSpacing(18);
    text->addWidget(IntroLabel1);
    text->addWidget(IntroLabel2);
    text->addWidget(IntroLabel3);

    IntroButton = new QPushButton(QStringLiteral("Close"), this);
    IntroButton->setObjectName(QStringLiteral("IntroButton"));
    IntroButton->setDefault(true);
    connect(IntroButton, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(IntroButton);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(IntroPanel);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize); // as large as its text, no larger
}

void TIntroForm::showEvent(QShowEvent* event) {
    // Centred over the main window once it is up, else on its screen.
    adjustSize();
    const QRect over = main_.isVisible() ? main_.geometry() : screen()->availableGeometry();
    move(over.center() - rect().center());
    QDialog::showEvent(event);
}

} // namespace zorva::gui
