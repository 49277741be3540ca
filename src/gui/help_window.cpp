#include "gui/help_window.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace zorva::gui {

QString UserGuideHtml() {
    // The guide walks through the window in the order an observer meets it; the key list at
    // the end repeats every key of the menus.
    return QStringLiteral(R"(
<h2>Zorva Viewer &mdash; a guide for observers</h2>
<p><b>Safety first.</b> Never look at the Sun with the naked eye or through any optical
instrument unless you use a safe method: projection onto a screen, or a certified
full-aperture solar filter.</p>
<p>Contents: <a href="#window">The window</a> &middot; <a href="#instant">Setting the
instant</a> &middot; <a href="#measure">Measuring a sunspot</a> &middot; <a
href="#walkthrough">Measuring a sunspot from a drawing</a> &middot; <a
href="#separation">Separations</a> &middot; <a href="#rotation">Following a spot</a>
&middot; <a href="#logfile">The logfile</a> &middot; <a href="#files">Files at hand</a> &middot; <a href="#images">Solar images</a>
&middot; <a href="#output">Printing and exporting the chart</a> &middot; <a
href="#srs">Solar Region Summaries</a> &middot; <a href="#counting">Counting the day's
sunspots from a photograph</a> &middot; <a href="#spotswindow">Sunspots in the window</a>
&middot; <a href="#record">The observer's record</a> &middot; <a href="#display">Display and
grid</a>
&middot; <a href="#numbers">Where the numbers come from</a> &middot; <a href="#keys">Keys</a></p>

<h3><a name="window"></a>The window</h3>
<ul>
<li><b>Observer Latitude/Longitude &amp; Disk Diameter</b>: your site in degrees (north and
east positive; a longitude of 270 is taken as 90 west) and the diameter of your disk
drawing. Pick the diameter from <i>Disk Diameter</i> (<i>100 mm</i>, <i>125 mm</i>,
<i>150 mm</i>, <i>4 in</i>, <i>5 in</i>, <i>6 in</i>); with <i>Other (mm)</i> or <i>Other
(in)</i> you type it into the box. A text the program
cannot use turns red and its hint says which value is in use.</li>
<li><b>Date &amp; Time</b>: the instant of the observation in Universal Time (see below).</li>
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
the north end of the rotation axis. The status bar says where the year's numbers come
from.</li>
</ul>

<h3><a name="instant"></a>Setting the instant</h3>
<ul>
<li>Spin any field of the date or time picker, or type into it. A day, month, second,
minute or hour that wraps round when spun carries into the next field: spinning the day up
from 31 January gives 1 February.</li>
<li><i>Time &gt; Now (UT)</i> (F5) sets the date and time to your computer clock's
Universal Time, to the second.</li>
<li>The step keys move the instant by a minute, an hour or a day, carried through the end
of a day, month and year as a spun picker carries: <i>Next Minute</i> and <i>Previous
Minute</i> (Alt+Right, Alt+Left), <i>Next Hour</i> and <i>Previous Hour</i> (Ctrl+Right,
Ctrl+Left), <i>Next Day</i> and <i>Previous Day</i> (Ctrl+Up, Ctrl+Down), all in the
<i>Time</i> menu.</li>
<li>The keys of the menus work wherever the focus is, with one rule: an edit box or a
picker that has the focus keeps the keys it uses itself. There Ctrl+Left and Ctrl+Right
move the cursor by a word and Ctrl+C copies the selected text; the other step keys still
step. Press Tab until the focus leaves the boxes, or use the <i>Time</i> menu, to step by
hours from a box.</li>
</ul>

<h3><a name="measure"></a>Measuring a sunspot</h3>
<ol>
<li>Set the date, time and your site, and the diameter of your drawing.</li>
<li>Choose the orientation in <i>Disk Orientaton</i>: <i>Equatorial</i> (celestial north
up), <i>Rotation Axis</i> (solar north up) or <i>AltAzimuth</i> (the zenith up). Use
<i>Flip (N - S)</i> and <i>Mirror (E - W)</i> to match your optics; with the rotation axis
or the zenith up they read <i>Flip (T - B)</i> and <i>Mirror (L - R)</i>.</li>
<li>Measure the spot on your drawing in millimetres from the disk centre, x to the right
and y upwards, and type them into the <b>x(mm)</b> and <b>y(mm)</b> boxes; or click the
spot on the chart. Its heliographic latitude, Carrington longitude and the rotation at the
spot appear at once.</li>
<li>Count the grid squares the spot covers on your measuring grid and type the count into
<b>Sunspot Size</b>. Choose the grid in <i>Sunspot Grid Size</i>: <i>1 by 1 mm</i> or
<i>1/25 by 1/25 in</i>. The area is given in millionths of the solar hemisphere, corrected
for foreshortening; it turns red beyond 60&deg; from the disk centre, where the correction
is large.</li>
</ol>
<p>Clicks on the chart (and on a solar image):</p>
<ul>
<li><b>Click</b> on the disk: the spot is put there; x and y are rounded to hundredths of a
millimetre. A click off the disk does nothing.</li>
<li><b>Shift-click</b> twice: the two ends of a separation (below).</li>
<li><b>Ctrl-click</b>: the current measurement is added to the logfile, as <i>Add to
Logfile</i> does; the spot does not move.</li>
</ul>

<h3><a name="walkthrough"></a>Measuring a sunspot from a drawing</h3>
<ol>
<li>At the telescope, note the time of your drawing in UT. In Zorva set the date and time:
press F5 for now, then step back with Alt+Left, Ctrl+Left and Ctrl+Down (minutes, hours,
days) or type the time into the picker.</li>
<li>Check your site in the latitude and longitude boxes, and choose the diameter of the
disk on your drawing in <i>Disk Diameter</i>, say <i>150 mm</i>.</li>
<li>Choose the orientation your drawing has: with celestial north up and east to the right,
as a projection screen shows the Sun, keep <i>Equatorial</i>; use <i>Mirror</i> if your
drawing has east to the left, as the sky is seen, and <i>Flip</i> if it has south up. Check that the chart's N, E, S
and W points match your drawing.</li>
<li>With a ruler, measure the spot's centre from the centre of your disk: x to the right,
y up, in millimetres. Type them into <b>x(mm)</b> and <b>y(mm)</b>, say 23.5 and -41.0.
The spot marker moves on the chart and <b>Latitude</b>, <b>Longitude</b> and <b>CR</b> show
where it lies on the Sun.</li>
<li>Lay your counting grid over the spot, count the squares it covers and type the count
into <b>Sunspot Size</b>; <b>Area</b> shows its area in millionths of the hemisphere.</li>
<li>Choose <i>File &gt; New Logfile...</i> once (it writes the column headings into a new
file) or <i>Open Logfile...</i> for one you already keep.</li>
<li>Ctrl-click the chart, or choose <i>File &gt; Add to Logfile</i>: one line is added with
the date and time, the Sun's position and B<sub>0</sub>, L<sub>0</sub>, P, the chart's
diameter and orientation, x, y, size, latitude, longitude, area and rotation of the spot,
your site and the last separation. A message confirms it unless you have switched off
<i>Display &gt; Logfile Message Box</i>.</li>
<li>To paste the same readouts into a spreadsheet, choose <i>Edit &gt; Copy Readouts</i>
(Ctrl+C when no edit box has the focus).</li>
</ol>

<h3><a name="separation"></a>Separations</h3>
<p>Shift-click a first point, then a second. The <b>Heliographic Separation</b> box shows
the distance between them on the Sun in degrees and kilometres and the latitude and
longitude of each point, and the <i>Separation</i> menu says how it is drawn:</p>
<ul>
<li><i>Separation within disk</i>: the first point is on the disk. With <i>Longitude
Arc</i> the angle is the difference of the two longitudes (&Delta;long) and the distance
runs along the parallel of their mean latitude, which both points then show: the captions
read <i>&Delta;long, along parallel</i> and <i>Mean lat / Long</i>, and the status bar
says it in words. With <i>Great Circle</i> the distance runs along the shortest path on the
sphere. A second point off the disk is moved back
to the limb along the line between the two. <i>Spot in Middle</i> puts the spot marker
half way between them. The arc's colour is chosen under <i>Colour</i>.</li>
<li><i>Separation outside disk</i>: the first point is off the disk, a prominence say; the
distance is measured on the sky to the second point, or to the limb below the first point
when the second lies on the disk, in arc minutes and kilometres, and drawn as a line in its
own colour.</li>
</ul>
<p>Which of the two applies is decided by the first point. Without either item checked, a
new date or time clears the separation.</p>

<h3><a name="rotation"></a>Following a spot</h3>
<p>Under <i>Rotation</i>, <i>Carrington</i> keeps a marker at the spot's Carrington
longitude and <i>Differential</i> moves it with the Sun's latitude-dependent rotation as
you change the date and time. A hollow marker lies on the far side of the Sun. Each marker
has its own <i>Colour</i> and an optional <i>Label</i>.</p>

<h3><a name="logfile"></a>The logfile</h3>
<ul>
<li><i>New Logfile...</i> chooses a file and writes the column headings into it; the dialog
asks before it replaces a file that exists.</li>
<li><i>Open Logfile...</i> chooses a logfile you already have; nothing in it is
changed.</li>
<li><i>Add to Logfile</i> (or a Ctrl-click) appends one line of fixed columns for the
current measurement: YYYY MM DD HH MM SS, the decimal year, RA, Dec, Alt, Azi, PA,
B0, L0, P, SDiam, CR, the orientation (NE, NW, SE or SW), the chart diameter, X, Y, Size,
SLat, SLon, Area, SCR, your latitude and longitude, and the separation (SpAng, SepDist and
the latitude and longitude of both points). Nothing is added while the spot lies off the
disk. If a line cannot be written you are told why and the file is left as it was.</li>
<li>A Ctrl-click before a logfile is chosen offers to make a new one; that click itself is
not logged, and the status bar says "Logfile created: Ctrl-click again to log this
measurement".</li>
<li><i>Edit &gt; Measurements...</i> lists every measurement of the logfile you opened and
every one logged in this run (in bold), the latest last: the instant, what it was measured
on (the chart or the picture's file name), the orientation, x, y, latitude, Carrington
longitude, area, rotation and separation. A line read back from a file shows what the line
holds: its orientation code, no source. Choosing a row sets its date and time and puts the
spot where it was measured.</li>
<li><i>Edit &gt; Undo Last Measurement</i> (Ctrl+Z, when no edit box has the focus) takes the
last line this run added out of the logfile again; the file is rewritten whole or not at
all. A line the program did not write is never taken out: if the logfile was changed by
anything else since the last measurement was added, you are told so and nothing
changes.</li>
<li><i>File &gt; Export Measurements...</i> writes the table as a CSV file with named columns
for a spreadsheet: the logfile's 34 fields, then the source and orientation.
<code>zorva-cli logfile ZorvaLogfile.txt --format csv</code> (or <code>--format json</code>)
converts any logfile the same way.</li>
<li>A file that is not a logfile (a picture, a summary, binary data) is not opened as one.
A read-only logfile is opened with a warning that nothing can be added to it, and a
logfile removed while Zorva runs is not made again behind your back: you are told, and
the Measurements window keeps what was logged.</li>
</ul>

<h3><a name="files"></a>Files at hand</h3>
<ul>
<li><i>File &gt; Open Recent</i> lists the pictures, Region Summaries and logfiles you opened
last, the latest first, kept in <code>ZorvaOptions.ini</code>; <i>Clear Recent Files</i>
empties the lists. A file that has gone is named and leaves the list.</li>
<li>Drop a picture, a FITS file, a Region Summary or a logfile on the window to open it; the
kind is told from the file's contents.</li>
<li>Ctrl+O is <i>Open Image...</i> and Ctrl+S <i>Save Image</i>.</li>
</ul>

<h3><a name="images"></a>Solar images</h3>
<ul>
<li><i>File &gt; Open Image...</i> opens a photograph or scan of the Sun: BMP, PNG, JPEG,
TIFF (8 or 16 bit) or FITS. The limb is found, a circle is fitted to it, and the same grid,
spot marker, clicks, separations and logging work on the image as on the chart. A colour
image is searched in grey and shown in colour. If no limb is found you are told so.</li>
<li>A picture keeps its own size and orientation: opening one never changes the chart's
diameter, unit, orientation, flip or mirror, and the settings file keeps the chart's. While
it is shown, x and y are millimetres of a disk of the picture's size at 75 pixels per inch,
so that they can be typed back.</li>
<li>A picture lies as its FITS header says (<i>Disk Orientaton &gt; From FITS header</i> is
then checked); else, for an observatory's file name (SDO, SOHO,
GONG...), with solar north up and east to the left, as observatories publish them; else as
the orientation chosen for pictures, at first celestial north up and east to the left, as a
camera sees the sky. A choice in <i>Disk Orientaton</i>, <i>Flip</i> or <i>Mirror</i> while
a picture is shown is kept for the pictures that follow, apart from the chart's own
orientation (whose default has east to the right, as on a projection screen). A picture
turned by any angle is told so with <i>Image &gt; Orientation...</i>, or its north found from
the drift or the day's regions (see <a href="#counting">Counting the day's sunspots from a
photograph</a>). The status bar says the orientation in use and where it came from.</li>
<li>A picture's date and time come from its FITS header, else a camera's EXIF time, else
its file name: names holding <code>20060315_1230</code>, <code>20060315_123000</code>,
<code>2006-03-15T12:30:00</code> or Helioviewer's <code>2006_03_15__12_30_00_000</code> give
that instant. A name with the day alone (<code>d060315.bmp</code>, 15 March 2006), a camera
time without its offset from UT, or none at all, is asked for (see <a
href="#counting">Counting the day's sunspots from a photograph</a>): a picture never takes
the instant of the one before it.</li>
<li><i>Display &gt; Points</i> marks the limb points the fit accepted with red crosses;
<i>Display &gt; Circle</i> draws the fitted circle. <i>Display &gt; Sub-pixel
Limb</i> refines each limb point to a fraction of a pixel along its ray and fits the circle
again; it matters near the limb, where a tenth of a pixel moves a position by a tenth of a
degree. The choice is kept in <code>ZorvaOptions.ini</code> beside the settings file.</li>
<li>A FITS file from an observatory (SDO, SOHO, GONG...) states its own time, disk and
orientation: they are used as they stand. The disk comes from the header's coordinates; the
status bar says how far the limb search lies from it.</li>
<li>The grid, letters and limb are drawn over the picture at the screen's own size, light
on a dark edge, so they read alike on a small picture and a large one at any zoom.</li>
<li>A picture opens fitted to the window and follows the window's size; only the picture
scrolls, the readouts stay where they are. Zoom with Ctrl and the mouse wheel (round the
pointer) or from the <i>View</i> menu: <i>Zoom In</i> (Ctrl++ or Ctrl+=), <i>Zoom Out</i>
(Ctrl+-), <i>Fit to Window</i> (Ctrl+0) and <i>Actual Size</i> (Ctrl+1, one picture pixel
per screen pixel).</li>
<li><i>Save Image As...</i> saves the picture at its own size with everything drawn over
it, scaled to the picture, and a caption below naming the file, its date and time, B0, L0
and P, the rotation, the orientation and the disk, each with where it came from (BMP, PNG,
JPEG or TIFF by the name's extension); <i>Save Image</i> saves again to the same file
without asking. While the chart is shown they save the chart.</li>
<li><i>Close Image</i> brings the chart back as it was. <code>zorva FILE</code> starts the
program with that picture open, and the desktop offers Zorva for pictures and FITS
files. While an
image is shown the <i>Rotation</i> and <i>Disk Diameter</i> menus, <i>Export Chart</i> and
<i>Print Chart</i> are unavailable.</li>
</ul>

<h3><a name="handdisk"></a>A refused disk, and the disk by hand</h3>
<p>A wrong disk is worse than none: every latitude read on it would be wrong without a
sign. So when the limb search cannot back its circle (too few rays agree, the points lie
far from the circle, the limb is seen round less than half the disk, or the circle misses
where the brightness falls) the disk is refused, and the message says why. The picture is
still shown and can be zoomed, but nothing is measured on it: a click says a disk is
needed. If <i>Sub-pixel Limb</i> is switched on a picture whose new search is refused, the
status bar says why and the disk stays as it was.</p>
<p><i>Image &gt; Disk by Hand...</i> gives the disk yourself, on any picture, and the
refusal message offers it too. Either press at the centre of the disk and drag out to the
limb, or click three or more points spread round the limb and a circle is fitted through
them (the more points, the better the fit); for a disk cut by the frame, click points on
the limb that shows, or press at a centre beside the picture. The circle, its centre and the points are
drawn in orange. Then adjust it: drag again, or use the arrow keys to move it and + and -
to resize it (one screen pixel a press, ten with Shift). Enter takes the disk; Esc,
or choosing the item again, cancels. The disk taken is the picture's until it is closed; the status bar and a saved
picture's caption say the disk was given by hand. On the command line,
<code>--disk CX,CY,R</code> does the same.</p>

<h3><a name="picturedate"></a>Where a picture's date comes from</h3>
<p>A picture's instant is taken, in this order, from a FITS header; from a camera's EXIF
date (with the offset from UT the camera wrote, when it wrote one); from the file name
(<code>20230131_033945</code>, <code>20230131_0339</code>, ISO
<code>2023-01-31T03:39:45</code>, <code>20230131T033945</code>, Helioviewer's
<code>2023_01_31__03_39_45_123__SDO_HMI_...</code> and the names above). A name that gives
only a date offers that day at 12:00 UT, and a picture without any is offered the day Zorva
started at 12:00 UT (or the instant you set on the chart): either way <i>Picture Instant</i>
asks you to confirm or correct it before anything is measured. The status bar always says
where the instant came from, and a date that cannot be (month 13, hour 25) is passed over
with a note.</p>
<p>Most cameras write their clock's time without saying how far it is from UT.
<i>Image &gt; Camera Clock Offset...</i> says what such a clock keeps, in minutes ahead of
UT (-840 to 840; 0, UT, unless you change it; a clock on UT+2 is 120). It applies to the
pictures opened after it is set, and is kept in <code>ZorvaOptions.ini</code>.</p>

<h3><a name="output"></a>Printing and exporting the chart</h3>
<p><i>File &gt; Print Chart...</i> (Ctrl+P) and <i>File &gt; Export Chart...</i> first ask
how the chart should look:</p>
<ul>
<li><b>Screen colours</b> or <b>Print style</b> (white background and disk, black grid:
light on ink, for drawing blanks);</li>
<li><b>Caption block</b> (on at first): the date and time UT, B0, L0, P, the Carrington
rotation, the apparent diameter, the orientation, your latitude and longitude, and blank
Observer, Seeing and Notes lines to fill in by hand;</li>
<li><b>Longitude labels</b> along the equator every 30&deg;.</li>
</ul>
<p>The chart is the one on screen, with its grid lines, spot and rotation markers.
Printed, and in PDF and SVG files, the disk is exactly the chart diameter and the lines are
smooth; print at 100% (no "fit to page" in your printer's own settings). If the chart with
its caption is larger than the paper, you are told before anything is printed. A PNG file is
the screen's picture at 75 pixels per inch. An export replaces a file completely or not at
all: if it cannot be written you are told why, and a file of that name keeps what it
had.</p>

<h3><a name="srs"></a>Solar Region Summaries</h3>
<ul>
<li><i>Solar Region Summary &gt; Load SRS...</i> reads a daily Solar Region Summary text
file whose name begins with its date (as in <code>20060512SRS.txt</code>) and plots its
active regions, each with its number, spot class and area, moved from the summary's time to
your instant by the Sun's rotation.</li>
<li><i>Link with Date</i> loads the summary named after the chosen date
(<code>20060505srs.txt</code>, in capitals or not) and follows the date as you change it.
It looks in a folder named by the date's year beside the folder of the last summary you
loaded, so keep one folder a year (<code>SRS/2005/</code>, <code>SRS/2006/</code>, ...), and
in the last summary's folder itself, so summaries kept all in one folder are found too.
Load one summary by hand first to tell it where they are. A date without a summary is said
on the status bar, with the name looked for and the folders looked in, and the <i>Region
Table</i> says "No summary for this date".</li>
<li>A summary shown on a chart more than a day from its own time is still plotted, but the
plot and the status bar say how far it is ("summary of 2011-06-07, 1,461 days from the
chart"); beyond half a rotation (14 days) its regions are drawn faded, since they have
turned far from where the summary saw them.</li>
<li><i>Display &gt; Solar Region Summary</i> shows or hides the plotted regions; the
<i>Colour</i> and <i>File Name Label</i> items set their colour and write the file's name
in the corner.</li>
<li><i>Region Table...</i> lists the loaded regions with every column of the summary;
choosing a row marks that region on the chart.</li>
</ul>

)") + PhotographGuideHtml() +
           QStringLiteral(R"(
<h3><a name="spotswindow"></a>Sunspots in the window</h3>
<ul>
<li><i>Sunspots &gt; Detect Sunspots</i> finds the spots on the open picture, with its disk,
time and orientation, exactly as <code>zorva-cli spots</code> finds them on the same file:
each penumbra and pore is outlined in amber, each umbra in red, and each group carries its
number. The status bar gives the groups, the spots and the Wolf number. What was found is
forgotten when the picture closes or its disk, time or orientation changes; detect again
then.</li>
<li><i>Sunspot Table...</i> lists the groups (latitude, Carrington longitude, distance from
the central meridian, &mu;, spots, area and umbral area in millionths of the hemisphere,
corrected for foreshortening) and below them the spots; click a heading to sort by it.
Choosing a row outlines that group or spot in white on the picture. With a Solar Region
Summary loaded, each group is matched by position at the picture's time to a NOAA region,
whose number, area and spot count stand beside ours with the distance between the two;
NOAA regions not found, regions behind the limb and groups NOAA does not list are named
under the table, with the Wolf number.</li>
<li><i>Export Sunspots...</i> writes the table as CSV, a row a group and a row a spot, the
same file <code>zorva-cli spots --format csv</code> writes.</li>
<li><i>Show Rejected Candidates</i> rings faintly, in magenta, each dark feature the search
judged to be no spot: a fault of the camera, a stain, the limb's shading, a speck too small
to tell. Rest the pointer on a ring to read why. The choice is kept for the next run.</li>
<li>A click on a spot measures it from its own pixels: its outline is drawn, and its area
becomes the spot's size, so the <b>Area</b> readout shows the spot's corrected area, ready
for the logfile. A click beside every spot places the marker and keeps the size typed. The
picture is searched for spots in the background as soon as it is open, so a click answers
at once: before the search ends, the spot clicked is measured alone.</li>
<li>The count can be reviewed until it is the one you would sign. Choose a spot or a group
in the table, or click a spot; then <i>Remove Spot</i> or <i>Remove Group</i> takes it
away, <i>Merge Groups...</i> asks for a group to join the chosen one, <i>Split Spot Off</i>
gives the chosen spot a group of its own, and <i>NOAA Number...</i> gives the group a
region number, offering the region of the loaded Solar Region Summary it matches.
<i>Add Spot</i> adds the spot the next click falls on, outlined as a click outlines a spot;
<i>Mark Spotless</i> counts the visible disk as spotless (R = 0). <i>Undo Review Step</i>
takes back the last step. The groups, spots and Wolf number follow at once, and the
export gives the reviewed count. It is kept beside the picture as
<code>PICTURE.spots.json</code>, is shown again when the picture is searched next, and is
what <code>zorva-cli spots</code> tells for the picture; a file there that belongs to
another picture or is damaged is set aside with a message.</li>
</ul>

<h3><a name="record"></a>The observer's record</h3>
<p>Zorva keeps every observation you add in one record, <code>ZorvaRecord.sqlite</code> in the
working folder unless <i>File &gt; Record...</i> chooses another (a new name makes a new
record). A file that is no record, a damaged one and one from a newer Zorva are refused with
the reason and left as they are; the record in use stays. <code>zorva-cli record</code> reads
and adds to the same file, even while the window is open.</p>
<ul>
<li><i>Record &gt; Add This Picture</i> takes the spots of the picture shown (searched now when
they were not yet) as the record's observation of the picture's time. The form shows the
groups and spots of each hemisphere and the Wolf number R = 10 g + s; give your observer code
(as your association gives it), site, instrument and the seeing (1 excellent to 5 very poor),
and correct a group's McIntosh class by double-clicking it. <i>Add to Record</i> keeps it; a
picture added before is refused.</li>
<li><i>Add Visual Observation...</i> is the same form for counts made at the eyepiece or from a
drawing: the instant in UT, g and s of each hemisphere and, if you worked it out, R, which is
checked against 10 g + s. List the groups if you like (<i>Add Group</i>): the place as N or S,
as a latitude (N14) or as NOAA writes it (N14W23: 23&deg; west of the central meridian), the
spots, the class and NOAA's number. Counts that cannot be (fewer spots than groups, spots
without a group, an R that is not 10 g + s, groups that do not add up to the counts, a day
yet to come) are refused with the reason, and nothing is added. The observer code, site and
instrument are offered again next time.</li>
<li><i>Observations</i> lists everything in the record. A day observed twice keeps both;
the reports and plots take the one of the best seeing unless you choose another and press
<i>Mark as the Day's Observation</i>.</li>
<li><i>Groups</i> lists the groups followed from day to day by where the Sun's differential
rotation carries them: each keeps one number for its life, with its NOAA number, first and
last day, mean latitude, largest area and classes. Choose one to see its days (place, area,
spots and class) and its area curve; double-click a class to correct it. A class you typed or
corrected is marked as the observer's.</li>
<li><i>Monthly Report</i> shows a month's row a day (date, UT, seeing, g, s, R, gN, sN, gS,
sS, method and observer) with the observing days, the mean daily number of groups and the
mean R, and exports it as text or CSV, the very files of <code>zorva-cli record
report</code>.</li>
<li><i>Activity Curve</i> plots each day's R and the monthly means; <i>Butterfly Diagram</i>
plots the groups' latitudes against time, each by its area. <i>Export...</i> writes either as
PNG, SVG or PDF, as <code>zorva-cli record plot</code> draws it.</li>
</ul>

<h3><a name="display"></a>Display and grid</h3>
<p>The <i>Display</i> menu switches the <i>Sunspot</i> marker, the region plot, the limb
points and circle of an image, sets the screen size the window is laid out for (<i>Screen
Resolution</i>, taking effect at the next change of diameter or the next start), the
<i>Short Date Format</i> or <i>Long Date Format</i>, the width of the date and time boxes
(<i>Increase Date Window</i>, <i>Decrease Date Window</i>, <i>Increase Time Window</i>,
<i>Decrease Time Window</i>), the precision of the readouts (<i>Right Ascension</i>,
<i>Declination</i>, <i>Alt &amp; Azi</i>, <i>Bo, Lo &amp; P</i>, <i>Diameter</i>, <i>Lat
&amp; Long</i>, <i>Area</i>), and the <i>Logfile Message Box</i>. <i>Lat/Long Lines</i> switches the <i>N E S W Points</i>, <i>Central
Meridian</i>, <i>Equator</i>, <i>Latitude Lines</i> and <i>Longitude Lines</i>.
<i>Help</i> holds this guide (<i>Contents</i>), the <i>Welcome</i> window and
<i>About</i>; <i>File &gt; Exit</i> closes the program and keeps your choices.</p>

<h3><a name="numbers"></a>Where the numbers come from</h3>
<ul>
<li>A year file <code>zorvadataYYYY.txt</code> in the working folder comes first when there
is one; <code>zorva-cli year YYYY --accurate &gt; zorvadataYYYY.txt</code> makes one for
any year from 1800 to 2200, from ERFA (the IAU SOFA algorithms).</li>
<li>Otherwise the built-in tables serve 1990 to 2050; they were made with the same ERFA
computation and rounded as a year file prints.</li>
<li>Other years are computed with a simpler series, good to about a tenth of a
degree.</li>
<li>The status bar names the source of the current year.</li>
</ul>

<h3>Where the files live</h3>
<p>Your choices are kept in <code>ZorvaViewerSettings_v10.dat</code>, the folders of the
file dialogs in <code>ZorvaViewerDir_v10.dat</code> and the recent files, the sub-pixel
limb, the record's file and your observer code, site and instrument in
<code>ZorvaOptions.ini</code>, all in the folder Zorva was started from. Delete them
to start afresh.</p>

<h3><a name="keys"></a>Keys</h3>
<table border="1" cellspacing="0" cellpadding="3">
<tr><td>F5</td><td>Now (UT)</td></tr>
<tr><td>Alt+Right, Alt+Left</td><td>Next Minute, Previous Minute</td></tr>
<tr><td>Ctrl+Right, Ctrl+Left</td><td>Next Hour, Previous Hour (not in an edit box or
picker, where they move the cursor)</td></tr>
<tr><td>Ctrl+Up, Ctrl+Down</td><td>Next Day, Previous Day</td></tr>
<tr><td>Ctrl+C</td><td>Copy Readouts (in an edit box or picker: copy its text)</td></tr>
<tr><td>Ctrl+P</td><td>Print Chart</td></tr>
<tr><td>Ctrl+O, Ctrl+S</td><td>Open Image, Save Image</td></tr>
<tr><td>Ctrl+Z</td><td>Undo Last Measurement (in an edit box: undo its typing)</td></tr>
<tr><td>Click, Shift-click, Ctrl-click</td><td>put the spot, take a separation point, add
to the logfile</td></tr>
<tr><td>Arrows, + and -, Enter, Esc</td><td>while giving a disk by hand: move and
resize the circle, take it, cancel</td></tr>
<tr><td>Esc</td><td>while drawing the drift: cancel</td></tr>
<tr><td>Ctrl+wheel, Ctrl++, Ctrl+=, Ctrl+-, Ctrl+0, Ctrl+1</td><td>zoom the solar image: in
and out, fit to the window, one to one</td></tr>
</table>
)");
}

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Zorva Viewer Help"));
    // At its size, or within nine tenths of a smaller screen, so its Close button shows
    // below a title bar.
    constexpr int kWidth = 640, kHeight = 700;
    constexpr double kShare = 0.9;
    const QScreen* shown = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect avail = shown ? shown->availableGeometry() : QRect(0, 0, kWidth, kHeight);
    resize(std::min(kWidth, static_cast<int>(kShare * avail.width())),
           std::min(kHeight, static_cast<int>(kShare * avail.height())));
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
