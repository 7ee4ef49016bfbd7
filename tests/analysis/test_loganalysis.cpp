// The log analysis against the simulator's truth, against an independent
// count of the recorded captures, and the command's exit statuses.
#include "analysis/analysisreport.h"
#include "analysis/loganalysis.h"
#include "e2e/simprocess.h"
#include "link/checksum.h"
#include "link/receivercommands.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtMath>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

const QString Build = QStringLiteral(SKYLOUPE_BUILD_DIR);

// The log fed in pieces of 777 bytes, so lines are cut between pieces.
QJsonObject analyse(const QByteArray &log, const std::optional<GeodeticPosition> &reference = std::nullopt)
{
    LogAnalysis analysis;
    analysis.setReference(reference);
    for (int at = 0; at < log.size(); at += 777)
        analysis.addBytes(log.constData() + at, std::min(777, log.size() - at));
    analysis.finish();
    return analysisSummary(analysis, QStringLiteral("log"));
}

// What the simulator sends over its line from before a cold start until
// after its first fix, as the window logs it.
QByteArray recordColdStart(const QString &truthFile)
{
    SimProcess sim;
    if (!sim.start({"--rate", "10", "--ttff", "cold=2.5", "--truth", truthFile}))
        return {};
    const int fd = ::open(sim.portPath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios tio;
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    QByteArray log;
    auto readFor = [&](int ms) {
        waitUntil([&] {
            char buffer[4096];
            for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
                log.append(buffer, int(n));
            return false;
        }, ms);
    };
    readFor(1500);
    const QByteArray cold = ReceiverCommands::restart(ReceiverCommands::Restart::Cold);
    if (::write(fd, cold.constData(), size_t(cold.size())) != cold.size())
        return {};
    readFor(4500);
    ::close(fd);
    return log;
}

double percentileOf(QVector<double> v, double share)
{
    std::sort(v.begin(), v.end());
    const double rank = share * (v.size() - 1);
    const int low = int(rank);
    return low + 1 < v.size() ? v[low] + (rank - low) * (v[low + 1] - v[low]) : v[low];
}

QJsonObject skyRow(const QJsonObject &summary, const QString &constellation)
{
    for (const QJsonValue &v : summary["sky"].toArray()) {
        if (v["constellation"].toString() == constellation && v["band"].isNull())
            return v.toObject();
    }
    return {};
}

} // namespace

class TestLogAnalysis : public QObject
{
    Q_OBJECT

private slots:
    void simulatorTruth_data();
    void simulatorTruth();
    void gapsAndGarbage_data();
    void gapsAndGarbage();
    void captures_data();
    void captures();
    void rules_data();
    void rules();
    void exitStatus_data();
    void exitStatus();
    void compareTwoLogs();
    void identityLine_data();
    void identityLine();
};

void TestLogAnalysis::simulatorTruth_data()
{
    QTest::addColumn<QStringList>("options");   // empty: a cold start on the live line
    QTest::addColumn<bool>("againstSite");
    QTest::newRow("single band") << QStringList{"--epochs", "90"} << false;
    QTest::newRow("two bands at 10 Hz") << QStringList{"--epochs", "300", "--signals", "2", "--rate", "10"} << false;
    QTest::newRow("2.5 m position noise about the site")
        << QStringList{"--epochs", "400", "--position-noise", "2.5", "--seed", "7"} << true;
    QTest::newRow("cold start on the line") << QStringList() << false;
}

