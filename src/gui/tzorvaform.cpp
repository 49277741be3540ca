#include "gui/tzorvaform.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStatusBar>
#include <QThreadPool>
#include <exception>
#include <iostream>

#include "core/options/option_table.h"
#include "core/settings/options_file.h"
#include "core/spots/spot_detection.h"
#include "gui/about_form.h"
#include "gui/chart_image.h"
#include "gui/help_window.h"
#include "gui/image_view.h"
#include "gui/intro_form.h"
#include "gui/record_part.h"
#include "render/image_overlay.h"

namespace zorva::gui {

namespace {
// The left column of group boxes and the chart beside it.
constexpr int kGroupLeft = 8;
constexpr int kGroupWidth = 325;
constexpr int kGroupHeight = 65;
constexpr int kGroupPitch = 69;
constexpr int kDesignChartSide = 300;
constexpr int kFormMargin = 8; // round the panel of group boxes
constexpr int kEditHeight = 21;
constexpr int kLabelTop = 31; // a caption beside an edit box
constexpr int kEditTop = 28;
constexpr int kDesignWidth = 694;
constexpr int kDesignHeight = 620;
} // namespace

QString TZorvaForm::OptionsFilePath() const {
    return QDir(folder_).filePath(QStringLiteral("ZorvaOptions.ini"));
}

TZorvaForm::TZorvaForm(Dialogs& dialogs, const Clock& clock, QString folder, bool fileGiven,
                       QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs), clock_(clock), folder_(std::move(folder)),
      session_(YearTables(std::filesystem::path(folder_.toStdString())),
               [](const PixelGrid& pixels, const PictureContext& picture,
                  const ChartGeometry& orientation, const Ephemeris& ephemeris) {
                   return DetectSpots(pixels, picture, orientation, ephemeris);
               }) {
    setObjectName(QStringLiteral("TZorvaForm"));
    session_.Spots().SetSpotMeasure(
        [](const PixelGrid& pixels, const DiskFrame& frame, const Ephemeris& ephemeris, double x,
           double y) { return MeasureSpotAt(pixels, frame, ephemeris, x, y); });
    session_.Spots().SetBackgroundSpotSearch(true);
    setWindowTitle(QStringLiteral("Zorva Viewer"));
    // A small proportional face whose space is half a digit wide, as the readouts'
    // padding expects.
    labelFont_ = QFont(QStringLiteral("DejaVu Sans"));
    labelFont_.setPixelSize(10);
    resize(kDesignWidth, kDesignHeight); // until start-up lays the window out

    setFont(labelFont_);
    setAcceptDrops(true); // pictures, summaries and logfiles dropped on the window open
    BuildForm();
    BuildMenus();
    FormCreate(fileGiven);
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

QLabel* TZorvaForm::AddLabel(QWidget* parent, const QString& name, const QString& text, int left,
                             int top, const QString& hint) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setFont(labelFont_);
    label->move(left, top);
    label->adjustSize();
    if (!hint.isEmpty()) label->setToolTip(hint);
    return label;
}

QLineEdit* TZorvaForm::AddEdit(QWidget* parent, EditBox box, const QString& name, int left, int top,
                               int width, const QString& hint) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setFont(labelFont_);
    edit->setGeometry(left, top, width, kEditHeight);
    edit->setToolTip(hint);
    const auto i = static_cast<std::size_t>(box);
    boxes_[i] = edit;
    boxHints_[i] = hint;
    // Only the user's typing runs the box's handler; texts the program sets do not.
    connect(edit, &QLineEdit::textEdited, this,
            [this, box] { RunCommand([this, box] { EditBoxChanged(box); }); });
    edit->installEventFilter(this);
    return edit;
}

namespace {
// Places widgets left to right, each followed by its gap in pixels.
void PlaceRow(int left, std::initializer_list<std::pair<QWidget*, int>> row) {
    for (const auto& [widget, gap] : row) {
        widget->move(left, widget->y());
        left += widget->width() + gap;
    }
}
} // namespace

