#ifndef PLOTGEOMETRY_H
#define PLOTGEOMETRY_H

#include <QLineF>
#include <QPoint>
#include <QRect>
#include <QRectF>

// Where the sky view and the CNR bar chart put things, as pure functions of
// the widget size in pixels. Integer conversions truncate toward zero.

// The fixed parts of the sky view for a widget of width w and height h. The
// diagram's size follows the height, and the width where it is narrower
// than h, so the diagram and its letters are always whole.
struct SkyLayout
{
    QPoint centre;        // (int(0.5 w), int(0.5 h))
    int radius;           // int(0.4 h): the horizon radius satellites are placed with
    QRectF horizon;       // bounding square of the horizon circle
    QRect ring;           // bounding square of the 45-degree ring
    QRectF east;          // boxes of the compass letters
    QRectF north;
    QRectF west;
    QRectF south;
};
SkyLayout skyLayout(float w, float h);

// The square of a satellite's disc, diameter h/18, for elevation e and
// azimuth a in degrees: elevation 90 at the centre, 0 on the horizon circle,
// azimuth 0 straight up and growing clockwise. Out-of-range values are drawn
// as they fall (above 90 crosses the centre, negative lies outside).
QRectF skyDiscRect(const SkyLayout &layout, float h, float elevation, float azimuth);

// The bar chart's fixed 0 to 55 dB-Hz scale: 1 dB-Hz is h/75 pixels above
// the baseline at 0.9 h.
namespace BarChart {
constexpr int TickCount = 12;        // 0, 5, ... 55 dB-Hz

QLineF baseline(float w, float h);
QLineF verticalAxis(float w, float h);
// Tick i (0 to 11) stands for 5 i dB-Hz.
QLineF tick(float w, float h, int i);
QRectF tickLabelRect(float w, float h, int i);

// Bar k (0 to n - 1) of n non-zero values, with value v: its slot starts at
// 0.11 w + 0.8 k w / n and it is 0.75 w / (n + 1) wide, from the baseline up.
QRectF barRect(float w, float h, int k, int n, float value);
// The grey box over bar k whose text is the value; 20 pixels above the bar.
QRectF valueBoxRect(float w, float h, int k, int n, float value);
// The box under bar k that holds its label.
QRectF labelRect(float w, float h, int k, int n);

// Signal j of the m signals of satellite k (of n satellites with a bar):
// the satellite's slot is shared by its bars side by side; with m = 1 these
// are barRect and valueBoxRect.
QRectF signalBarRect(float w, float h, int k, int n, int j, int m, float value);
QRectF signalValueBoxRect(float w, float h, int k, int n, int j, int m, float value);
// Entry i of the band legend, in a row along the top: its swatch and its
// text.
QRectF legendSwatchRect(float w, float h, int i);
QRectF legendTextRect(float w, float h, int i);
// Texts in a row `pitch` apart, each `textWidth` wide: every how many-th is
// drawn so that none runs into the next (with a 2-pixel gap); 1 when all fit.
int thinningStep(double pitch, double textWidth);
} // namespace BarChart

#endif // PLOTGEOMETRY_H
