// What each candidate plotting library costs the chart views, measured the
// same way for all three on the offscreen platform:
//   a. a time chart of six series of 36,000 points (10 Hz for an hour) into
//      a 1200 x 600 image, the whole hour and the last 5 minutes;
//   b. the live case: one point appended to each series, then a new image
//      (whole hour shown, and the last 5 minutes following the newest point);
//   c. a scatter of 36,000 east/north points with the CEP50 and CEP95 circles;
//   d. the library file, the Qt modules it pulls in beyond Widgets, and the
//      time the compiler takes over the headers a chart view includes;
//   e. a and b as the chart views draw: each series cut to two points per
//      pixel column (decimateMinMax) before it goes to the library.
// Every render is one image from the data as it stands; the figure is the
// median of RUNS (default 7; 20 for the live case). The images go to
// PNG_DIR (default ./chart-pngs) so their look can be judged.
//
//   bench_charts [RUNS] [PNG_DIR]
//
// Prints one table. Built only when all three libraries are installed.
#include "charts/seriesdecimation.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QVector>

#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <qcustomplot.h>

#include <qwt_date_scale_draw.h>
#include <qwt_date_scale_engine.h>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_renderer.h>
#include <qwt_plot_shapeitem.h>
#include <qwt_symbol.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>

#include <sys/resource.h>

namespace {

constexpr int SeriesCount = 6;
constexpr int Points = 36000;   // 10 Hz for one hour
constexpr double Step = 0.1;    // seconds
constexpr double LastMinutes = 300;
const QSize TimeSize(1200, 600);
const QSize ScatterSize(600, 600);

const QColor Colours[SeriesCount] = {
    QColor(100, 100, 255), QColor(255, 153, 0), QColor(97, 146, 0),
    QColor(153, 102, 51), QColor(242, 98, 0), QColor(216, 244, 78),
};

// A repeatable stream of numbers in [0, 1).
class Random
{
public:
    double next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(m_state >> 11) / 9007199254740992.0;
    }
    double gauss()
    {
        const double u = std::max(next(), 1e-12);
        return std::sqrt(-2 * std::log(u)) * std::cos(2 * M_PI * next());
    }

private:
    quint64 m_state = 1;
};

// An hour of top-4 CNR per constellation with slow swings, noise and a
// one-second drop every few minutes; an hour of positions about a point.
struct BenchData
{
    double start = 0;                 // UTC seconds since 1970
    QVector<double> times;            // shared by every series
    QVector<QVector<double>> values;  // SeriesCount series
    QVector<QPointF> scatter;         // east, north in metres
    double cep50 = 0;
    double cep95 = 0;

    double end() const { return times.last(); }
    double nextTime() const { return times.last() + Step; }
};

BenchData makeData()
{
    BenchData d;
    d.start = QDateTime(QDate(2024, 5, 1), QTime(12, 0), Qt::UTC).toMSecsSinceEpoch() / 1000.0;
    Random random;
    for (int i = 0; i < Points; ++i)
        d.times.append(d.start + i * Step);
    for (int s = 0; s < SeriesCount; ++s) {
        QVector<double> v;
        const double period = 600 + 137 * s;
        for (int i = 0; i < Points; ++i) {
            const double t = i * Step;
            double cnr = 30 + 2 * s + 6 * std::sin(2 * M_PI * t / period) + 1.5 * random.gauss();
            if (i % (2400 + 300 * s) < 10)
                cnr -= 15;
            v.append(cnr);
        }
        d.values.append(v);
    }
    QVector<double> radii;
    for (int i = 0; i < Points; ++i) {
        const QPointF p(0.3 + 1.2 * random.gauss(), -0.2 + 0.8 * random.gauss());
        d.scatter.append(p);
        radii.append(std::hypot(p.x() - 0.3, p.y() + 0.2));
    }
    std::sort(radii.begin(), radii.end());
    d.cep50 = radii.at(Points / 2);
    d.cep95 = radii.at(Points * 95 / 100);
    return d;
}

// One library behind the steps the benchmark times.
class Candidate
{
public:
    virtual ~Candidate() = default;
    virtual void buildTime(const BenchData &d) = 0;
    virtual void showRange(double from, double to) = 0;   // UTC seconds
    virtual void append(double time, const QVector<double> &values) = 0;
    virtual void replace(int series, const QVector<QPointF> &points) = 0;   // x: UTC seconds
    virtual QImage renderTime() = 0;
    virtual void buildScatter(const BenchData &d) = 0;
    virtual QImage renderScatter() = 0;
};