void TZorvaForm::BuildForm() {
    // The readouts stay in a panel of their own at the left; the chart, or a picture in its
    // place, takes the rest of the window and alone scrolls or zooms.
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Form"));
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    form_ = new QWidget(central);
    form_->setObjectName(QStringLiteral("ReadoutPanel"));
    row->addWidget(form_, 0, Qt::AlignTop);
    views_ = new QStackedWidget(central);
    views_->setObjectName(QStringLiteral("Views"));
    row->addWidget(views_, 1);
    setCentralWidget(central);

    int top = 4;
    QGroupBox* GroupBox7 =
        AddGroup(QStringLiteral("GroupBox7"),
                 QStringLiteral("Observer Latitude/Longitude && Disk Diameter"), top);
    {
        auto* lat = AddLabel(GroupBox7, "ObsLatLabel", "Lat.", 0, kLabelTop, "Observer latitude");
        auto* latBox = AddEdit(GroupBox7, EditBox::ObserverLat, "ObserverLatBox", 0, kEditTop, 46,
                               "Observer latitude");
        auto* lon =
            AddLabel(GroupBox7, "ObsLongLabel", "Long.", 0, kLabelTop, "Observer longitude");
        auto* longBox = AddEdit(GroupBox7, EditBox::ObserverLong, "ObserverLongBox", 0, kEditTop,
                                46, "Observer longitude");
        auto* diam =
            AddLabel(GroupBox7, "DiskDiam2Label", "Disk Diam.", 0, kLabelTop, "Disk diameter");
        auto* diamBox =
            AddEdit(GroupBox7, EditBox::Diameter, "DiamBox", 0, kEditTop, 44, "Disk diameter");
        DiskDiamLabel = AddLabel(GroupBox7, "DiskDiamLabel", "mm", 0, kLabelTop, "Disk diameter");
        PlaceRow(8, {{lat, 3},
                     {latBox, 10},
                     {lon, 3},
                     {longBox, 10},
                     {diam, 3},
                     {diamBox, 3},
                     {DiskDiamLabel, 0}});
    }

    top += kGroupPitch;
    GroupBox1 = AddGroup(QStringLiteral("GroupBox1"), QStringLiteral("Date && Time"), top);
    DatePicker = new DatePickerEdit(GroupBox1);
    DatePicker->setObjectName(QStringLiteral("DatePicker"));
    DatePicker->setWrapping(true);
    DatePicker->setFont(labelFont_);
    DatePicker->setDateRange(QDate(kFirstPickerYear, 1, 1), QDate(kLastPickerYear, 12, 31));
    DatePicker->setGeometry(29, 28, 140, kEditHeight + 1);
    TimePicker = new TimePickerEdit(GroupBox1);
    TimePicker->setObjectName(QStringLiteral("TimePicker"));
    TimePicker->setWrapping(true);
    TimePicker->setFont(labelFont_);
    TimePicker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    TimePicker->setGeometry(200, 28, 72, kEditHeight + 1);
    UTCaption = AddLabel(GroupBox1, "UTCaption", "UT", 278, 31, "Universal time");

    top += kGroupPitch;
    QGroupBox* GroupBox6 =
        AddGroup(QStringLiteral("GroupBox6"), QStringLiteral("Solar Position"), top);
    AddLabel(GroupBox6, "RACaption", "RA", 16, 20, "Solar right ascension");
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
    QGroupBox* GroupBox2 =
        AddGroup(QStringLiteral("GroupBox2"), QStringLiteral("Solar Parameters"), top);
    AddLabel(GroupBox2, "B0Caption", "Bo", 24, 20, "Heliographic latitude of the disk centre");
    B0Label =
        AddLabel(GroupBox2, "B0Label", "", 10, 40, "Heliographic latitude of the disk centre");
    AddLabel(GroupBox2, "L0Caption", "Lo", 80, 20, "Heliographic longitude of the disk centre");
    L0Label =
        AddLabel(GroupBox2, "L0Label", "", 66, 40, "Heliographic longitude of the disk centre");
    AddLabel(GroupBox2, "PCaption", "P", 138, 20, "Position angle of the axis of rotation");
    PLabel = AddLabel(GroupBox2, "PLabel", "", 122, 40, "Position angle of the axis of rotation");
    AddLabel(GroupBox2, "DiamCaption", "Diam.", 204, 20, "Solar diameter");
    DiamLabel = AddLabel(GroupBox2, "DiamLabel", "", 192, 40, "Solar diameter");
    AddLabel(GroupBox2, "CRCaption", "CR", 276, 20, "Carrington rotation on central meridian");
    CRLabel =
        AddLabel(GroupBox2, "CRLabel", "", 268, 40, "Carrington rotation on central meridian");

    top += kGroupPitch;
    QGroupBox* GroupBox4 =
        AddGroup(QStringLiteral("GroupBox4"), QStringLiteral("Sunspot Disk Location && Size"), top);
    {
        auto* x = AddLabel(GroupBox4, "XCoordLabel", "x(mm)", 0, kLabelTop, "Sunspot x coordinate");
        auto* xBox = AddEdit(GroupBox4, EditBox::XCoord, "XCoordBox", 0, kEditTop, 42,
                             "Sunspot x coordinate");
        auto* y = AddLabel(GroupBox4, "YCoordLabel", "y(mm)", 0, kLabelTop, "Sunspot y coordinate");
        auto* yBox = AddEdit(GroupBox4, EditBox::YCoord, "YCoordBox", 0, kEditTop, 42,
                             "Sunspot y coordinate");
        auto* size =
            AddLabel(GroupBox4, "SizeCaption", "Sunspot Size", 0, kLabelTop, "Sunspot size");
        auto* sizeBox =
            AddEdit(GroupBox4, EditBox::Size, "SizeBox", 0, kEditTop, 30, "Sunspot size");
        SizeLabel = AddLabel(GroupBox4, "SizeLabel", "mm", 0, kLabelTop, "Sunspot size");
        PlaceRow(6,
                 {{x, 2}, {xBox, 7}, {y, 2}, {yBox, 7}, {size, 2}, {sizeBox, 2}, {SizeLabel, 0}});
    }

    top += kGroupPitch;
    QGroupBox* GroupBox5 =
        AddGroup(QStringLiteral("GroupBox5"),
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
    SunspotCRLabel =
        AddLabel(GroupBox5, "SunspotCRLabel", "", 262, 40, "Carrington rotation at spot");

    top += kGroupPitch;
    GroupBox8 =
        AddGroup(QStringLiteral("GroupBox8"), QStringLiteral("Heliographic Separation"), top);
    Label4 = AddLabel(GroupBox8, "Label4", "Separation", 8, 20, "Heliographical separation");
    Sep1Label = AddLabel(GroupBox8, "Sep1Label", "", 8, 40, "Heliographical separation");
    Sep2Label = AddLabel(GroupBox8, "Sep2Label", "", 64, 40, "Heliographical separation");
    Label5 = AddLabel(GroupBox8, "Label5", "Lat / Long1", 136, 20, "Lat & long at point 1");
    LL1Label = AddLabel(GroupBox8, "LL1Label", "", 136, 40, "Lat & long at point 1");
    Label7 = AddLabel(GroupBox8, "Label7", "Lat / Long2", 236, 20, "Lat & long at point 2");
    LL2Label = AddLabel(GroupBox8, "LL2Label", "", 236, 40, "Lat & long at point 2");

    // The panel holds the group boxes where the layout places them.
    form_->setFixedSize(kGroupLeft + kGroupWidth + kFormMargin,
                        GroupBox8->y() + GroupBox8->height() + kFormMargin);

    chartScroll_ = new QScrollArea(views_);
    chartScroll_->setObjectName(QStringLiteral("ChartScroll"));
    chartScroll_->setFrameShape(QFrame::NoFrame);
    chartScroll_->setAlignment(Qt::AlignCenter);
    chartScroll_->setWidgetResizable(false);
    Image = new ImageControl;
    Image->setObjectName(QStringLiteral("Image"));
    Image->setCanvasSize(kDesignChartSide, kDesignChartSide);
    chartScroll_->setWidget(Image);
    views_->addWidget(chartScroll_);
    Image1 = new ImageView(views_);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->hide();
    Image1->setOverlay([this](QPainter& p, double zoom, QPointF origin) {
        if (!shown_ || !shown_->picture) return;
        PaintPictureOverlay(p, *shown_->picture,
                            {zoom, origin.x(), origin.y(), QRectF(Image1->viewport()->rect())},
                            labelFont_);
    });
    // The reason a rejected feature was no spot, where the pointer rests on its mark.
    Image1->setTipAt([this](QPointF at) {
        if (!shown_ || !shown_->picture || !shown_->picture->spots) return QString();
        const SpotsOverlay& spots = *shown_->picture->spots;
        if (!spots.rejected || !spots.detection) return QString();
        const RejectedFeature* near =
            RejectedNear(*spots.detection, at.x(), at.y(), RejectedReach / Image1->zoom());
        return near ? QStringLiteral("Not a spot: %1").arg(QString::fromStdString(near->reason))
                    : QString();
    });
    views_->addWidget(Image1);
    connect(Image1, &ImageView::mouseDown, this,
            [this](Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y) {
                RunCommand([=, this] { Image1MouseDown(buttons, modifiers, x, y); });
            });

    connect(Image1, &ImageView::leftPressed, this,
            [this](QPointF at) { RunCommand([=, this] { HandDiskPressed(at); }); });
    connect(Image1, &ImageView::leftDragged, this,
            [this](QPointF to) { RunCommand([=, this] { HandDiskDragged(to); }); });
    connect(Image1, &ImageView::leftReleased, this,
            [this](QPointF at) { RunCommand([=, this] { HandDiskReleased(at); }); });
    ConnectPhotoTools();
    Image1->installEventFilter(this);

    connect(Image, &ImageControl::mouseDown, this,
            [this](Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y) {
                RunCommand([=, this] { ImageMouseDown(buttons, modifiers, x, y); });
            });
    connect(DatePicker, &QDateEdit::dateChanged, this,
            [this] { RunCommand([this] { DatePickerChange(); }); });
    connect(TimePicker, &QTimeEdit::timeChanged, this,
            [this] { RunCommand([this] { TimePickerChange(); }); });
    // A date typed with its time sets the instant at once; a text neither picker can read is
    // said on the status line too.
    DatePicker->instant = [this](QDate d, QTime t) {
        RunCommand([=, this] {
            session_.Observing().SetInstant(
                {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()});
            Show();
        });
    };
    const auto refused = [this](const QString& why) { statusBar()->showMessage(why); };
    DatePicker->refused = refused;
    TimePicker->refused = refused;
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    tableSourceLabel_ = new QLabel(statusBar());
    tableSourceLabel_->setObjectName(QStringLiteral("TableSourceLabel"));
    tableSourceLabel_->setToolTip(QStringLiteral("Where this year's solar ephemeris comes from"));
    statusBar()->addPermanentWidget(tableSourceLabel_);
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

void TZorvaForm::FormCreate(bool fileGiven) {
    const LoadedSettingsFiles loaded = LoadSettingsFiles(folder_.toStdString());
    const QDate today = clock_.Today();
    session_.Start(loaded, {today.year(), today.month(), today.day()});
    // Options of our own beyond the two settings files, which stay exactly as they are.
    const OptionsLoad options = LoadOptionsFile(OptionsFilePath().toStdString());
    session_.ApplyOptionsFile(options.values);
    if (!options.read && options.found) {
        dialogs_.Message(this,
                         QStringLiteral("Your options could not be read from %1: %2")
                             .arg(OptionsFilePath(), QString::fromStdString(options.error)),
                         QStringLiteral("Zorva Viewer"), MessageIcon::Warning, MessageButtons::Ok);
    }
    // The welcome window comes once, on the first start, before the main window while there
    // is none to show; a file to open says the user knows where to begin.
    if (loaded.settings.showWelcome && !fileGiven) {
        TIntroForm intro(*this, this);
        dialogs_.ShowModal(intro);
        session_.SetHideWelcome(true);
    }
    Show();
}

void TZorvaForm::FormClose() {
    if (closed_) return;
    closed_ = true;
    session_.Chart().RememberWindowSize(width(), height());
    const OptionsSave options =
        StoreOptions(OptionsFilePath().toStdString(), OptionsFileEntries(session_.options()));
    const SavedSettingsFiles saved =
        SaveSettingsFiles(folder_.toStdString(), session_.folders(), session_.CurrentSettings());
    QStringList failures;
    if (!saved.settingsWritten) {
        const QString file = QDir(folder_).filePath(
            QString::fromUtf8(kSettingsFileName.data(), kSettingsFileName.size()));
        failures << QStringLiteral("%1: %2").arg(file, QString::fromStdString(saved.settingsError));
    }
    if (!options.ok) {
        failures << QStringLiteral("%1: %2").arg(OptionsFilePath(),
                                                 QString::fromStdString(options.error));
    }
    if (failures.isEmpty()) return;
    savedOnClose_ = false;
    const QString text = QStringLiteral("Your settings could not be saved to ") +
                         failures.join(QStringLiteral("; to "));
    if (unattended_) {
        std::cerr << "zorva: " << text.toStdString() << std::endl;
        return;
    }
    dialogs_.Message(this, text, QStringLiteral("Zorva Viewer"), MessageIcon::Error,
                     MessageButtons::Ok);
}

void TZorvaForm::CloseUnattended() {
    unattended_ = true;
    close();
}

} // namespace zorva::gui