void TestLogAnalysis::simulatorTruth()
{
    QFETCH(QStringList, options);
    QFETCH(bool, againstSite);
    if (!SimProcess::isBuilt())
        QSKIP("skyloupe-sim is not built");
    QTemporaryDir dir;
    const QString truthFile = dir.filePath("truth.jsonl");
    QByteArray log;
    if (options.isEmpty()) {
        log = recordColdStart(truthFile);
    } else {
        QCOMPARE(QProcess::execute(SimProcess::executable(),
                                   options + QStringList{"--output", dir.filePath("log.nma"), "--truth", truthFile}), 0);
        QFile file(dir.filePath("log.nma"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        log = file.readAll();
    }
    QFile truthIn(truthFile);
    QVERIFY(truthIn.open(QIODevice::ReadOnly));
    QList<QJsonObject> truth;
    QJsonObject restart;
    for (const QByteArray &line : truthIn.readAll().split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (o.contains("restart"))
            restart = o;
        else if (!o.isEmpty())
            truth.append(o);
    }
    std::optional<GeodeticPosition> site;
    if (againstSite) {
        const QJsonObject s = truth.first()["site"].toObject();
        site = GeodeticPosition{s["lat"].toDouble(), s["lon"].toDouble(), s["alt"].toDouble()};
    }
    const QJsonObject summary = analyse(log, site);

    // The truth of the epochs the log holds (a live line's first and last
    // epochs may be missing from either).
    const QString first = summary["firstTime"].toString(), last = summary["lastTime"].toString();
    truth.erase(std::remove_if(truth.begin(), truth.end(), [&](const QJsonObject &o) {
        return o["utc"].toString() < first || o["utc"].toString() > last;
    }), truth.end());
    QVERIFY(truth.size() > 50);
    QCOMPARE(summary["epochs"].toInt(), truth.size());
    const double fixes = std::count_if(truth.cbegin(), truth.cend(), [](const QJsonObject &o) {
        return o["fix"].toString() != "none";
    });
    QCOMPARE(summary["fixAvailability"]["percent"].toDouble(), std::round(1e5 * fixes / truth.size()) / 1e3);

    if (restart.isEmpty()) {
        QCOMPARE(summary["firstFix"]["secondsFromStart"].toDouble(), 0.0);
    } else {
        // Timed from the epoch the restart's answer arrived in: up to one
        // epoch interval (0.1 s) before the receiver took the command.
        const double ttff = summary["firstFix"]["restart"]["ttffSeconds"].toDouble();
        QVERIFY2(ttff >= restart["ttff"].toDouble() - 0.001 && ttff <= restart["ttff"].toDouble() + 0.101,
                 qPrintable(QString::number(ttff)));
    }

    for (const char *name : {"GPS", "GLONASS", "Galileo", "BeiDou", "QZSS"}) {
        double inView = 0, used = 0, topFour = 0, peak = 0;
        QVector<double> topFours;
        int cnrEpochs = 0;
        for (const QJsonObject &epoch : truth) {
            QVector<double> best;
            for (const QJsonValue &sat : epoch["systems"][name].toArray()) {
                double cnr = 0;
                for (const QJsonValue &signal : sat["signals"].toArray())
                    cnr = std::max(cnr, signal["cnr"].toDouble());
                if (cnr > 0)
                    best.append(cnr);
                used += sat["used"].toBool() ? 1 : 0;
            }
            inView += epoch["systems"][name].toArray().size();
            std::sort(best.begin(), best.end(), std::greater<double>());
            if (!best.isEmpty()) {
                const int n = std::min(4, int(best.size()));
                topFours.append(std::accumulate(best.cbegin(), best.cbegin() + n, 0.0) / n);
                topFour += topFours.last();
                peak += best.first();
                ++cnrEpochs;
            }
        }
        const QJsonObject row = skyRow(summary, name);
        QVERIFY2(std::fabs(row["inView"]["mean"].toDouble() - inView / truth.size()) < 0.001, qPrintable(name));
        QVERIFY2(std::fabs(row["used"]["mean"].toDouble() - used / truth.size()) < 0.001, qPrintable(name));
        QVERIFY2(std::fabs(row["topFourCnr"]["mean"].toDouble() - topFour / cnrEpochs) < 0.01, qPrintable(name));
        QVERIFY2(std::fabs(row["peakCnr"]["mean"].toDouble() - peak / cnrEpochs) < 0.01, qPrintable(name));
        for (double share : {0.05, 0.95}) {
            const double expected = topFours.isEmpty() ? 0.0 : percentileOf(topFours, share);
            const double shown = row["topFourCnr"][share < 0.5 ? "p5" : "p95"].toDouble();
            QVERIFY2(std::fabs(shown - expected) < 0.006, qPrintable(QStringLiteral("%1 %2: %3, expected %4")
                                                                       .arg(name).arg(share).arg(shown).arg(expected)));
        }
    }

    if (site) {
        // Metres on a plane at the site: good to a few millimetres here.
        QVector<double> distances;
        for (const QJsonObject &epoch : truth) {
            const double north = (epoch["lat"].toDouble() - site->latitude) * 110900.0;   // at 31 degrees
            const double east = (epoch["lon"].toDouble() - site->longitude) * 95340.0;
            distances.append(std::hypot(east, north));
        }
        const QJsonObject position = summary["position"].toObject();
        QCOMPARE(position["centre"].toString(), QStringLiteral("reference"));
        QVERIFY(std::fabs(position["cep50"].toDouble() - percentileOf(distances, 0.5)) < 0.05);
        QVERIFY(std::fabs(position["cep95"].toDouble() - percentileOf(distances, 0.95)) < 0.05);
    }
}

void TestLogAnalysis::gapsAndGarbage_data()
{
    QTest::addColumn<int>("dropFrom");       // the epochs [dropFrom, dropFrom + dropped) are cut out
    QTest::addColumn<int>("dropped");
    QTest::addColumn<QByteArray>("garbage");   // a line of it before every tenth epoch
    QTest::addColumn<bool>("lastLineEnd");
    QTest::newRow("ten epochs missing") << 40 << 10 << QByteArray() << true;
    QTest::newRow("NUL and binary lines") << 0 << 0 << QByteArray("\0\x01\xff\0GGA,\x80\n", 10) << true;
    QTest::newRow("no line end at the end, a gap of one") << 7 << 1 << QByteArray() << false;
}

void TestLogAnalysis::gapsAndGarbage()
{
    QFETCH(int, dropFrom);
    QFETCH(int, dropped);
    QFETCH(QByteArray, garbage);
    QFETCH(bool, lastLineEnd);
    QTemporaryDir dir;
    QCOMPARE(QProcess::execute(SimProcess::executable(), {"--epochs", "100", "--output", dir.filePath("log.nma")}), 0);
    QFile file(dir.filePath("log.nma"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    // The simulator's epochs each begin with a GGA line.
    const QList<QByteArray> epochs = file.readAll().split('$').mid(1);
    QByteArray log;
    int epoch = -1;
    for (const QByteArray &sentence : epochs) {
        epoch += sentence.startsWith("GNGGA") ? 1 : 0;
        if (sentence.startsWith("GNGGA") && epoch % 10 == 0)
            log += garbage;
        if (epoch < dropFrom || epoch >= dropFrom + dropped)
            log += '$' + sentence;
    }
    if (!lastLineEnd)
        log.chop(2);
    const QJsonObject summary = analyse(log);
    QCOMPARE(summary["epochs"].toInt(), 100 - dropped);
    QCOMPARE(summary["epochIntervalSeconds"].toDouble(), 1.0);
    QCOMPARE(summary["gaps"]["missingEpochs"].toInt(), dropped);
    QCOMPARE(summary["gaps"]["longestGapSeconds"].toDouble(), dropped + 1.0);
    QCOMPARE(summary["sentences"]["bytes"].toInt(), log.size());
    QCOMPARE(summary["sentences"]["bytesNotNmea"].toInt(), 10 * garbage.size());
    QCOMPARE(summary["fixAvailability"]["percent"].toDouble(), 100.0);
}

void TestLogAnalysis::captures_data()
{
    QTest::addColumn<QString>("file");
    const QDir captures(qEnvironmentVariable("SKYLOUPE_CAPTURE_DIR", QStringLiteral(SKYLOUPE_CAPTURE_DIR)));
    for (const QString &file : captures.entryList(QDir::Files)) {
        if (file != QLatin1String("README.md"))
            QTest::newRow(qPrintable(file)) << captures.filePath(file);
    }
    if (captures.isEmpty())
        QTest::newRow("no captures") << QString();
}

void TestLogAnalysis::captures()
{
    QFETCH(QString, file);
    QFile capture(file);
    if (file.isEmpty() || !capture.open(QIODevice::ReadOnly))
        QSKIP("No recorded captures (SKYLOUPE_CAPTURE_DIR); the capture counts are skipped.");
    const QByteArray bytes = capture.readAll();

    // Each "$" starts a sentence that runs to the next "$" or the line end;
    // one ending in a right "*hh" is intact; its type is its address of up
    // to 10 characters. An epoch begins where a GGA, RMC, GNS or GLL
    // without a wrong checksum brings another time than the one before, an
    // empty one included, or an empty time again from a sentence type the
    // epoch already has; that is the line, or for a line with bytes before
    // its "$", its last sentence.
    QHash<QByteArray, qint64> intact;
    qint64 epochs = 0;
    QByteArray time = "none";
    QSet<QByteArray> untimedTypes;
    for (QByteArray line : bytes.split('\n')) {
        while (line.endsWith('\r'))
            line.chop(1);
        const QList<QByteArray> pieces = line.split('$');
        int sentence = pieces.size() - 1;   // of the line's epoch; a run of "$" is one
        for (int i = 1; line.startsWith('$') && i < pieces.size(); ++i) {
            if (!pieces.at(i).isEmpty()) {
                sentence = i;
                break;
            }
        }
        for (int i = 1; i < pieces.size(); ++i) {
            const QByteArray &piece = pieces.at(i);
            const int star = piece.size() - 3;
            bool ok = star >= 0 && piece.at(star) == '*';
            const int sum = ok ? piece.mid(star + 1).toInt(&ok, 16) : -1;
            quint8 x = 0;
            for (int i = 0; i < star; ++i)
                x ^= quint8(piece.at(i));
            const QList<QByteArray> fields = piece.left(ok ? star : piece.size()).split(',');
            if (ok && x == sum && fields.first().size() <= 10)
                ++intact[fields.first()];
            const QByteArray type = fields.first().right(3);
            const int at = type == "GLL" ? 5 : 1;
            if (i != sentence)
                continue;
            const bool wrong = ok && x != sum;
            if (wrong || !(type == "GGA" || type == "RMC" || type == "GNS" || type == "GLL") || fields.size() <= at)
                continue;
            const QByteArray now = fields.at(at);
            if (now != time || (now.isEmpty() && untimedTypes.contains(fields.first()))) {
                ++epochs;
                untimedTypes.clear();
            }
            time = now;
            if (now.isEmpty())
                untimedTypes.insert(fields.first());
        }
    }

    const QJsonObject summary = analyse(bytes);
    QCOMPARE(summary["epochs"].toInt(), epochs);
    // Epochs before the first date have none, and a corrupt RMC none of its
    // own: no span runs from 1970 or to 2080 and later (one capture's did,
    // 1970 to 2099, with a CEP50 of 284 km).
    QVERIFY(!summary["firstTime"].toString().startsWith(QLatin1String("1970")));
    QVERIFY(summary["lastTime"].toString() < QLatin1String("2080"));
    for (const QJsonValue &t : summary["sentences"]["types"].toArray()) {
        const QByteArray type = t["type"].toString().toLatin1();
        if (type != "?") {
            QCOMPARE(t["count"].toInt() - t["checksumErrors"].toInt() - t["withoutChecksum"].toInt(),
                     int(intact.take(type)));
        }
    }
    QVERIFY2(intact.isEmpty(), qPrintable(intact.keys().join(' ')));
}

void TestLogAnalysis::rules_data()
{
    QTest::addColumn<QByteArrayList>("lines");   // sealed with their checksum; "!" first: a wrong one
    QTest::addColumn<QString>("times");         // first and last time, duration, epochs with a fix
    const QByteArray gga = "$GPGGA,%1,4807.038,N,01131.000,W,1,08,0.9,545.4,M,46.9,M,,";
    QTest::newRow("time going back keeps its own time")
        << QByteArrayList{"$GPZDA,193223.00,08,12,2026,00,00", QByteArray(gga).replace("%1", "193222.00"),
                          QByteArray(gga).replace("%1", "193223.00")}
        << "2026-12-08T19:32:22.000Z 2026-12-08T19:32:23.000Z 1 2";
    QTest::newRow("1999 from a two-digit 99; a corrupt RMC of 2080 is no time")
        << QByteArrayList{"$GPRMC,120001,A,4807.038,N,01131.000,W,0,0,220899,,",
                          "!$GPRMC,120002,A,4807.038,N,01131.000,W,0,0,220880,,",
                          "$GPRMC,120003,A,4807.038,N,01131.000,W,0,0,220899,,"}
        << "1999-08-22T12:00:01.000Z 1999-08-22T12:00:03.000Z 2 2";
    QTest::newRow("no date: no time span, no duration; GGA 8 is no fix")
        << QByteArrayList{QByteArray(gga).replace("%1", "120001"), QByteArray(gga).replace("%1", "120002").replace(",1,08", ",8,08")}
        << "- - - 1";
}

// The rules through --analyze's own reading of a log.
void TestLogAnalysis::rules()
{
    QFETCH(QByteArrayList, lines);
    QFETCH(QString, times);
    QByteArray log;
    for (const QByteArray &line : lines) {
        QByteArray sealed = completeCommand(line.startsWith('!') ? line.mid(1) : line);
        if (line.startsWith('!'))
            sealed[sealed.size() - 3] = sealed.at(sealed.size() - 3) == '0' ? '1' : '0';
        log += sealed;
    }
    const QJsonObject s = analyse(log);
    const QString duration = s["durationSeconds"].isDouble() ? QString::number(s["durationSeconds"].toDouble()) : "-";
    QCOMPARE(QStringList({s["firstTime"].toString("-"), s["lastTime"].toString("-"), duration,
                          QString::number(s["fixAvailability"]["epochsWithFix"].toInt())}).join(' '),
             times);
}

void TestLogAnalysis::exitStatus_data()
{
    QTest::addColumn<QByteArray>("content");   // "-": no file at all
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QByteArray binary(65536, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = char((i * 7919 + i / 13) % 251);
    QTest::newRow("empty file") << QByteArray() << 3 << "holds no NMEA";
    QTest::newRow("binary file") << binary << 3 << "holds no NMEA";
    QTest::newRow("missing file") << QByteArray("-") << 2 << "cannot read";
    QTest::newRow("sentences without a time") << QByteArray("$GPRMC,,V,,,,,,,,,,N*53\n$GPGSV,1,1,01,07,30,180,30*46\n")
                                              << 3 << "holds no NMEA";
    QTest::newRow("a log") << QByteArray("$GPGGA,120000.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*67\n")
                           << 0 << "";
}

void TestLogAnalysis::exitStatus()
{
    QFETCH(QByteArray, content);
    QFETCH(int, status);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString log = dir.filePath("1207_101500.nma");
    QFile file(log);
    if (content != "-")
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    file.close();
    QProcess skyloupe;
    skyloupe.start(Build + "/skyloupe", {"--analyze", log});
    QVERIFY(skyloupe.waitForFinished(30000));
    QCOMPARE(skyloupe.exitCode(), status);
    QVERIFY2(QString::fromLocal8Bit(skyloupe.readAllStandardError()).contains(message), qPrintable(message));
    // The files go beside the log, named after it; none without NMEA.
    QCOMPARE(QFile::exists(dir.filePath("1207_101500_analysis/summary.json")), status == 0);
}

// Two logs of the same sky, the one under test 3 dB weaker and with 2 m of
// position noise: the comparison from the logs says so, epoch by epoch.
void TestLogAnalysis::compareTwoLogs()
{
    if (!SimProcess::isBuilt())
        QSKIP("skyloupe-sim is not built");
    QTemporaryDir dir;
    const QStringList sky{"--seed", "5", "--signals", "2", "--rate", "10", "--epochs", "300"};
    QCOMPARE(QProcess::execute(SimProcess::executable(),
                               sky + QStringList{"--output", dir.filePath("ref.nma"), "--truth", dir.filePath("ref.jsonl")}), 0);
    QCOMPARE(QProcess::execute(SimProcess::executable(),
                               sky + QStringList{"--cnr-offset", "-3", "--position-noise", "2", "--output",
                                                 dir.filePath("dut.nma"), "--truth", dir.filePath("dut.jsonl")}), 0);
    QProcess skyloupe;
    skyloupe.start(Build + "/skyloupe", {"--analyze", dir.filePath("dut.nma"), "--compare", dir.filePath("ref.nma"),
                                         "--out", dir.filePath("out")});
    QVERIFY(skyloupe.waitForFinished(30000));
    QCOMPARE(skyloupe.exitCode(), 0);
    QFile json(dir.filePath("out/comparison.json"));
    QVERIFY(json.open(QIODevice::ReadOnly));
    const QJsonObject result = QJsonDocument::fromJson(json.readAll()).object();
    QCOMPARE(result["pairs"].toInt(), 300);
    QVERIFY(result["cnrDifference"].toArray().size() >= 5);
    for (const QJsonValue &series : result["cnrDifference"].toArray())
        QVERIFY2(std::fabs(series["meanDb"].toDouble() + 3.0) <= 0.1, qPrintable(series["series"].toString()));

    // The horizontal distance between the positions the two sent, from the
    // truth files, on the WGS 84 ellipsoid's radii of curvature.
    auto positions = [&](const QString &name) {
        QFile f(dir.filePath(name));
        f.open(QIODevice::ReadOnly);
        QVector<QPointF> p;
        for (const QByteArray &line : f.readAll().split('\n'))
            if (!line.isEmpty())
                p.append({QJsonDocument::fromJson(line)["lat"].toDouble(), QJsonDocument::fromJson(line)["lon"].toDouble()});
        return p;
    };
    const QVector<QPointF> ref = positions("ref.jsonl"), dut = positions("dut.jsonl");
    QCOMPARE(ref.size(), dut.size());
    double sum = 0;
    for (int i = 0; i < ref.size(); ++i) {
        const double phi = qDegreesToRadians(ref[i].x()), e2 = 6.69437999014e-3, w = 1 - e2 * std::sin(phi) * std::sin(phi);
        const double north = qDegreesToRadians(dut[i].x() - ref[i].x()) * 6378137.0 * (1 - e2) / std::pow(w, 1.5);
        const double east = qDegreesToRadians(dut[i].y() - ref[i].y()) * 6378137.0 / std::sqrt(w) * std::cos(phi);
        sum += std::hypot(east, north);
    }
    QVERIFY2(std::fabs(result["distance"]["horizontalMeanM"].toDouble() - sum / ref.size()) < 0.02,
             qPrintable(QString::number(sum / ref.size())));
}

void TestLogAnalysis::identityLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("identity");
    QTest::newRow("simulator's software text") << "SW=skyloupe-sim 1.0,NMEA=4.10" << true;
    QTest::newRow("hardware text") << "HW UBX-M8030 00080000" << true;
    QTest::newRow("firmware version reply") << "PAIR021,AG3335MN,V3.2.1,S01" << true;
    QTest::newRow("acknowledgement of the version query") << "PAIR001,605,0" << false;
    QTest::newRow("configuration text") << "DEFAULT PVT CONFIGURATION" << false;
    QTest::newRow("status of numbers") << "0,000222,0000,08A0,08A0,-37.124,0" << false;
    QTest::newRow("antenna status") << "ANTSTATUS=OK" << false;
}

void TestLogAnalysis::identityLine()
{
    QFETCH(QString, line);
    QFETCH(bool, identity);
    QCOMPARE(isIdentityLine(line), identity);
}

QTEST_GUILESS_MAIN(TestLogAnalysis)
#include "test_loganalysis.moc"
