#include "plots/bar_plot.h"
#include "freshness/staleshade.h"
#include "plots/plotgeometry.h"
#include "plots/textcache.h"

#include <algorithm>

#include <QEvent>
#include <QFont>
#include <QFontMetricsF>
#include <QPixmap>
#include <QStringList>
#include <QVector>

bar_plot::bar_plot(QWidget *parent)
    : QWidget(parent)
{
    // It paints itself whole, its parent's background included (backdrop).
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void bar_plot::changeEvent(QEvent *event)
{
    // Another style or palette: the fixed parts are drawn again.
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::PaletteChange)
        m_background = QPixmap();
    QWidget::changeEvent(event);
}

bar_plot::~bar_plot() = default;

void bar_plot::set_satellites(const QList<float> &cnrs, const QList<QString> &labels,
                              const QList<QColor> &outlines, const QList<QColor> &fills)
{
    // A receiver at 10 Hz often repeats its CNRs for a second: the same
    // chart as on the screen is not painted again.
    if (!m_paintPending && cnrs == m_shown.cnrs && labels == m_shown.labels && outlines == m_shown.outlines
        && fills == m_shown.fills && m_bands == m_shown.bands && m_signalNames == m_shown.signalNames) {
        m_bands.clear();
        m_signalNames.clear();
        return;
    }
    m_paintPending = true;
    m_cnrs = cnrs;
    m_labels = labels;
    m_outlines = outlines;
    m_fills = fills;
    // A NaN is not 0 and gets a bar slot of its own.
    m_barCount = 0;
    for (float value : m_cnrs) {
        if (value != 0.0f)
            ++m_barCount;
    }
    update();
}

void bar_plot::set_bands(const QList<int> &bands, const QList<QString> &signalNames)
{
    m_bands = bands;
    m_signalNames = signalNames;
}

namespace {

// How a band's bars are marked over their constellation colour: the first
// band plain, as a single-band chart.
Qt::BrushStyle bandPattern(int band)
{
    static const Qt::BrushStyle patterns[] = {Qt::NoBrush, Qt::CrossPattern, Qt::BDiagPattern,
                                              Qt::FDiagPattern, Qt::DiagCrossPattern};
    return band >= 0 && band < int(sizeof patterns / sizeof patterns[0]) ? patterns[band] : Qt::Dense5Pattern;
}

const QColor kPatternColour(0, 0, 0, 150);

} // namespace

void bar_plot::drawBackground(qreal ratio)
{
    const float w = m_width;
    const float h = m_height;
    m_background = backdrop(this, ratio);
    m_backgroundAt = pos();
    QPainter painter(&m_background);
    // The vertical axis shares the 3-pixel pen with the baseline and ticks,
    // so it never covers the ticks.
    m_axisPen.setWidth(3);
    m_axisPen.setColor(Qt::black);
    painter.setPen(m_axisPen);
    const QFont titleFont(QStringLiteral("Arial"), 14, 50, false);
    const QFont scaleFont(QStringLiteral("Arial"), 10, 50, false);

    painter.drawLine(BarChart::baseline(w, h));
    painter.setFont(scaleFont);
    for (int i = 0; i < BarChart::TickCount; ++i) {
        painter.drawLine(BarChart::tick(w, h, i));
        painter.drawText(BarChart::tickLabelRect(w, h, i), Qt::AlignVCenter, QString::number(5 * i));
    }
    painter.drawLine(BarChart::verticalAxis(w, h));

    painter.setFont(titleFont);
    painter.rotate(90.0);
    painter.drawText(QPoint(int(0.35 * h), int(-0.05 * w)), QStringLiteral("CNR(dB-Hz)"));
    painter.rotate(-90.0);
}

void bar_plot::setStale(const QString &text)
{
    if (text == m_staleText)
        return;
    m_staleText = text;
    update();
}