QImage blank(const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

QVector<QPointF> circle(QPointF centre, double radius)
{
    QVector<QPointF> points;
    for (int a = 0; a <= 360; a += 2)
        points.append(centre + radius * QPointF(std::cos(a * M_PI / 180), std::sin(a * M_PI / 180)));
    return points;
}

// Qt Charts: QLineSeries on a QDateTimeAxis (milliseconds, local time), the
// chart's scene rendered by its view.
class ChartsCandidate : public Candidate
{
public:
    void buildTime(const BenchData &d) override
    {
        auto *chart = new QtCharts::QChart;
        m_x = new QtCharts::QDateTimeAxis;
        m_x->setFormat(QStringLiteral("hh:mm:ss"));
        m_y = new QtCharts::QValueAxis;
        chart->addAxis(m_x, Qt::AlignBottom);
        chart->addAxis(m_y, Qt::AlignLeft);
        for (int s = 0; s < SeriesCount; ++s) {
            auto *series = new QtCharts::QLineSeries;
            series->setPen(QPen(Colours[s], 1));
            QVector<QPointF> points;
            for (int i = 0; i < d.times.size(); ++i)
                points.append(QPointF(d.times.at(i) * 1000, d.values.at(s).at(i)));
            series->replace(points);
            chart->addSeries(series);
            series->attachAxis(m_x);
            series->attachAxis(m_y);
            m_series.append(series);
        }
        m_y->setRange(0, 60);
        m_time.setChart(chart);
        m_time.setRenderHint(QPainter::Antialiasing);
        m_time.resize(TimeSize);
    }
    void showRange(double from, double to) override
    {
        m_x->setRange(QDateTime::fromMSecsSinceEpoch(qint64(from * 1000)),
                      QDateTime::fromMSecsSinceEpoch(qint64(to * 1000)));
    }
    void append(double time, const QVector<double> &values) override
    {
        for (int s = 0; s < SeriesCount; ++s)
            m_series.at(s)->append(time * 1000, values.at(s));
    }
    void replace(int series, const QVector<QPointF> &points) override
    {
        QVector<QPointF> ms;
        for (const QPointF &p : points)
            ms.append(QPointF(p.x() * 1000, p.y()));
        m_series.at(series)->replace(ms);
    }
    QImage renderTime() override { return render(m_time, TimeSize); }
    void buildScatter(const BenchData &d) override
    {
        auto *chart = new QtCharts::QChart;
        auto *points = new QtCharts::QScatterSeries;
        points->setMarkerSize(3);
        points->setPen(Qt::NoPen);
        points->setBrush(Colours[0]);
        points->replace(d.scatter);
        chart->addSeries(points);
        for (double r : {d.cep50, d.cep95}) {
            auto *ring = new QtCharts::QLineSeries;
            ring->setPen(QPen(Qt::black, 1.5));
            ring->replace(circle(QPointF(0.3, -0.2), r));
            chart->addSeries(ring);
        }
        chart->createDefaultAxes();
        chart->legend()->hide();
        for (auto *axis : chart->axes())
            axis->setRange(-5, 5);
        m_scatter.setChart(chart);
        m_scatter.setRenderHint(QPainter::Antialiasing);
        m_scatter.resize(ScatterSize);
    }
    QImage renderScatter() override { return render(m_scatter, ScatterSize); }

private:
    static QImage render(QtCharts::QChartView &view, const QSize &size)
    {
        QCoreApplication::sendPostedEvents();
        QImage image = blank(size);
        view.QWidget::render(&image);
        return image;
    }

    QtCharts::QChartView m_time;
    QtCharts::QChartView m_scatter;
    QtCharts::QDateTimeAxis *m_x = nullptr;
    QtCharts::QValueAxis *m_y = nullptr;
    QVector<QtCharts::QLineSeries *> m_series;
};

// QCustomPlot: QCPGraph (adaptive sampling is its default) on a date-time
// ticker in UTC, drawn by toPixmap as savePng does.
class CustomPlotCandidate : public Candidate
{
public:
    void buildTime(const BenchData &d) override
    {
        QSharedPointer<QCPAxisTickerDateTime> ticker(new QCPAxisTickerDateTime);
        ticker->setDateTimeFormat(QStringLiteral("hh:mm:ss"));
        ticker->setDateTimeSpec(Qt::UTC);
        m_time.xAxis->setTicker(ticker);
        for (int s = 0; s < SeriesCount; ++s) {
            QCPGraph *graph = m_time.addGraph();
            graph->setPen(QPen(Colours[s], 1));
            graph->setData(d.times, d.values.at(s), true);
        }
        m_time.yAxis->setRange(0, 60);
        m_time.resize(TimeSize);
    }
    void showRange(double from, double to) override { m_time.xAxis->setRange(from, to); }
    void append(double time, const QVector<double> &values) override
    {
        for (int s = 0; s < SeriesCount; ++s)
            m_time.graph(s)->addData(time, values.at(s));
    }
    void replace(int series, const QVector<QPointF> &points) override
    {
        QVector<double> keys, values;
        for (const QPointF &p : points) {
            keys.append(p.x());
            values.append(p.y());
        }
        m_time.graph(series)->setData(keys, values, true);
    }
    QImage renderTime() override
    {
        QCoreApplication::sendPostedEvents();
        return m_time.toPixmap(TimeSize.width(), TimeSize.height()).toImage();
    }
    void buildScatter(const BenchData &d) override
    {
        auto *points = new QCPCurve(m_scatter.xAxis, m_scatter.yAxis);
        points->setLineStyle(QCPCurve::lsNone);
        // A disc drawn once and copied for every point, as Qwt's symbol
        // cache does; drawing 36,000 antialiased discs takes ten times as long.
        QPixmap disc(5, 5);
        disc.fill(Qt::transparent);
        {
            QPainter painter(&disc);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(Colours[0]);
            painter.drawEllipse(QRectF(1, 1, 3, 3));
        }
        points->setScatterStyle(QCPScatterStyle(disc));
        QVector<double> east, north;
        for (const QPointF &p : d.scatter) {
            east.append(p.x());
            north.append(p.y());
        }
        points->setData(east, north);
        for (double r : {d.cep50, d.cep95}) {
            auto *ring = new QCPItemEllipse(&m_scatter);
            ring->setPen(QPen(Qt::black, 1.5));
            ring->topLeft->setCoords(0.3 - r, -0.2 + r);
            ring->bottomRight->setCoords(0.3 + r, -0.2 - r);
        }
        m_scatter.xAxis->setRange(-5, 5);
        m_scatter.yAxis->setRange(-5, 5);
        m_scatter.resize(ScatterSize);
    }
    QImage renderScatter() override
    {
        QCoreApplication::sendPostedEvents();
        return m_scatter.toPixmap(ScatterSize.width(), ScatterSize.height()).toImage();
    }

private:
    QCustomPlot m_time;
    QCustomPlot m_scatter;
};

// A curve's samples that grow at the end without being copied.
class GrowingSamples : public QwtPointSeriesData
{
public:
    void append(const QPointF &p)
    {
        d_samples.append(p);
        d_boundingRect = QRectF(0, 0, -1, -1);
    }
};

// Qwt: QwtPlotCurve on a date scale in UTC, drawn by QwtPlotRenderer.
class QwtCandidate : public Candidate
{
public:
    void buildTime(const BenchData &d) override
    {
        m_time.setAxisScaleDraw(QwtPlot::xBottom, new QwtDateScaleDraw(Qt::UTC));
        m_time.setAxisScaleEngine(QwtPlot::xBottom, new QwtDateScaleEngine(Qt::UTC));
        auto *draw = static_cast<QwtDateScaleDraw *>(m_time.axisScaleDraw(QwtPlot::xBottom));
        for (int level = QwtDate::Millisecond; level <= QwtDate::Year; ++level)
            draw->setDateFormat(static_cast<QwtDate::IntervalType>(level), QStringLiteral("hh:mm:ss"));
        (new QwtPlotGrid)->attach(&m_time);
        for (int s = 0; s < SeriesCount; ++s) {
            auto *curve = new QwtPlotCurve;
            curve->setPen(QPen(Colours[s], 1));
            curve->setRenderHint(QwtPlotItem::RenderAntialiased, true);
            auto *samples = new GrowingSamples;
            for (int i = 0; i < d.times.size(); ++i)
                samples->append(QPointF(d.times.at(i) * 1000, d.values.at(s).at(i)));
            curve->setData(samples);
            curve->attach(&m_time);
            m_samples.append(samples);
        }
        m_time.setAxisScale(QwtPlot::yLeft, 0, 60);
        m_time.resize(TimeSize);
    }
    void showRange(double from, double to) override
    {
        m_time.setAxisScale(QwtPlot::xBottom, from * 1000, to * 1000);
    }
    void append(double time, const QVector<double> &values) override
    {
        for (int s = 0; s < SeriesCount; ++s)
            m_samples.at(s)->append(QPointF(time * 1000, values.at(s)));
    }
    void replace(int series, const QVector<QPointF> &points) override
    {
        QVector<QPointF> ms;
        for (const QPointF &p : points)
            ms.append(QPointF(p.x() * 1000, p.y()));
        m_samples.at(series)->setSamples(ms);
    }
    QImage renderTime() override { return render(m_time, TimeSize); }
    void buildScatter(const BenchData &d) override
    {
        auto *points = new QwtPlotCurve;
        points->setStyle(QwtPlotCurve::NoCurve);
        points->setSymbol(new QwtSymbol(QwtSymbol::Ellipse, Colours[0], Qt::NoPen, QSize(3, 3)));
        points->setRenderHint(QwtPlotItem::RenderAntialiased, true);
        points->setSamples(d.scatter);
        points->attach(&m_scatter);
        for (double r : {d.cep50, d.cep95}) {
            auto *ring = new QwtPlotShapeItem;
            ring->setPen(QPen(Qt::black, 1.5));
            ring->setRenderHint(QwtPlotItem::RenderAntialiased, true);
            QPainterPath path;
            path.addEllipse(QPointF(0.3, -0.2), r, r);
            ring->setShape(path);
            ring->setZ(points->z() + 1);
            ring->attach(&m_scatter);
        }
        m_scatter.setAxisScale(QwtPlot::xBottom, -5, 5);
        m_scatter.setAxisScale(QwtPlot::yLeft, -5, 5);
        m_scatter.resize(ScatterSize);
    }
    QImage renderScatter() override { return render(m_scatter, ScatterSize); }

private:
    static QImage render(QwtPlot &plot, const QSize &size)
    {
        QCoreApplication::sendPostedEvents();
        plot.updateAxes();
        QImage image = blank(size);
        QPainter painter(&image);
        QwtPlotRenderer().render(&plot, &painter, QRectF(QPointF(0, 0), size));
        return image;
    }

    QwtPlot m_time;
    QwtPlot m_scatter;
    QVector<GrowingSamples *> m_samples;   // owned by their curves
};

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.at(v.size() / 2);
}

