#include "accuracy/accuracyview.h"

#include "charts/chartexport.h"
#include "charts/chartfeed.h"
#include "charts/chartlook.h"
#include "charts/chartvalues.h"
#include "charts/refreshpacer.h"
#include "charts/timechart.h"

#include <qwt_legend.h>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_draw.h>
#include <qwt_scale_widget.h>
#include <qwt_symbol.h>
#include <qwt_text.h>

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace {

constexpr int RefreshMs = 1000;
constexpr double Everything = std::numeric_limits<double>::max();

QColor kindColour(FixKind kind)
{
    return QColor(QRgb(fixKindRgb(kind)));
}

QVector<QPointF> circle(double radius)
{
    QVector<QPointF> points;
    if (!(radius > 0))
        return points;
    for (int i = 0; i <= 128; ++i) {
        const double a = 2 * M_PI * i / 128;
        points.append(QPointF(radius * std::cos(a), radius * std::sin(a)));
    }
    return points;
}

QString metres(double value)
{
    return std::isfinite(value) ? QStringLiteral("%1 m").arg(value, 0, 'f', value < 10 ? 2 : 1)
                                : QStringLiteral("-");
}

} // namespace

AccuracyView::AccuracyView(PositionHistory *history, QWidget *parent)
    : QWidget(parent), m_history(history), m_scatter(new QwtPlot(this)), m_error(new TimeChart(this)),
      m_reference(new QLineEdit(this))
{
    ChartLook::apply(m_scatter);
    m_scatter->setAxisTitle(QwtPlot::xBottom, ChartLook::axisTitle(tr("East (m)")));
    m_scatter->setAxisTitle(QwtPlot::yLeft, ChartLook::axisTitle(tr("North (m)")));
    m_scatter->insertLegend(ChartLook::legend(), QwtPlot::TopLegend);
    for (int k = 0; k < FixKindCount; ++k) {
        auto *points = new QwtPlotCurve(fixKindName(FixKind(k)));
        points->setStyle(QwtPlotCurve::NoCurve);
        // Half transparent, so where fixes crowd reads darker.
        QColor colour = kindColour(FixKind(k));
        colour.setAlpha(150);
        points->setSymbol(new QwtSymbol(QwtSymbol::Ellipse, QBrush(colour), Qt::NoPen, QSize(5, 5)));
        // Points that fall on the same pixel are drawn once: a day of fixes
        // costs about what a screenful does.
        points->setPaintAttribute(QwtPlotCurve::FilterPoints, true);
        points->setLegendAttribute(QwtPlotCurve::LegendShowSymbol);
        points->setItemAttribute(QwtPlotItem::Legend, false);
        points->attach(m_scatter);
        m_points[k] = points;
    }
    m_cep50 = new QwtPlotCurve(tr("CEP50"));
    m_cep50->setPen(QPen(QColor(40, 40, 40), 1.5));
    m_cep95 = new QwtPlotCurve(tr("CEP95"));
    m_cep95->setPen(QPen(QColor(40, 40, 40), 1.5, Qt::DashLine));
    for (QwtPlotCurve *c : {m_cep50, m_cep95}) {
        c->setRenderHint(QwtPlotItem::RenderAntialiased, true);
        c->setLegendAttribute(QwtPlotCurve::LegendShowLine);
        c->setLegendIconSize(QSize(16, 8));
        c->attach(m_scatter);
    }
    auto *centre = new QwtPlotMarker;
    centre->setSymbol(new QwtSymbol(QwtSymbol::Cross, QBrush(), QPen(Qt::black, 1.5), QSize(13, 13)));
    centre->setValue(0, 0);
    centre->attach(m_scatter);
    // The canvas keeps its size whatever labels the scales end in: the
    // scales follow the canvas's size (a metre as long east as north), and
    // a canvas that followed the labels would resize again with them.
    m_scatter->axisWidget(QwtPlot::yLeft)->setMinBorderDist(12, 12);
    m_scatter->axisWidget(QwtPlot::xBottom)->setMinBorderDist(24, 24);
    m_scatter->axisScaleDraw(QwtPlot::yLeft)->setMinimumExtent(40);

    m_error->setValueTitle(tr("Error (m)"));
    m_error->addSeries(tr("Horizontal"), ChartLook::seriesColour(0));
    m_error->addSeries(tr("Vertical"), ChartLook::seriesColour(1));

    m_reference->setPlaceholderText(tr("lat, lon[, alt]; empty: the mean"));
    m_reference->setToolTip(tr("A surveyed position the figures are measured from, in decimal degrees"));
    connect(m_reference, &QLineEdit::editingFinished, this, [this] {
        const bool read = setReferenceText(m_reference->text());
        m_reference->setStyleSheet(read ? QString() : QStringLiteral("QLineEdit{color:#C00000}"));
    });
    auto *useMean = new QPushButton(tr("Mean as reference"), this);
    useMean->setToolTip(tr("Keep the present mean as the reference for the next sample sets"));
    connect(useMean, &QPushButton::clicked, this, [this] {
        if (const std::optional<GeodeticPosition> mean = m_history->meanPosition()) {
            m_reference->setText(positionText(*mean));
            setReferenceText(m_reference->text());
        }
    });
    auto *reset = new QPushButton(tr("Reset"), this);
    reset->setToolTip(tr("Start a new sample set"));
    connect(reset, &QPushButton::clicked, history, &PositionHistory::reset);

    auto *exportButton = new QToolButton(this);
    exportButton->setText(tr("Export"));
    exportButton->setPopupMode(QToolButton::InstantPopup);
    auto *exportMenu = new QMenu(exportButton);
    exportMenu->addAction(tr("Scatter as PNG..."), this, [this] {
        askToSaveChartImage(this, m_scatter, tr("position scatter chart"), QStringLiteral("position-scatter.png"));
    });
    exportMenu->addAction(tr("Scatter data as CSV..."), this, [this] {
        askToSaveChartData(this, scatterCsv(), tr("position scatter chart"), QStringLiteral("position-scatter.csv"));
    });
    exportMenu->addAction(tr("Error chart as PNG..."), this, [this] {
        askToSaveChartImage(this, m_error, tr("position error chart"), QStringLiteral("position-error.png"));
    });
    exportMenu->addAction(tr("Error data as CSV..."), this, [this] {
        askToSaveChartData(this, errorCsv(), tr("position error chart"), QStringLiteral("position-error.csv"));
    });
    exportButton->setMenu(exportMenu);

    auto *bar = new QHBoxLayout;
    bar->addWidget(new QLabel(tr("Reference"), this));
    bar->addWidget(m_reference, 1);
    bar->addWidget(useMean);
    bar->addWidget(reset);
    bar->addWidget(exportButton);
    auto *middle = new QHBoxLayout;
    middle->addWidget(m_scatter, 3);
    middle->addWidget(buildFigures(), 2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addLayout(middle, 3);
    layout->addWidget(m_error, 2);

    m_pacer = new RefreshPacer(this, [this] { refresh(); }, RefreshMs);
    m_pacer->followChart(m_error);
    // A resized scatter gets its scales at the next refresh, so a layout
    // that answers them with another size costs at most one a refresh.
    m_pacer->followChart(m_scatter);
    ChartLook::paintLive(m_error);
    ChartLook::paintLive(m_scatter);
    // Small enough for a dock beside the window's own layout.
    m_scatter->setMinimumSize(220, 200);
    m_error->setMinimumSize(240, 160);
    connect(history, &PositionHistory::changed, m_pacer, &RefreshPacer::request);
}

QWidget *AccuracyView::buildFigures()
{
    auto *figures = new QWidget(this);
    auto *form = new QFormLayout(figures);
    auto value = [figures] {
        auto *label = new QLabel(QStringLiteral("-"), figures);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return label;
    };
    m_count = value();
    m_cep50Text = value();
    m_cep95Text = value();
    m_twoDrmsText = value();
    m_verticalText = value();
    m_rtkFixedText = value();
    m_centreText = value();
    m_centreText->setWordWrap(true);
    QFont large = font();
    large.setPointSizeF(large.pointSizeF() * 1.4);
    large.setBold(true);
    for (QLabel *label : {m_cep50Text, m_cep95Text, m_twoDrmsText, m_verticalText})
        label->setFont(large);
    form->addRow(tr("Fixes"), m_count);
    form->addRow(tr("CEP50"), m_cep50Text);
    form->addRow(tr("CEP95"), m_cep95Text);
    form->addRow(tr("2DRMS"), m_twoDrmsText);
    form->addRow(tr("Vertical spread (RMS)"), m_verticalText);
    form->addRow(tr("RTK fixed alone"), m_rtkFixedText);
    form->addRow(tr("Centre"), m_centreText);
    return figures;
}

bool AccuracyView::setReferenceText(const QString &text)
{
    if (text.trimmed().isEmpty()) {
        m_history->setReference(std::nullopt);
        return true;
    }
    const std::optional<GeodeticPosition> reference = readPosition(text);
    if (reference)
        m_history->setReference(reference);
    return reference.has_value();
}

void AccuracyView::refresh()
{
    const PositionSpread spread = m_history->spread();
    double radius = 0;
    for (int k = 0; k < FixKindCount; ++k) {
        const QVector<QPointF> points = m_history->scatter(FixKind(k));
        for (const QPointF &p : points)
            radius = std::max({radius, std::fabs(p.x()), std::fabs(p.y())});
        m_points[k]->setSamples(points);
        // The legend lists the kinds there are.
        m_points[k]->setItemAttribute(QwtPlotItem::Legend, !points.isEmpty());
    }
    m_cep50->setSamples(circle(spread.cep50));
    m_cep95->setSamples(circle(spread.cep95));
    if (std::isfinite(spread.cep95))
        radius = std::max(radius, spread.cep95);
    m_scatterRadius = std::max(radius * 1.1, 0.5);
    scaleScatter();
    m_scatter->replot();
    showFigures();

    feedTimeChart(m_error, m_history->firstTime(), m_history->lastTime(), [this](int s, double from, double to) {
        return s == 0 ? m_history->horizontalError(from, to) : m_history->verticalError(from, to);
    });
}

void AccuracyView::showFigures()
{
    const PositionSpread spread = m_history->spread();
    const int others = m_history->pointCount() - m_history->fixCount();
    QString count = QString::number(spread.count);
    if (spread.count > 0)
        count += tr(" since %1 UTC").arg(utcTimeText(m_history->firstTime()).left(8));
    if (others > 0)
        count += tr("\n(%1 positions without a fix not counted)").arg(others);
    m_count->setText(count);
    m_cep50Text->setText(metres(spread.cep50));
    m_cep95Text->setText(metres(spread.cep95));
    m_twoDrmsText->setText(metres(spread.twoDrms));
    m_verticalText->setText(metres(spread.verticalSpread));
    const PositionSpread fixed = m_history->spreadOf(FixKind::RtkFixed);
    m_rtkFixedText->setText(fixed.count == 0 ? QStringLiteral("-")
                                             : tr("CEP50 %1, CEP95 %2 (%3 fixes)")
                                                   .arg(metres(fixed.cep50), metres(fixed.cep95))
                                                   .arg(fixed.count));
    const std::optional<GeodeticPosition> centre = m_history->centre();
    if (!centre) {
        m_centreText->setText(QStringLiteral("-"));
        return;
    }
    QString text = (m_history->reference() ? tr("Reference") : tr("Mean of the fixes"))
                   + QStringLiteral("\n%1, %2").arg(centre->latitude, 0, 'f', 7).arg(centre->longitude, 0, 'f', 7);
    if (std::isfinite(centre->height))
        text += tr("\naltitude %1 m").arg(centre->height, 0, 'f', 2);
    m_centreText->setText(text);
}

void AccuracyView::scaleScatter()
{
    // The shorter side shows the radius both ways; the longer one more.
    const QSize canvas = m_scatter->canvas()->size();
    const double side = std::max(1, std::min(canvas.width(), canvas.height()));
    m_scatter->setAxisScale(QwtPlot::xBottom, -m_scatterRadius * canvas.width() / side,
                            m_scatterRadius * canvas.width() / side);
    m_scatter->setAxisScale(QwtPlot::yLeft, -m_scatterRadius * canvas.height() / side,
                            m_scatterRadius * canvas.height() / side);
}

QByteArray AccuracyView::scatterCsv() const
{
    QList<CsvSeries> series;
    for (int k = 0; k < FixKindCount; ++k) {
        const QVector<QPointF> points = m_history->scatter(FixKind(k));
        if (!points.isEmpty())
            series.append({fixKindName(FixKind(k)), points});
    }
    return chartCsv(series, tr("east (m)"), tr("north (m)"), false);
}

QByteArray AccuracyView::errorCsv() const
{
    return chartCsv({{tr("horizontal"), m_history->horizontalError(-Everything, Everything)},
                     {tr("vertical"), m_history->verticalError(-Everything, Everything)}},
                    tr("time (UTC)"), tr("error (m)"), true);
}
