#include "gui/tzorvaform.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QMenuBar>
#include <exception>

#include "gui/help_window.h"
#include "gui/intro_form.h"
#include "gui/about_form.h"

namespace zorva::gui {

namespace {
// The left column of group boxes and the chart beside it.
constexpr int kGroupLeft = 8;
constexpr int kGroupWidth = 325;
constexpr int kGroupHeight = 65;
constexpr int kGroupPitch = 69;
constexpr int kChartLeft = 345;
constexpr int kChartTop = 8;
constexpr int kDesignChartSide = 300;
constexpr int kEditHeight = 21;
constexpr int kLabelTop = 31; // a caption beside an edit box
constexpr int kEditTop = 28;
constexpr int kDesignWidth = 694;
constexpr int kDesignHeight = 620;
} // namespace

TZorvaForm::TZorvaForm(Dialogs& dialogs, const Clock& clock, QString folder, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs), clock_(clock), folder_(std::move(folder)) {
    setObjectName(QStringLiteral("TZorvaForm"));
    setWindowTitle(QStringLiteral("Zorva Viewer"));
    // A small proportional face whose space is half a digit wide, as the readouts'
    // padding expects.
    labelFont_ = QFont(QStringLiteral("DejaVu Sans"));
    labelFont_.setPixelSize(10);
    resize(kDesignWidth, kDesignHeight); // until start-up lays the window out

    setFont(labelFont_);
    BuildForm();
    BuildMenus();
    FormCreate();
}

TZorvaForm::~TZorvaForm() = default;

QGroupBox* TZorvaForm::AddGroup(const QString& name, const QString& title, int top) {
    auto* box = new QGroupBox(title, form_);
    box->setObjectName(name);
    box->setGeometry(kGroupLeft, top, kGroupWidth, kGroupHeight);
    // Titles a size smaller, so the longest fits its box; the controls inside keep the
    // window's font.
    QFont titleFont = labelFont_;
    titleFont.setPixelSize(9);
    box->setFont(titleFont);
    return box;
}

QLabel* TZorvaForm::AddLabel(QWidget* parent, const QString& name, const QString& text,
                             int left, int top, const QString& hint) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setFont(labelFont_);
    label->move(left, top);
    label->adjustSize();
    if (!hint.isEmpty()) label->setToolTip(hint);
    return label;
}

QLineEdit* TZorvaForm::AddEdit(QWidget* parent, const QString& name, int left, int top,
                               int width, const QString& hint) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setFont(labelFont_);
    edit->setGeometry(left, top, width, kEditHeight);
    edit->setToolTip(hint);
    return edit;
}

void TZorvaForm::PlaceRow(int left, std::initializer_list<std::pair<QWidget*, int>> row) {
    for (const auto& [widget, gap] : row) {
        widget->move(left, widget->y());
        left += widget->width() + gap;
    }
}