void bar_plot::paintEvent(QPaintEvent *)
{
    // Not current: what was drawn last stays, under the shade.
    if (!m_staleText.isEmpty() && !m_paintPending && m_cnrs.isEmpty()) {
        m_cnrs = m_shown.cnrs;
        m_labels = m_shown.labels;
        m_outlines = m_shown.outlines;
        m_fills = m_shown.fills;
        m_bands = m_shown.bands;
        m_signalNames = m_shown.signalNames;
    }
    m_height = float(height());
    m_width = float(width());
    const float w = m_width;
    const float h = m_height;

    // The axes, scale and title change only with the size: drawn once into
    // a picture of their own.
    const qreal ratio = devicePixelRatioF();
    if (m_background.size() != size() * ratio || m_backgroundAt != pos())
        drawBackground(ratio);
    // No render hints: nothing is anti-aliased.
    m_painter.begin(this);
    m_painter.drawPixmap(0, 0, m_background);
    m_painter.setFont(m_barTexts.font());

    // The lists are parallel; never read past the shortest one.
    const int count = std::min({m_cnrs.size(), m_labels.size(), m_outlines.size(), m_fills.size()});
    // With bands given, entries with one label in a row are one satellite's
    // signals and share its slot; otherwise each entry is a satellite.
    const bool grouped = m_bands.size() >= count && m_signalNames.size() >= count;
    QVector<int> groupOf(count);
    QVector<int> barsInGroup;
    QList<int> bandsShown;
    for (int i = 0; i < count; ++i) {
        if (!grouped || i == 0 || m_labels.at(i) != m_labels.at(i - 1))
            barsInGroup.append(0);
        groupOf[i] = barsInGroup.size() - 1;
        if (m_cnrs.at(i) != 0.0f) {
            ++barsInGroup.last();
            if (grouped && !bandsShown.contains(m_bands.at(i)))
                bandsShown.append(m_bands.at(i));
        }
    }
    // Slot of each satellite with a bar, packed from the left.
    QVector<int> slotOf(barsInGroup.size(), -1);
    int n = 0;
    for (int g = 0; g < barsInGroup.size(); ++g)
        slotOf[g] = barsInGroup.at(g) > 0 ? n++ : -1;
    const bool marked = bandsShown.size() > 1;
    QVector<int> drawnInGroup(barsInGroup.size(), 0);

    // Labels and values that would run into their neighbours are thinned
    // (every second one, or more) or, values, turned upright.
    const QFontMetricsF metrics(m_barTexts.font());
    double labelWidth = 0;
    for (int i = 0; i < count; ++i)
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(m_labels.at(i)));
    const double slotPitch = n > 0 ? 0.8 * double(w) / n : double(w);
    const int labelStep = BarChart::thinningStep(slotPitch, labelWidth);
    int barIndex = -1;

    for (int i = 0; i < count; ++i) {
        const float value = m_cnrs.at(i);
        if (value == 0.0f)
            continue;
        const int group = groupOf.at(i);
        const int k = slotOf.at(group);
        const int m = barsInGroup.at(group);
        const int j = drawnInGroup[group]++;
        ++barIndex;

        const QString valueText = QString::number(double(value), 'g', 6);
        const QRectF box = BarChart::signalValueBoxRect(w, h, k, n, j, m, value);
        const double barPitch = slotPitch / std::max(1, m);
        const bool upright = metrics.horizontalAdvance(valueText) > box.width();
        m_textPen.setColor(Qt::transparent);
        m_brush.setColor(Qt::darkGray);
        m_brush.setStyle(Qt::SolidPattern);
        m_painter.setPen(m_textPen);
        m_painter.setBrush(m_brush);
        m_painter.drawRects(&box, 1);
        m_textPen.setColor(Qt::black);
        m_painter.setPen(m_textPen);
        if (!upright) {
            m_barTexts.draw(m_painter, box, Qt::AlignCenter, valueText);
        } else if (barIndex % BarChart::thinningStep(barPitch, metrics.height()) == 0) {
            m_painter.save();
            m_painter.translate(box.center());
            m_painter.rotate(-90);
            m_barTexts.draw(m_painter, QRectF(-box.height() / 2, -box.width() / 2, box.height(), box.width()),
                            Qt::AlignCenter, valueText);
            m_painter.restore();
        }
        m_textPen.setColor(Qt::black);
        m_painter.setPen(m_textPen);
        if (j == 0 && k % labelStep == 0)
            m_barTexts.draw(m_painter, BarChart::labelRect(w, h, k, n), Qt::AlignCenter, m_labels.at(i));

        m_brush.setStyle(Qt::SolidPattern);
        m_brush.setColor(m_fills.at(i));
        m_barPen.setColor(m_outlines.at(i));
        m_barPen.setWidth(1);
        m_painter.setPen(m_barPen);
        m_painter.setBrush(m_brush);
        const QRectF bar = BarChart::signalBarRect(w, h, k, n, j, m, value);
        m_painter.drawRects(&bar, 1);
        if (marked && bandPattern(m_bands.at(i)) != Qt::NoBrush) {
            m_painter.setPen(Qt::NoPen);
            m_painter.setBrush(QBrush(kPatternColour, bandPattern(m_bands.at(i))));
            m_painter.drawRects(&bar, 1);
        }

        m_painter.setPen(m_textPen);
    }

    if (marked)
        drawBandLegend(bandsShown, count);

    // A snapshot is drawn once; a later paint without a new one shows the
    // empty chart.
    m_shown = {std::move(m_cnrs), std::move(m_labels), std::move(m_outlines),
               std::move(m_fills), std::move(m_bands), std::move(m_signalNames)};
    m_paintPending = false;
    m_labels.clear();
    m_cnrs.clear();
    m_outlines.clear();
    m_fills.clear();
    m_bands.clear();
    m_signalNames.clear();
    m_barCount = 0;
    StaleShade::paint(m_painter, rect(), m_staleText);
    m_painter.end();
}

void bar_plot::drawBandLegend(QList<int> bands, int count)
{
    std::sort(bands.begin(), bands.end());
    const QFont legendFont(QStringLiteral("Arial"), 8, 50, false);
    m_painter.setFont(legendFont);
    for (int i = 0; i < bands.size(); ++i) {
        // The band's signals as the receiver named them.
        QStringList names;
        for (int e = 0; e < count; ++e) {
            const QString &name = m_signalNames.at(e);
            if (m_bands.at(e) == bands.at(i) && m_cnrs.at(e) != 0.0f && !names.contains(name))
                names.append(name);
        }
        const QRectF swatch = BarChart::legendSwatchRect(m_width, m_height, i);
        m_painter.setPen(QPen(Qt::black, 1));
        m_painter.setBrush(QColor(200, 200, 200));
        m_painter.drawRects(&swatch, 1);
        if (bandPattern(bands.at(i)) != Qt::NoBrush) {
            m_painter.setBrush(QBrush(kPatternColour, bandPattern(bands.at(i))));
            m_painter.drawRects(&swatch, 1);
        }
        const QRectF text = BarChart::legendTextRect(m_width, m_height, i);
        m_painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                           m_painter.fontMetrics().elidedText(names.join(QStringLiteral(", ")), Qt::ElideRight,
                                                              int(text.width())));
    }
}
