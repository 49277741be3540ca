// The user guide's walk through a photograph: in the window first, then on the command line.
#include "gui/help_window.h"

namespace zorva::gui {

QString PhotographGuideHtml() {
    return QStringLiteral(R"guide(
<h3><a name="counting"></a>Counting the day's sunspots from a photograph</h3>
<p>Zorva finds the sunspots on a white-light picture of the whole disk: each umbra is a spot
and a dark patch without one counts once, as SILSO counts them; spots are grouped on the Sun,
and each spot and group gets its latitude, Carrington longitude, distance from the central
meridian and area in millionths of the hemisphere, corrected for foreshortening. The Wolf
number R = 10 groups + spots comes with its northern and southern parts. Every position
rests on two things the picture itself may not say: <b>when</b> it was taken and <b>which
way up</b> it is. Zorva asks for the first and helps you find the second.</p>
<p>Take the picture in focus and well exposed: no part of the disk white to the last grey
level, the whole disk in the frame. A spot must cover two or three pixels to be counted, so
a disk of 1000 pixels or more across shows the small ones. Note the time in UT.</p>

<h4>In the window</h4>
<ol>
<li><b>Open.</b> <i>File &gt; Open Image...</i> (Ctrl+O) or drop the file on the window. The
limb is found and the grid drawn over the disk; if the limb search cannot back its circle,
give the disk with <i>Image &gt; Disk by Hand...</i>.</li>
<li><b>The instant.</b> A picture's instant comes from its FITS header, its camera's EXIF
time or its name (see <a href="#picturedate">Where a picture's date comes from</a>). When the
file gives none, or none for certain (a name with the day alone, or a camera clock that did
not write how far it runs from UT), the <i>Picture Instant</i> window asks for it at once,
offering what the file does give: the name's day at 12:00, the camera's time read with
<i>Image &gt; Camera Clock Offset...</i>. Type the date and time in UT and choose OK. A
picture never takes the instant of the picture opened before it: without a date of its own
it is offered the day Zorva started, at 12:00 UT, or the instant you set yourself on the
chart. Until you answer, nothing is measured on it: a click or <i>Detect Sunspots</i> says
what is missing, and the status bar and a saved picture's caption say the time is "not yet
given". <i>Image &gt; Picture Instant...</i> asks again at any time; changing the date and
time pickers while a picture is shown gives it that instant too. The status bar, a saved
picture's caption and the exported spots always say where the instant came from.</li>
<li><b>Which way up.</b> A camera picture is taken as celestial north up and east to the left
until you say otherwise. Three ways to say it:
<ul>
<li><i>Image &gt; Orientation...</i>: choose whose north you mean (<i>Equatorial</i>,
celestial north; <i>Rotation axis</i>, solar north; <i>AltAzimuth</i>, the zenith), tick
<i>Mirrored</i> for a projection screen seen from the front or a star diagonal, and type the
turn: the angle, counter-clockwise from the picture's up, at which that north lies (0 north
up, 90 north to the left, 300 north a little right of up). The grid turns as you type; Cancel
puts it back.</li>
<li><i>Image &gt; North from the Drift</i>: switch the drive off, let a spot or a point of
the limb drift across the field, and draw its drift on the picture: press where it was, drag
along its path and let go where it drifted to. The Sun drifts west, so the line gives east
and west, and Zorva asks whether the picture is mirrored to know which side north lies on.
<i>Image &gt; North from Two Pictures...</i> does the same from a second picture taken a few
seconds after the open one with the drive off: the disk's own shift between the two is the
drift. Either sets the equatorial orientation with the turn found. Esc, or the item again,
cancels the drawing.</li>
<li><i>Image &gt; Solve Orientation from Summary</i>: with the picture's instant and the
day's Solar Region Summary loaded (<i>Solar Region Summary &gt; Load SRS...</i>), Zorva finds
the groups, carries each NOAA region to the picture's instant, and tries every turn, mirrored
and not, for the one that lays the groups on the regions. It says how many groups matched
and how far they lie from their regions, and the picture takes that orientation. It refuses,
with the reason, when fewer than two groups lie on regions or when two answers fit equally
well: a day with one group cannot tell the turn.</li>
</ul>
The status bar and a saved picture's caption say the orientation and where it came from
("celestial north up, east left, turned 59 degrees counter-clockwise (given)"). Check it:
with <i>Lat/Long Lines</i> on, the equator and the lines of latitude should run along the
way the spots drift from day to day.</li>
<li><b>Detect.</b> <i>Sunspots &gt; Detect Sunspots</i> outlines every penumbra and pore in
amber and every umbra in red, numbers the groups, and gives the groups, the spots and the
Wolf number on the status bar (see <a href="#spotswindow">Sunspots in the window</a>).</li>
<li><b>Review.</b> <i>Sunspot Table...</i> lists the groups and spots; with the summary loaded
each group stands beside its NOAA region, with the regions not found and the groups NOAA does
not list named under the table. Click a spot on the picture to measure it from its own
pixels; <i>Export Sunspots...</i> writes the table as CSV, with the instant's and the
orientation's sources; Ctrl+click adds a measurement to the logfile.</li>
</ol>

<h4>On the command line</h4>
<ol>
<li>Count: <code>zorva-cli spots photo.png --at 2024-05-10T09:30</code>. A picture without a
date of its own is refused until <code>--at</code> gives one; a day alone in the name is
taken at 12:00 UT and a camera clock without its offset as the offset set for it, each with
a warning. A <b>Group</b> line gives its number (east to west), latitude, Carrington
longitude, <b>cmd</b> (degrees west of the central meridian; east is negative), its centre in
pixels, its spots, its area and its umbrae's area; a <b>Spot</b> line the same for each spot;
the <b>Wolf</b> line R, the groups, the spots and the northern and southern R; the
<b>Orientation</b> line where solar north and east lie and where that came from.</li>
<li>Which way up: <code>--turn DEG</code> (with <code>--orientation equatorial</code>,
<code>axis</code> or <code>altaz</code>, and <code>--mirror</code> or <code>--flip</code> as
the optics need), <code>--drift X1,Y1,X2,Y2</code> (the drift drawn, in pixels),
<code>--drift-from OTHER</code> (a second picture seconds later, the drive off) or
<code>--orientation solve --regions 20240510SRS.txt</code>. The same work with
<code>overlay</code> and <code>locate --image</code>; <code>zorva-cli overlay photo.png --out
grid.png --lat-lines --long-lines --at 2024-05-10T09:30 --turn 59</code> draws the grid to
check by eye.</li>
<li>Compare with NOAA: <code>zorva-cli regions 20240510SRS.txt --at 2024-05-10T09:30</code>
lists the day's regions with their latitude and Carrington longitude (Lo). A group of ours
and a region within two or three degrees of each other in both are the same group. NOAA's
areas are measured on drawings and are often smaller than ours, which come from the
picture's own pixels; the spot counts differ with the picture's sharpness.</li>
<li>Many pictures at once: <code>zorva-cli spots *.png --format csv &gt; spots.csv</code>
searches them on every core of the computer and writes a row a group and a row a spot,
in the order the files are given; <code>--format json</code> writes one line a picture
for scripts. A picture that cannot be used is named on the terminal with the reason
(no disk found, a saturated disk, cloud across it) and the others
go on; <code>--disk CX,CY,R</code> gives the disk by hand when the limb search fails.</li>
<li>The levels can be changed: <code>--penumbra 0.92</code> and <code>--umbra 0.6</code>
(of the quiet Sun around the spot), <code>--limb-mu 0.1</code> (the band at the limb left
out), <code>--smallest 1.6</code> (millionths) and <code>--group-link 3,15</code> (the
distance in degrees within which spots join a group, growing with the group); <code>zorva-cli
help spots</code> says more.</li>
</ol>
)guide");
}

} // namespace zorva::gui
