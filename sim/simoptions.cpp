#include "sim/simoptions.h"

#include <QCommandLineParser>

namespace {

const char *const Description =
    "A simulated multi-constellation GNSS receiver on a pseudo-terminal.\n"
    "It prints the serial line's path as the first line of standard output,\n"
    "then speaks NMEA 0183 4.10 on it and answers the $PMTK605 and $PAIR\n"
    "commands. Every command received is logged to standard error as\n"
    "\"<UTC time> RX <command> <ok|bad-checksum>\"; replies as \"... TX ...\".\n"
    "\n"
    "Examples:\n"
    "  skyloupe-sim --seed 7 --rate 10\n"
    "  skyloupe-sim --link /tmp/gnss0 & skyloupe --port /tmp/gnss0 --connect\n"
    "  skyloupe-sim --replay drive.nma --speed 4 --loop\n"
    "  skyloupe-sim --garbage 0.05 --chunk 7 --truth truth.jsonl";

} // namespace

SimParse parseSimOptions(const QStringList &arguments, SimOptions *o, QString *message)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(Description));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help. Example: --help"));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Shows the version. Example: --version"));
    const QCommandLineOption rate(QStringLiteral("rate"),
        QStringLiteral("Epochs a second: 1, 5 or 10 (default 1). Example: --rate 10"), QStringLiteral("HZ"));
    const QCommandLineOption seed(QStringLiteral("seed"),
        QStringLiteral("Seed of the sky and of the faults; the same seed gives the same output (default 1). "
                       "Example: --seed 42"), QStringLiteral("N"));
    const QCommandLineOption start(QStringLiteral("start"),
        QStringLiteral("UTC time of the first epoch, ISO 8601, or \"now\" (default 2024-06-01T03:00:00Z). "
                       "Example: --start 2025-01-15T08:30:00Z"), QStringLiteral("TIME"));
    const QCommandLineOption ttff(QStringLiteral("ttff"),
        QStringLiteral("Seconds from each restart to the first fix (defaults hot=2,warm=20,cold=30,full=35); "
                       "low:high draws each restart's time uniformly from that spread with the seed. TTFF is "
                       "measured from the moment the restart command is received to the first epoch with a fix "
                       "(GGA quality 1, RMC status A, GSA fix type 3; before it quality 0, status V, fix type 1): "
                       "the receiver restarts its epoch schedule so that epoch is sent exactly then. With --truth, "
                       "each restart adds a line {\"restart\":KIND,\"received\":UTC,\"ttff\":S,\"firstFix\":UTC} "
                       "in the receiver's UTC. Example: --ttff hot=1,cold=25:35"), QStringLiteral("LIST"));
    const QCommandLineOption signalCount(QStringLiteral("signals"),
        QStringLiteral("Bands per satellite: 1 (default) or 2, dual-band as NMEA 0183 4.11 has it: after each "
                       "system's GSV sequence, one of its second band with that band's signal ID (GPS and QZSS "
                       "L5: 8, Galileo E5a: 1, BeiDou B2a: 5), 2 to 6 dB weaker. GLONASS and SBAS stay "
                       "single-band, and about a quarter of the satellites lack a second band. "
                       "Example: --signals 2 --truth t.jsonl"),
        QStringLiteral("N"));
    const QCommandLineOption positionNoise(QStringLiteral("position-noise"),
        QStringLiteral("White Gaussian noise with this standard deviation in metres on east, north and up, new "
                       "each epoch, in place of the default wander of about a metre; the truth's \"site\" is the "
                       "position without noise. Example: --position-noise 2.5"), QStringLiteral("SIGMA_M"));
    const QCommandLineOption drive(QStringLiteral("drive"),
        QStringLiteral("Drive round a 3.6 km loop east of the site at 50 km/h, losing the fix for 12 s each lap "
                       "(an underpass). Example: --drive --rate 10"));
    const QCommandLineOption cnrOffset(QStringLiteral("cnr-offset"),
        QStringLiteral("Adds this many dB (whole, may be negative) to every CNR sent, of every band; a tracked "
                       "signal stays at 1 or above, an untracked one at 0. Example: --cnr-offset -3"),
        QStringLiteral("DB"));
    const QCommandLineOption replay(QStringLiteral("replay"),
        QStringLiteral("Sends a recorded NMEA log instead, epoch by epoch at the pace of its UTC times, "
                       "from when a program opens the line. "
                       "Example: --replay capture.nma"), QStringLiteral("FILE"));
    const QCommandLineOption speed(QStringLiteral("speed"),
        QStringLiteral("Replay pace factor, above 1 faster (default 1). Example: --speed 2.5"), QStringLiteral("F"));
    const QCommandLineOption loop(QStringLiteral("loop"),
        QStringLiteral("Starts the replay again at its end. Example: --replay capture.nma --loop"));
    const QCommandLineOption nmea(QStringLiteral("nmea"),
        QStringLiteral("Sentence version: 4 (4.10, default) or 3 (GSA without system ID, GSV without signal ID). "
                       "Example: --nmea 3"), QStringLiteral("VERSION"));
    const QCommandLineOption lfOnly(QStringLiteral("lf-only"),
        QStringLiteral("Ends lines with LF alone instead of CR LF. Example: --lf-only"));
    const QCommandLineOption chunk(QStringLiteral("chunk"),
        QStringLiteral("Splits writes at random points into pieces of at most N bytes, a millisecond apart. "
                       "Example: --chunk 16"), QStringLiteral("N"));
    const QCommandLineOption garbage(QStringLiteral("garbage"),
        QStringLiteral("Corrupts or cuts this share of the lines (0 to 1). Example: --garbage 0.05"), QStringLiteral("P"));
    const QCommandLineOption hangup(QStringLiteral("hangup-after"),
        QStringLiteral("Closes the line after S seconds, as an unplugged USB receiver does. Example: --hangup-after 5"),
        QStringLiteral("S"));
    const QCommandLineOption noise(QStringLiteral("baud-noise"),
        QStringLiteral("Sends only noise, as a receiver at another baud rate seems to; commands are not understood. "
                       "Example: --baud-noise"));
    const QCommandLineOption baud(QStringLiteral("baud"),
        QStringLiteral("The receiver's own baud rate: while the program has the line set to another rate, it "
                       "gets only noise and its commands are not understood, as from a real receiver. "
                       "Example: --baud 38400"), QStringLiteral("RATE"));
    const QCommandLineOption truth(QStringLiteral("truth"),
        QStringLiteral("Writes what each epoch sent as one JSON line (UTC, fix, position and the site without "
                       "noise, DOPs, each satellite once with its signals), and a line per restart (see --ttff). "
                       "Example: --truth truth.jsonl"), QStringLiteral("FILE"));
    const QCommandLineOption link(QStringLiteral("link"),
        QStringLiteral("Also makes a symbolic link to the serial line, removed at exit. Example: --link /tmp/gnss0"),
        QStringLiteral("PATH"));
    const QCommandLineOption stdinLifetime(QStringLiteral("stdin-lifetime"),
        QStringLiteral("Exits when standard input closes, so the simulator ends with the process that started it. "
                       "Example: --stdin-lifetime"));
    const QCommandLineOption lineRate(QStringLiteral("line-rate"),
        QStringLiteral("Never writes faster than this baud rate carries (BAUD/10 bytes a second). "
                       "Example: --line-rate 115200"), QStringLiteral("BAUD"));
    const QCommandLineOption flood(QStringLiteral("flood"),
        QStringLiteral("Writes epochs as fast as the line takes them, each a 1/rate step of simulated time. "
                       "Example: --flood --line-rate 921600"));
    const QCommandLineOption epochs(QStringLiteral("epochs"),
        QStringLiteral("Stops after N epochs (default: runs until stopped). Example: --epochs 600"), QStringLiteral("N"));
    const QCommandLineOption output(QStringLiteral("output"),
        QStringLiteral("Writes the epochs to a file as fast as it can instead of to a serial line (needs --epochs). "
                       "Example: --output hour.nma --epochs 36000 --rate 10"), QStringLiteral("FILE"));
    const QCommandLineOption writeLog(QStringLiteral("write-log"),
        QStringLiteral("Writes one line per write to the serial line: the monotonic clock in nanoseconds and the "
                       "bytes written so far, for measuring a program's delay and backlog. "
                       "Example: --write-log writes.txt"), QStringLiteral("FILE"));
    const QCommandLineOption tcp(QStringLiteral("tcp"),
        QStringLiteral("Serves the receiver over TCP instead of a serial line, one client at a time, commands "
                       "included; listens on 127.0.0.1 unless a host is given. Example: --tcp 4001"),
        QStringLiteral("[HOST:]PORT"));
    const QCommandLineOption udp(QStringLiteral("udp"),
        QStringLiteral("Sends the receiver's sentences as UDP datagrams to HOST:PORT instead of a serial line "
                       "(one way). Example: --udp 127.0.0.1:10110"), QStringLiteral("HOST:PORT"));
    const QCommandLineOption rtk(QStringLiteral("rtk"),
        QStringLiteral("Acts as an RTK receiver: RTCM 3 frames with a right CRC arriving on the line move the fix "
                       "(GGA quality 1) to RTK float (5) after float= seconds and to RTK fixed (4) after fixed= "
                       "seconds, the position noise shrinking to 25 cm and then about a centimetre; corrections "
                       "older than age= seconds (default 10) take it back to single. With --truth each change adds "
                       "a line {\"rtk\":STATE,\"utc\":UTC,\"corrections\":UTC of the stream's first frame}. "
                       "Example: --rtk float=5,fixed=20,age=10"), QStringLiteral("LIST"));
    const QCommandLineOption writeRtcm(QStringLiteral("write-rtcm"),
        QStringLiteral("Writes --epochs seconds (default 600) of RTCM 3 corrections from a base station 2 km north "
                       "of the site to FILE and ends: each second MSM7 of four systems, every 10 s the station "
                       "(1005) and GLONASS biases (1230). Example: --write-rtcm base.rtcm --epochs 120"),
        QStringLiteral("FILE"));
    parser.addOptions({rtk, writeRtcm});
    parser.addOptions({help, version, rate, seed, start, ttff, signalCount, positionNoise, drive, cnrOffset, replay, speed,
                       loop, nmea, lfOnly, chunk, garbage, hangup, noise, baud, truth, link, stdinLifetime, lineRate, flood,
                       epochs, output, writeLog, tcp, udp});

    if (!parser.parse(arguments)) {
        *message = parser.errorText();
        return SimParse::Error;
    }
    if (parser.isSet(help)) {
        *message = parser.helpText();
        return SimParse::Help;
    }
    if (parser.isSet(version)) {
        *message = QStringLiteral("skyloupe-sim 1.0\n");
        return SimParse::Version;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *message = QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first());
        return SimParse::Error;
    }

    auto fail = [message](const QString &text) {
        *message = text;
        return SimParse::Error;
    };
    bool ok = true;
    if (parser.isSet(rate)) {
        o->rate = parser.value(rate).toInt(&ok);
        if (!ok || (o->rate != 1 && o->rate != 5 && o->rate != 10))
            return fail(QStringLiteral("--rate must be 1, 5 or 10"));
    }
    if (parser.isSet(seed)) {
        o->seed = parser.value(seed).toULongLong(&ok);
        if (!ok)
            return fail(QStringLiteral("--seed must be a whole number"));
    }
    o->start = QDateTime(QDate(2024, 6, 1), QTime(3, 0), Qt::UTC);
    if (parser.isSet(start)) {
        const QString text = parser.value(start);
        if (text == QLatin1String("now")) {
            // Whole seconds, as a receiver's epochs are.
            const QDateTime now = QDateTime::currentDateTimeUtc();
            o->start = QDateTime(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()),
                                 Qt::UTC);
        } else {
            o->start = QDateTime::fromString(text, Qt::ISODateWithMs).toUTC();
        }
        if (!o->start.isValid())
            return fail(QStringLiteral("--start must be an ISO 8601 time such as 2025-01-15T08:30:00Z, or now"));
    }
    if (parser.isSet(ttff)) {
        QString error;
        if (!o->ttff.parse(parser.value(ttff), &error))
            return fail(error);
    }
    if (parser.isSet(signalCount)) {
        o->receiver.signalCount = parser.value(signalCount).toInt(&ok);
        if (!ok || o->receiver.signalCount < 1 || o->receiver.signalCount > 2)
            return fail(QStringLiteral("--signals must be 1 or 2"));
    }
    if (parser.isSet(positionNoise)) {
        o->receiver.positionNoiseM = parser.value(positionNoise).toDouble(&ok);
        if (!ok || o->receiver.positionNoiseM < 0 || o->receiver.positionNoiseM > 10000)
            return fail(QStringLiteral("--position-noise must be metres, 0 to 10000"));
    }
    o->receiver.drive = parser.isSet(drive);
    if (parser.isSet(cnrOffset)) {
        o->receiver.cnrOffset = parser.value(cnrOffset).toInt(&ok);
        if (!ok || qAbs(o->receiver.cnrOffset) > 99)
            return fail(QStringLiteral("--cnr-offset must be whole dB, -99 to 99"));
    }
    o->replayFile = parser.value(replay);
    if (parser.isSet(speed)) {
        o->speed = parser.value(speed).toDouble(&ok);
        if (!ok || o->speed <= 0 || o->speed > 1000)
            return fail(QStringLiteral("--speed must be above 0 and at most 1000"));
    }
    o->loop = parser.isSet(loop);
    if (parser.isSet(nmea)) {
        const QString v = parser.value(nmea);
        if (v == QLatin1String("3") || v.startsWith(QLatin1String("3.")))
            o->nmeaVersion = 3;
        else if (v == QLatin1String("4") || v == QLatin1String("4.10") || v == QLatin1String("4.1"))
            o->nmeaVersion = 4;
        else
            return fail(QStringLiteral("--nmea must be 3 or 4"));
    }
    // Only the signal ID tells a second band's sequence from the first's.
    if (o->nmeaVersion == 3 && o->receiver.signalCount == 2)
        return fail(QStringLiteral("--signals 2 needs --nmea 4"));
    o->lfOnly = parser.isSet(lfOnly);
    if (parser.isSet(chunk)) {
        o->chunk = parser.value(chunk).toInt(&ok);
        if (!ok || o->chunk < 1)
            return fail(QStringLiteral("--chunk must be at least 1"));
    }
    if (parser.isSet(garbage)) {
        o->garbage = parser.value(garbage).toDouble(&ok);
        if (!ok || o->garbage < 0 || o->garbage > 1)
            return fail(QStringLiteral("--garbage must be between 0 and 1"));
    }
    if (parser.isSet(hangup)) {
        o->hangupAfter = parser.value(hangup).toDouble(&ok);
        if (!ok || o->hangupAfter < 0)
            return fail(QStringLiteral("--hangup-after must be seconds, 0 or more"));
    }
    o->baudNoise = parser.isSet(noise);
    if (parser.isSet(baud)) {
        bool ok = false;
        o->baud = parser.value(baud).toInt(&ok);
        if (!ok || o->baud <= 0) {
            *message = QStringLiteral("--baud takes a rate such as 38400, not \"%1\"").arg(parser.value(baud));
            return SimParse::Error;
        }
    }
    o->truthFile = parser.value(truth);
    o->linkPath = parser.value(link);
    o->stdinLifetime = parser.isSet(stdinLifetime);
    if (parser.isSet(lineRate)) {
        o->lineRate = parser.value(lineRate).toLongLong(&ok);
        if (!ok || o->lineRate < 10)
            return fail(QStringLiteral("--line-rate must be a baud rate such as 115200"));
    }
    o->flood = parser.isSet(flood);
    if (parser.isSet(epochs)) {
        o->epochs = parser.value(epochs).toLongLong(&ok);
        if (!ok || o->epochs < 1)
            return fail(QStringLiteral("--epochs must be at least 1"));
    }
    o->outputFile = parser.value(output);
    o->writeRtcmFile = parser.value(writeRtcm);
    if (parser.isSet(rtk)) {
        QString error;
        if (!o->rtk.parse(parser.value(rtk), &error))
            return fail(error);
    }
    o->writeLogFile = parser.value(writeLog);
    // "HOST:PORT" or "PORT"; false when the port is not 1 to 65535.
    const auto hostPort = [](const QString &text, const QString &defaultHost, QString *host, int *port) {
        const int colon = text.lastIndexOf(QLatin1Char(':'));
        *host = colon < 0 ? defaultHost : text.left(colon);
        bool ok = false;
        *port = text.mid(colon + 1).toInt(&ok);
        return ok && *port >= 1 && *port <= 65535 && !host->isEmpty();
    };
    if (parser.isSet(tcp) && !hostPort(parser.value(tcp), QStringLiteral("127.0.0.1"), &o->tcpHost, &o->tcpPort))
        return fail(QStringLiteral("--tcp takes a port from 1 to 65535, with a host before it if wanted"));
    if (parser.isSet(udp) && (!parser.value(udp).contains(QLatin1Char(':'))
                              || !hostPort(parser.value(udp), QString(), &o->udpHost, &o->udpPort)))
        return fail(QStringLiteral("--udp takes HOST:PORT, such as 127.0.0.1:10110"));
    if (o->tcpPort > 0 && o->udpPort > 0)
        return fail(QStringLiteral("--tcp and --udp cannot be given together"));
    if (!o->outputFile.isEmpty() && o->epochs == 0 && (o->replayFile.isEmpty() || o->loop))
        return fail(QStringLiteral("--output needs --epochs (or a replay without --loop)"));
    return SimParse::Run;
}
