#ifndef ANALYSISCHARTS_H
#define ANALYSISCHARTS_H

#include <QString>

class LogAnalysis;
class SignalHistory;

// The PNG charts of a finished analysis, drawn by the history and accuracy
// views themselves without showing them: cnr-history.png,
// satellites.png and position-scatter.png (with the CEP circles) in
// `directory`. Needs a QApplication (the offscreen platform will do).
bool writeAnalysisCharts(LogAnalysis &analysis, SignalHistory &history, const QString &directory,
                         QString *error);

// `skyloupe --analyze ...`, called by main before any application object
// exists: the analysis runs in a QCoreApplication; only PNG charts make it
// a QApplication, on the offscreen platform, so no display is needed.
int analyzeMain(int argc, char *argv[]);

#endif // ANALYSISCHARTS_H