void TZorvaForm::BuildForm() {
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("FormScroll"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(false);
    form_ = new QWidget;
    form_->setObjectName(QStringLiteral("Form"));
    scroll_->setWidget(form_);
    setCentralWidget(scroll_);

    int top = 4;
    GroupBox7 = AddGroup(QStringLiteral("GroupBox7"),
                         QStringLiteral("Observer Latitude/Longitude && Disk Diameter"), top);
    {
        auto* lat = AddLabel(GroupBox7, "ObsLatLabel", "Lat.", 0, kLabelTop, "Observer latitude");
        ObserverLatBox = AddEdit(GroupBox7, "ObserverLatBox", 0, kEditTop, 46, "Observer latitude");
        auto* lon = AddLabel(GroupBox7, "ObsLongLabel", "Long.", 0, kLabelTop, "Observer longitude");
        ObserverLongBox = AddEdit(GroupBox7, "ObserverLongBox", 0, kEditTop, 46, "Observer longitude");
        auto* diam = AddLabel(GroupBox7, "DiskDiam2Label", "Disk Diam.", 0, kLabelTop, "Disk diameter");
        DiamBox = AddEdit(GroupBox7, "DiamBox", 0, kEditTop, 44, "Disk diameter");
        DiskDiamLabel = AddLabel(GroupBox7, "DiskDiamLabel", "mm", 0, kLabelTop, "Disk diameter");
        PlaceRow(8, {{lat, 3}, {ObserverLatBox, 10}, {lon, 3}, {ObserverLongBox, 10}, {diam, 3},
                     {DiamBox, 3}, {DiskDiamLabel, 0}});
    }

    top += kGroupPitch;
    GroupBox1 = AddGroup(QStringLiteral("GroupBox1"), QStringLiteral("Date && Time"), top);
    DatePicker = new DatePickerEdit(GroupBox1);
    DatePicker->setObjectName(QStringLiteral("DatePicker"));
    DatePicker->setWrapping(true);
    DatePicker->setFont(labelFont_);
    DatePicker->setDateRange(QDate(1600, 1, 1), QDate(9999, 12, 31));
    DatePicker->setGeometry(29, 28, 140, kEditHeight + 1);
    TimePicker = new TimePickerEdit(GroupBox1);
    TimePicker->setObjectName(QStringLiteral("TimePicker"));
    TimePicker->setWrapping(true);
    TimePicker->setFont(labelFont_);
    TimePicker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    TimePicker->setGeometry(200, 28, 72, kEditHeight + 1);
    UTCaption = AddLabel(GroupBox1, "UTCaption", "UT", 278, 31, "Universal time");

    top += kGroupPitch;
    GroupBox6 = AddGroup(QStringLiteral("GroupBox6"), QStringLiteral("Solar Position"), top);
    RACaption = AddLabel(GroupBox6, "RACaption", "RA", 16, 20, "Solar right ascension");
    RALabel = AddLabel(GroupBox6, "RALabel", "", 8, 40, "Solar right ascension");
    DecCaption = AddLabel(GroupBox6, "DecCaption", "Dec", 124, 20, "Solar declination");
    DecLabel = AddLabel(GroupBox6, "DecLabel", "", 100, 40, "Solar declination");
    AltCaption = AddLabel(GroupBox6, "AltCaption", "Alt", 216, 20, "Solar altitude");
    AltLabel = AddLabel(GroupBox6, "AltLabel", "", 200, 40, "Solar altitude");
    AziCaption = AddLabel(GroupBox6, "AziCaption", "Azi", 268, 20, "Solar azimuth");
    AziLabel = AddLabel(GroupBox6, "AziLabel", "", 250, 40, "Solar azimuth");
    PACaption = AddLabel(GroupBox6, "PACaption", "h", 280, 20, "Parallactic Angle");
    PALabel = AddLabel(GroupBox6, "PALabel", "", 280, 40, "Parallactic Angle");
    PACaption->hide();
    PALabel->hide();

    top += kGroupPitch;
    GroupBox2 = AddGroup(QStringLiteral("GroupBox2"), QStringLiteral("Solar Parameters"), top);
    AddLabel(GroupBox2, "B0Caption", "Bo", 24, 20, "Heliographic latitude of the disk centre");
    B0Label = AddLabel(GroupBox2, "B0Label", "", 10, 40, "Heliographic latitude of the disk centre");
    AddLabel(GroupBox2, "L0Caption", "Lo", 80, 20, "Heliographic longitude of the disk centre");
    L0Label = AddLabel(GroupBox2, "L0Label", "", 66, 40, "Heliographic longitude of the disk centre");
    AddLabel(GroupBox2, "PCaption", "P", 138, 20, "Position angle of the axis of rotation");
    PLabel = AddLabel(GroupBox2, "PLabel", "", 122, 40, "Position angle of the axis of rotation");
    AddLabel(GroupBox2, "DiamCaption", "Diam.", 204, 20, "Solar diameter");
    DiamLabel = AddLabel(GroupBox2, "DiamLabel", "", 192, 40, "Solar diameter");
    AddLabel(GroupBox2, "CRCaption", "CR", 276, 20, "Carrington rotation on central meridian");
    CRLabel = AddLabel(GroupBox2, "CRLabel", "", 268, 40, "Carrington rotation on central meridian");

    top += kGroupPitch;
    GroupBox4 = AddGroup(QStringLiteral("GroupBox4"),
                         QStringLiteral("Sunspot Disk Location && Size"), top);
    {
        auto* x = AddLabel(GroupBox4, "XCoordLabel", "x(mm)", 0, kLabelTop, "Sunspot x coordinate");
        XCoordBox = AddEdit(GroupBox4, "XCoordBox", 0, kEditTop, 42, "Sunspot x coordinate");
        auto* y = AddLabel(GroupBox4, "YCoordLabel", "y(mm)", 0, kLabelTop, "Sunspot y coordinate");
        YCoordBox = AddEdit(GroupBox4, "YCoordBox", 0, kEditTop, 42, "Sunspot y coordinate");
        auto* size = AddLabel(GroupBox4, "SizeCaption", "Sunspot Size", 0, kLabelTop, "Sunspot size");
        SizeBox = AddEdit(GroupBox4, "SizeBox", 0, kEditTop, 30, "Sunspot size");
        SizeLabel = AddLabel(GroupBox4, "SizeLabel", "mm", 0, kLabelTop, "Sunspot size");
        PlaceRow(6, {{x, 2}, {XCoordBox, 7}, {y, 2}, {YCoordBox, 7}, {size, 2}, {SizeBox, 2},
                     {SizeLabel, 0}});
    }

    top += kGroupPitch;
    GroupBox5 = AddGroup(QStringLiteral("GroupBox5"),
                         QStringLiteral("Heliographic Latitude/Longitude, Area && Carrington "
                                        "Rotation"),
                         top);
    AddLabel(GroupBox5, "LatCaption", "Latitude", 22, 20, "Heliographical latitude");
    LatLabel = AddLabel(GroupBox5, "LatLabel", "", 30, 40, "Heliographical latitude");
    AddLabel(GroupBox5, "LongCaption", "Longitude", 110, 20, "Heliographical longitude");
    LongLabel = AddLabel(GroupBox5, "LongLabel", "", 120, 40, "Heliographical longitude");
    AddLabel(GroupBox5, "AreaCaption", "Area", 196, 20, "Area (millionths)");
    AreaLabel = AddLabel(GroupBox5, "AreaLabel", "", 192, 40, "Area (millionths)");
    AddLabel(GroupBox5, "SunspotCRCaption", "CR", 270, 20, "Carrington rotation at spot");
    SunspotCRLabel = AddLabel(GroupBox5, "SunspotCRLabel", "", 262, 40,
                              "Carrington rotation at spot");

    top += kGroupPitch;
    GroupBox8 = AddGroup(QStringLiteral("GroupBox8"), QStringLiteral("Heliographic Separation"),
                         top);
    AddLabel(GroupBox8, "Label4", "Separation", 8, 20, "Heliographical separation");
    Sep1Label = AddLabel(GroupBox8, "Sep1Label", "", 8, 40, "Heliographical separation");
    Sep2Label = AddLabel(GroupBox8, "Sep2Label", "", 64, 40, "Heliographical separation");
    AddLabel(GroupBox8, "Label5", "Lat / Long1", 136, 20, "Lat & long at point 1");
    LL1Label = AddLabel(GroupBox8, "LL1Label", "", 136, 40, "Lat & long at point 1");
    AddLabel(GroupBox8, "Label7", "Lat / Long2", 236, 20, "Lat & long at point 2");
    LL2Label = AddLabel(GroupBox8, "LL2Label", "", 236, 40, "Lat & long at point 2");

    Image = new ImageControl(form_);
    Image->setObjectName(QStringLiteral("Image"));
    Image->move(kChartLeft, kChartTop);
    Image->setCanvasSize(kDesignChartSide, kDesignChartSide);
    Image1 = new ImageControl(form_);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->move(kChartLeft, kChartTop);
    Image1->hide();

    connect(Image, &ImageControl::mouseDown, this,
            [this](Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y) {
                RunCommand([=, this] { ImageMouseDown(buttons, modifiers, x, y); });
            });
    connect(DatePicker, &QDateEdit::dateChanged, this, [this] { RunCommand([this] { DatePickerChange(); }); });
    connect(TimePicker, &QTimeEdit::timeChanged, this, [this] { RunCommand([this] { TimePickerChange(); }); });
    connect(ObserverLatBox, &QLineEdit::textEdited, this, [this] { RunCommand([this] { ObserverLatBoxChange(); }); });
    connect(ObserverLongBox, &QLineEdit::textEdited, this, [this] { RunCommand([this] { ObserverLongBoxChange(); }); });
    connect(DiamBox, &QLineEdit::textEdited, this, [this] { RunCommand([this] { DiamBoxChange(); }); });
    connect(XCoordBox, &QLineEdit::textEdited, this, [this] { RunCommand([this] { XCoordBoxChange(); }); });
    connect(YCoordBox, &QLineEdit::textEdited, this, [this] { RunCommand([this] { YCoordBoxChange(); }); });
    connect(SizeBox, &QLineEdit::textEdited, this, [this] { RunCommand([this] { SizeBoxChange(); }); });
}

void TZorvaForm::SetLabelText(QLabel* label, const std::string& text) {
    label->setText(QString::fromStdString(text));
    label->adjustSize();
}

void TZorvaForm::SetLabel(QLabel* label, const std::string& text, int left) {
    SetLabelText(label, text);
    label->move(left, label->y());
}

QAction* TZorvaForm::action(const QString& name) const {
    const auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

void TZorvaForm::SetChecked(const QString& name, bool checked) {
    if (QAction* a = action(name)) a->setChecked(checked);
}

bool TZorvaForm::IsChecked(const QString& name) const {
    const QAction* a = action(name);
    return a && a->isChecked();
}

void TZorvaForm::SetEnabled(const QString& name, bool enabled) {
    if (QAction* a = action(name)) a->setEnabled(enabled);
}

void TZorvaForm::CheckOnly(const QStringList& group, const QString& chosen) {
    for (const QString& name : group) SetChecked(name, name == chosen);
}

void TZorvaForm::RunCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        dialogs_.Message(this, QString::fromUtf8(e.what()), QStringLiteral("Zorva Viewer"),
                         MessageIcon::Error, MessageButtons::Ok);
    } catch (...) {
        dialogs_.Message(this, QStringLiteral("An unexpected error occurred."),
                         QStringLiteral("Zorva Viewer"), MessageIcon::Error, MessageButtons::Ok);
    }
}

void TZorvaForm::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TZorvaForm::ExitClick() { close(); }

void TZorvaForm::Contents1Click() {
    HelpWindow help(this);
    dialogs_.ShowModal(help);
}

void TZorvaForm::Welcome1Click() {
    TIntroForm intro(*this, this);
    dialogs_.ShowModal(intro);
}

void TZorvaForm::AboutClick() {
    TAboutForm about(this);
    dialogs_.ShowModal(about);
}

} // namespace zorva::gui
