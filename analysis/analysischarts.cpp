#include "analysis/analysischarts.h"

#include "accuracy/accuracyview.h"
#include "analysis/analyzecommand.h"
#include "analysis/loganalysis.h"
#include "charts/chartfile.h"
#include "charts/timechart.h"
#include "history/signalhistoryview.h"
#include "map/mappainter.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

namespace {

const QSize TimeChartSize(1200, 500);
const QSize ScatterSize(800, 800);

// Lays a chart that is never shown out at the size it is drawn at, so the
// views feed and scale it for that size.
void sizeChart(QwtPlot *plot, const QSize &size)
{
    plot->resize(size);
    plot->updateLayout();
}

} // namespace

bool writeAnalysisCharts(LogAnalysis &analysis, SignalHistory &history, const QString &directory, QString *error)
{
    SignalHistoryView signalView(&history);
    sizeChart(signalView.cnrChart(), TimeChartSize);
    sizeChart(signalView.satelliteChart(), TimeChartSize);
    signalView.setWindowSeconds(0);
    signalView.refresh();
    AccuracyView accuracyView(&analysis.positions());
    sizeChart(accuracyView.scatterChart(), ScatterSize);
    accuracyView.refresh();

    const struct { QwtPlot *plot; const char *file; QSize size; } charts[] = {
        {signalView.cnrChart(), "cnr-history.png", TimeChartSize},
        {signalView.satelliteChart(), "satellites.png", TimeChartSize},
        {accuracyView.scatterChart(), "position-scatter.png", ScatterSize},
    };
    for (const auto &chart : charts) {
        const QString file = QDir(directory).filePath(QString::fromLatin1(chart.file));
        if (!renderChartToPng(chart.plot, file, chart.size)) {
            *error = QStringLiteral("cannot write %1").arg(file);
            return false;
        }
    }
    return true;
}

int analyzeMain(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    AnalyzeCommand::Options options;
    QString message;
    if (!AnalyzeCommand::parse(arguments, &options, &message)) {
        std::fprintf(stderr, "skyloupe: %s\nUsage: skyloupe --analyze LOG [--reference LAT,LON,H] [--out DIR] "
                             "[--format json,csv,png,gpx,kml]\n", message.toLocal8Bit().constData());
        return AnalyzeCommand::Usage;
    }
    if (options.png || options.gpx || options.kml) {
        // The charts and the track draw into images: never a window, so no
        // display.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        return AnalyzeCommand::run(options, options.png ? writeAnalysisCharts : AnalyzeCommand::ChartWriter(),
                                   writeTrackPicture);
    }
    QCoreApplication app(argc, argv);
    return AnalyzeCommand::run(options);
}
