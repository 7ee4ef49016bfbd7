#ifndef CHARTLOOK_H
#define CHARTLOOK_H

#include "nmea/satellites.h"

#include <QColor>
#include <QFont>
#include <QString>

class QwtLegend;
class QwtPlot;
class QwtText;

// The program's chart look in one place, so every chart view and the
// headless analysis draw alike.
namespace ChartLook {

// Arial, as the rest of the program (fonts-liberation stands in): 9 points
// for scales, legends and read-outs.
QFont font();
// An axis title in the title font (Arial 9, bold).
QwtText axisTitle(const QString &text);

// The constellation's colour, the same as the sky view and bar chart draw.
QColor constellationColour(Constellation constellation);
// Colours for series that are not constellations (restart kinds,
// receivers), told apart in order; the index wraps after six.
QColor seriesColour(int index);

// White background and canvas, dark grey scales in the chart font, a light
// dotted grid, axes meeting at the canvas corners, and room at the right
// for the last scale label; the canvas draws without a backing store of its
// own. Call once on a new plot.
void apply(QwtPlot *plot);

// For a chart a view redraws at every refresh: its canvas paints straight
// into the window. A backing store of its own is a new pixmap at each
// replot, filled and then copied, which costs such a chart three times its
// drawing; hovering then redraws the few thousand points the chart holds.
void paintLive(QwtPlot *plot);

// A legend for the top of a chart, in the chart font, with neither the
// frame nor the scroll bars the program's style sheet would give it (they
// left no room for the items' row). The plot it is inserted into owns it.
QwtLegend *legend();

// Makes `axis` (QwtPlot::xBottom, ...) a time axis: its values are UTC
// seconds since 1970, its labels read "hh:mm:ss" in UTC whatever the
// machine's time zone, and its ticks fall on round seconds, minutes or
// hours.
void useUtcTimeAxis(QwtPlot *plot, int axis);

} // namespace ChartLook

#endif // CHARTLOOK_H
