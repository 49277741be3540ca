#include "gui/help_window.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

namespace zorva::gui {

QString UserGuideHtml() {
    return QStringLiteral(R"(
<h2>Zorva Viewer &mdash; a guide for observers</h2>
<p><b>Safety first.</b> Never look at the Sun with the naked eye or through any optical
instrument unless you use a safe method: projection onto a screen, or a certified
full-aperture solar filter.</p>

<h3>The window</h3>
<ul>
<li><b>Observer Latitude/Longitude &amp; Disk Diameter</b>: your site in degrees (north and
east positive; a longitude of 270 is taken as 90 west) and the diameter of your disk
drawing. Pick the diameter from <i>Disk Diameter</i>; with <i>Other (mm)</i> or <i>Other
(in)</i> you type it into the box.</li>
<li><b>Date &amp; Time</b>: the instant of the observation in Universal Time. Spin any
field; a day, month, second or minute that wraps round carries into the next field.</li>
<li><b>Solar Position</b>: the Sun's apparent right ascension and declination, and its
geometric altitude and azimuth for your site (no refraction). In the AltAzimuth
orientation the parallactic angle <i>h</i> is shown too.</li>
<li><b>Solar Parameters</b>: B<sub>0</sub> and L<sub>0</sub>, the heliographic latitude
and Carrington longitude of the disk centre; P, the position angle of the rotation axis
(positive to the east); the apparent diameter; the Carrington rotation number on the
central meridian.</li>
<li>The <b>chart</b> on the right shows the disk at the chosen diameter, at 75 pixels per
inch, with the N, E, S and W points, the equator, the central meridian and, when switched
on in <i>Lat/Long Lines</i>, lines of latitude and longitude every 20&deg;. The "P" marks
the north end of the rotation axis.</li>
</ul>

<h3>Measuring a sunspot</h3>
<ol>
<li>Set the date, time and your site, and the diameter of your drawing.</li>
<li>Choose the orientation in <i>Disk Orientaton</i>: <i>Equatorial</i> (celestial north
up), <i>Rotation Axis</i> (solar north up) or <i>AltAzimuth</i> (the zenith up). Use
<i>Flip</i> and <i>Mirror</i> to match your optics.</li>
<li>Measure the spot on your drawing in millimetres from the disk centre, x to the right
and y upwards, and type them into the <b>x(mm)</b> and <b>y(mm)</b> boxes; or click the
spot on the chart. Its heliographic latitude, Carrington longitude and the rotation at the
spot appear at once.</li>
<li>Count the grid squares the spot covers on your measuring grid and type the count into
<b>Sunspot Size</b>. Choose the grid in <i>Sunspot Grid Size</i>. The area is given in
millionths of the solar hemisphere, corrected for foreshortening; it turns red beyond
60&deg; from the disk centre, where the correction is large.</li>
</ol>

<h3>Following a spot</h3>
<p>Under <i>Rotation</i>, <i>Carrington</i> keeps a marker at the spot's Carrington
longitude and <i>Differential</i> moves it with the Sun's latitude-dependent rotation as
you change the date and time. A hollow marker lies on the far side of the Sun.</p>

<h3>Display</h3>
<p>The <i>Display</i> menu sets the precision of every readout, the date format and the
width of the date and time boxes, and the screen size the window is laid out for (it takes
effect at the next change of diameter or the next start).</p>

<h3>Where the files live</h3>
<ul>
<li>Your choices are kept in <code>ZorvaViewerSettings_v10.dat</code> and the folders of the
file dialogs in <code>ZorvaViewerDir_v10.dat</code>, both in the folder Zorva was started
from. Delete them to start afresh.</li>
<li>For almanac-grade values put a year file <code>zorvadataYYYY.txt</code> into that
folder; <code>zorva-cli year YYYY --accurate &gt; zorvadataYYYY.txt</code> makes one. Without
it, the built-in tables serve 1990 to 2050 and other years are computed.</li>
</ul>
)");
}

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Zorva Viewer Help"));
    resize(560, 600);
    auto* layout = new QVBoxLayout(this);
    browser = new QTextBrowser(this);
    browser->setObjectName(QStringLiteral("HelpBrowser"));
    browser->setHtml(UserGuideHtml());
    layout->addWidget(browser);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

} // namespace zorva::gui