// Wall time and the process's processor time, in milliseconds. The machine
// is shared, so the processor time is the steadier of the two.
struct Cost
{
    double wall = 0;
    double cpu = 0;
};

double cpuMs(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

Cost timed(const std::function<void()> &work, int who = RUSAGE_SELF)
{
    QElapsedTimer timer;
    const double cpu = cpuMs(who);
    timer.start();
    work();
    return {timer.nsecsElapsed() / 1e6, cpuMs(who) - cpu};
}

Cost medianOf(int runs, const std::function<void()> &work, int who = RUSAGE_SELF)
{
    QVector<double> wall, cpu;
    for (int i = 0; i < runs; ++i) {
        const Cost c = timed(work, who);
        wall.append(c.wall);
        cpu.append(c.cpu);
    }
    return {median(wall), median(cpu)};
}

// The library file and the size of the Qt modules it needs beyond Core,
// Gui and Widgets, as the dynamic loader resolves them.
struct Footprint
{
    double libraryKb = 0;
    double extraQtKb = 0;
    QStringList extraQt;
};

Footprint footprint(const QString &library)
{
    Footprint f;
    f.libraryKb = QFileInfo(QFileInfo(library).canonicalFilePath()).size() / 1024.0;
    QProcess ldd;
    ldd.start(QStringLiteral("ldd"), {library});
    ldd.waitForFinished();
    const QRegularExpression line(QStringLiteral("(libQt5(\\w+)\\.so\\S*) => (\\S+)"));
    auto it = line.globalMatch(QString::fromLocal8Bit(ldd.readAllStandardOutput()));
    while (it.hasNext()) {
        const auto m = it.next();
        if (QStringList{"Core", "Gui", "Widgets"}.contains(m.captured(2)))
            continue;
        f.extraQt.append(m.captured(2));
        f.extraQtKb += QFileInfo(QFileInfo(m.captured(3)).canonicalFilePath()).size() / 1024.0;
    }
    return f;
}

// Milliseconds the compiler spends on a file that only includes HEADERS
// (median of five), with the bench's own include directories.
Cost headerCost(const QString &headers)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("probe.cpp"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return {};
    out.write(headers.toUtf8());
    out.close();
    QStringList args{"-std=c++17", "-fPIC", "-fsyntax-only", file};
    for (const QString &inc : QString::fromUtf8(BENCH_INCLUDES).split(':', Qt::SkipEmptyParts))
        args.prepend("-I" + inc);
    return medianOf(5, [&] {
        QProcess cc;
        cc.start(QStringLiteral(BENCH_CXX), args);
        cc.waitForFinished(60000);
        if (cc.exitCode() != 0)
            std::fprintf(stderr, "bench_charts: probe failed: %s\n", cc.readAllStandardError().constData());
    }, RUSAGE_CHILDREN);
}

struct Row
{
    Row(const char *name, std::unique_ptr<Candidate> candidate, const QString &library,
        const QString &headers, const char *licence)
        : name(name), candidate(std::move(candidate)), library(library), headers(headers), licence(licence)
    {
    }

    const char *name;
    std::unique_ptr<Candidate> candidate;
    QString library;
    QString headers;
    const char *licence;
    Cost full, last5, liveAll, live5, decimatedFull, decimatedLive, scatter, firstBuild, header;
    Footprint foot;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    const QString pngDir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("chart-pngs");
    QDir().mkpath(pngDir);
    QApplication::setFont(QFont(QStringLiteral("Arial"), 9));

    const BenchData data = makeData();
    Row rows[] = {
        Row("Qt Charts 5.15.8", std::make_unique<ChartsCandidate>(), QStringLiteral(BENCH_LIB_CHARTS),
         QStringLiteral("#include <QtCharts/QChartView>\n#include <QtCharts/QLineSeries>\n"
                        "#include <QtCharts/QDateTimeAxis>\n#include <QtCharts/QValueAxis>\n"),
         "GPL-3 (Debian build)"),
        Row("QCustomPlot 2.1.0", std::make_unique<CustomPlotCandidate>(), QStringLiteral(BENCH_LIB_QCUSTOMPLOT),
         QStringLiteral("#include <qcustomplot.h>\n"), "GPL-3+"),
        Row("Qwt 6.1.4", std::make_unique<QwtCandidate>(), QStringLiteral(BENCH_LIB_QWT),
         QStringLiteral("#include <qwt_plot.h>\n#include <qwt_plot_curve.h>\n#include <qwt_date_scale_draw.h>\n"
                        "#include <qwt_date_scale_engine.h>\n#include <qwt_plot_renderer.h>\n"
                        "#include <qwt_plot_magnifier.h>\n#include <qwt_plot_panner.h>\n#include <qwt_plot_picker.h>\n"),
         "LGPL-2.1 with Qwt exceptions"),
    };
    const int liveRuns = std::max(runs, 20);
    for (Row &row : rows) {
        std::fprintf(stderr, "bench_charts: %s\n", row.name);
        Candidate &c = *row.candidate;
        const QString stem = pngDir + '/' + QString::fromLatin1(row.name).section(' ', 0, -2).remove(' ');
        row.firstBuild = timed([&] {
            c.buildTime(data);
            c.showRange(data.start, data.end());
            c.renderTime();
        });
        QImage image;
        row.full = medianOf(runs, [&] { image = c.renderTime(); });
        image.save(stem + "-hour.png");
        c.showRange(data.end() - LastMinutes, data.end());
        row.last5 = medianOf(runs, [&] { image = c.renderTime(); });
        image.save(stem + "-last5min.png");

        double t = data.nextTime();
        int k = 0;
        auto appendOne = [&] {
            QVector<double> v;
            for (int s = 0; s < SeriesCount; ++s)
                v.append(data.values.at(s).at(k % Points));
            c.append(t, v);
            ++k;
        };
        c.showRange(data.start, t);
        row.liveAll = medianOf(liveRuns, [&] {
            appendOne();
            c.showRange(data.start, t);
            image = c.renderTime();
            t += Step;
        });
        row.live5 = medianOf(liveRuns, [&] {
            appendOne();
            c.showRange(t - LastMinutes, t);
            image = c.renderTime();
            t += Step;
        });
        image.save(stem + "-live5min.png");

        // As the chart views draw: the whole series kept aside, and at most
        // two points per pixel column handed to the library.
        QVector<QVector<QPointF>> kept(SeriesCount);
        for (int s = 0; s < SeriesCount; ++s)
            for (int i = 0; i < Points; ++i)
                kept[s].append(QPointF(data.times.at(i), data.values.at(s).at(i)));
        t = data.nextTime();
        auto drawDecimated = [&] {
            for (int s = 0; s < SeriesCount; ++s)
                c.replace(s, decimateMinMax(kept.at(s), data.start, t, TimeSize.width()));
            c.showRange(data.start, t);
            image = c.renderTime();
        };
        row.decimatedFull = medianOf(runs, drawDecimated);
        image.save(stem + "-hour-decimated.png");
        row.decimatedLive = medianOf(liveRuns, [&] {
            for (int s = 0; s < SeriesCount; ++s)
                kept[s].append(QPointF(t, data.values.at(s).at(k++ % Points)));
            t += Step;
            drawDecimated();
        });

        c.buildScatter(data);
        row.scatter = medianOf(runs, [&] { image = c.renderScatter(); });
        image.save(stem + "-scatter.png");
        row.foot = footprint(row.library);
        row.header = headerCost(row.headers);
    }
    const Cost baseline = headerCost(QStringLiteral("#include <QWidget>\n"));

    std::printf("| figure | %s | %s | %s |\n|---|---|---|---|\n", rows[0].name, rows[1].name, rows[2].name);
    auto print = [&](const char *label, const std::function<QString(const Row &)> &cell) {
        std::printf("| %s | %s | %s | %s |\n", label, qPrintable(cell(rows[0])),
                    qPrintable(cell(rows[1])), qPrintable(cell(rows[2])));
    };
    auto number = [](double v) { return QString::number(v, 'f', v < 10 ? 2 : 1); };
    auto ms = [&](const Cost &c) { return number(c.wall) + " / " + number(c.cpu) + " ms"; };
    print("a. first build + render, 6 x 36,000 points", [&](const Row &r) { return ms(r.firstBuild); });
    print("a. render, whole hour (median)", [&](const Row &r) { return ms(r.full); });
    print("a. render, last 5 min (median)", [&](const Row &r) { return ms(r.last5); });
    print("b. append 6 points + render, whole hour", [&](const Row &r) { return ms(r.liveAll); });
    print("b. append 6 points + render, last 5 min", [&](const Row &r) { return ms(r.live5); });
    print("e. as the views draw: whole hour cut to 1200 columns, render", [&](const Row &r) { return ms(r.decimatedFull); });
    print("e. as the views draw: append, cut, render", [&](const Row &r) { return ms(r.decimatedLive); });
    print("c. scatter 36,000 points + 2 circles", [&](const Row &r) { return ms(r.scatter); });
    print("d. library file", [](const Row &r) { return QString::number(r.foot.libraryKb, 'f', 0) + " KB"; });
    print("d. extra Qt modules", [](const Row &r) {
        return (r.foot.extraQt.isEmpty() ? QStringLiteral("none") : r.foot.extraQt.join('+')) + ' '
               + QString::number(r.foot.extraQtKb, 'f', 0) + " KB";
    });
    print("d. headers of a chart view, compiler processor time", [&](const Row &r) {
        return QString::number(r.header.cpu / 1000, 'f', 1) + " s";
    });
    print("d. licence", [](const Row &r) { return QString::fromLatin1(r.licence); });
    std::printf("(times: median wall / processor ms; runs %d, live %d; <QWidget> alone compiles in %.1f s; "
                "images in %s)\n", runs, liveRuns, baseline.cpu / 1000, qPrintable(pngDir));
    return 0;
}
