#ifndef ANALYZECOMMAND_H
#define ANALYZECOMMAND_H

#include "accuracy/positionstatistics.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class LogAnalysis;
class SignalHistory;
class Track;

// `skyloupe --analyze LOG [--reference LAT,LON,H] [--out DIR]
// [--format json,csv,png,gpx,kml]`: a recorded log read without a window.
namespace AnalyzeCommand {

// Exit statuses besides 0.
enum Status { Usage = 1, Unreadable = 2, NoNmea = 3 };
// A log is read in pieces of this many bytes.
constexpr qint64 PieceBytes = 1 << 20;
// Says `message` on standard error and returns `status`.
int fail(int status, const QString &message);

struct Options
{
    QString log;
    QString outDirectory;   // default: beside the log, "<name>_analysis"
    std::optional<GeodeticPosition> reference;
    bool json = true;
    bool csv = true;
    bool png = false;
    bool gpx = false;   // track.gpx (and track.png)
    bool kml = false;   // track.kml (and track.png)
    // With --compare: the reference's log; LOG is then the receiver under
    // test, and the comparison is written instead of the analysis.
    QString compareWith;
};

// True when the command line asks for an analysis.
bool isRequested(int argc, char *argv[]);
// Reads the command line (program name first); false with a message for
// anything it cannot use.
bool parse(const QStringList &arguments, Options *options, QString *message);
// "log/1207_101500.nma" -> "log/1207_101500_analysis".
QString defaultOutDirectory(const QString &log);

// Draws the charts of a finished analysis into a directory; false with the
// reason when a file cannot be written. Linked by the window's side, which
// has the plotting library.
using ChartWriter = std::function<bool(LogAnalysis &analysis, SignalHistory &history, const QString &directory,
                                       QString *error)>;

// Draws the track on the map's offline background into a PNG file; false
// with the reason when it cannot be written.
using TrackPictureWriter = std::function<bool(const Track &track, const QString &file, QString *error)>;

// Reads the log in pieces of 1 MB, writes what the options ask for and the
// text summary to standard output; the exit status, with a message on
// standard error for any but 0.
int run(const Options &options, const ChartWriter &charts = ChartWriter(),
        const TrackPictureWriter &trackPicture = TrackPictureWriter());

} // namespace AnalyzeCommand

#endif // ANALYZECOMMAND_H
