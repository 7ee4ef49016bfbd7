#include "plots/plotgeometry.h"

#include <algorithm>
#include <cmath>

SkyLayout skyLayout(float w, float h)
{
    const double W = w;
    // The horizon spans 0.8 H and the compass letters stand in the 0.1 H
    // beside it: a widget narrower than it is high shrinks the diagram
    // whole instead of cutting W and E off.
    const double H = std::min(double(h), W);
    const double cx = 0.5 * W;
    const double cy = 0.5 * double(h);
    SkyLayout layout;
    layout.centre = QPoint(int(0.5f * w), int(0.5f * h));
    layout.radius = int(0.4 * H);
    layout.horizon = QRectF(cx - 0.4 * H, cy - 0.4 * H, 0.8 * H, 0.8 * H);
    layout.ring = QRect(int(cx - 0.2 * H), int(cy - 0.2 * H), int(0.4 * H), int(0.4 * H));
    layout.east = QRectF(cx + 0.4 * H, cy - 0.025 * H, 0.15 * H, 0.05 * H);
    layout.north = QRectF(cx - 0.075 * H, cy - 0.45 * H, 0.15 * H, 0.05 * H);
    layout.west = QRectF(cx - 0.55 * H, cy - 0.025 * H, 0.15 * H, 0.05 * H);
    layout.south = QRectF(cx - 0.075 * H, cy + 0.4 * H, 0.15 * H, 0.05 * H);
    return layout;
}

QRectF skyDiscRect(const SkyLayout &layout, float h, float elevation, float azimuth)
{
    const float a = azimuth * 0.017453292f;
    const float d = (1.0f - elevation / 90.0f) * float(layout.radius);
    const double x = layout.centre.x() + d * std::sin(double(a));
    const double y = layout.centre.y() - d * std::cos(double(a));
    const float half = h / 36.0f;
    const float diameter = h / 18.0f;
    return QRectF(x - half, y - half, diameter, diameter);
}

namespace BarChart {

QLineF baseline(float w, float h)
{
    const int y = int(0.9 * h);
    return QLineF(int(0.1 * w), y, int(0.9 * w), y);
}

QLineF verticalAxis(float w, float h)
{
    const int x = int(0.1 * w);
    return QLineF(x, int(0.9 * h), x, int(0.1 * h));
}

QLineF tick(float w, float h, int i)
{
    const int y = int((0.9 - double(float(i) / 15.0f)) * h);
    return QLineF(int(0.095 * w), y, int(0.1 * w), y);
}

QRectF tickLabelRect(float w, float h, int i)
{
    return QRectF(0.08 * w, (0.9 - double((float(i) + 0.5f) / 15.0f)) * h,
                  double(h / 14.0f), double(h / 15.0f));
}

QRectF barRect(float w, float h, int k, int n, float value)
{
    const float barHeight = value * h / 75.0f;
    const double x = 0.11 * w + 0.8 * k * w / n;
    const double width = 0.75 * w / (n + 1);
    return QRectF(x, 0.9 * h - barHeight, width, barHeight);
}

QRectF valueBoxRect(float w, float h, int k, int n, float value)
{
    const float barHeight = value * h / 75.0f;
    return QRectF(0.11 * w + (0.175 + 0.8 * k) * w / n, 0.9 * h - barHeight - 50,
                  0.35 * w / (n + 1), 30);
}

QRectF labelRect(float w, float h, int k, int n)
{
    const double x = 0.11 * w + 0.8 * k * w / n;
    return QRectF(x, 0.9 * h, 0.75 * w / (n + 1), 30);
}

QRectF signalBarRect(float w, float h, int k, int n, int j, int m, float value)
{
    const QRectF slot = barRect(w, h, k, n, value);
    if (m <= 1)
        return slot;
    const double width = slot.width() / m;
    return QRectF(slot.left() + j * width, slot.top(), width, slot.height());
}

QRectF signalValueBoxRect(float w, float h, int k, int n, int j, int m, float value)
{
    if (m <= 1)
        return valueBoxRect(w, h, k, n, value);
    // Centred over its bar, narrower so the boxes of neighbours stand apart.
    const QRectF bar = signalBarRect(w, h, k, n, j, m, value);
    const double width = bar.width() * 0.8;
    return QRectF(bar.center().x() - width / 2, bar.top() - 50, width, 30);
}

QRectF legendSwatchRect(float w, float, int i)
{
    return QRectF(0.12 * w + 0.17 * w * i, 4, 24, 11);
}

QRectF legendTextRect(float w, float, int i)
{
    return QRectF(0.12 * w + 0.17 * w * i + 30, 0, 0.17 * w - 36, 19);
}

int thinningStep(double pitch, double textWidth)
{
    if (pitch <= 0)
        return 1;
    return std::max(1, int(std::ceil((textWidth + 2) / pitch)));
}

} // namespace BarChart
