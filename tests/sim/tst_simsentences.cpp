// What the simulated receiver writes: NMEA 0183 4.10 sentences with right
// checksums and fields, per-system GSA and GSV, the 3.x variant, the truth
// file agreeing with the sentences, and deterministic output.
#include "sim/sentencewriter.h"
#include "sim/skymodel.h"
#include "tests/sim/simtestutil.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace simtest;

namespace {

const QDateTime Start(QDate(2024, 6, 1), QTime(3, 0), Qt::UTC);

QList<QByteArray> sentencesAt(qint64 ms, bool fixed = true, bool nmea3 = false, quint64 seed = 1)
{
    SkyModel sky(seed, Start);
    WriterOptions options;
    options.nmea3 = nmea3;
    return epochSentences(sky.epochAt(ms, fixed), options);
}

QList<QByteArray> ofType(const QList<QByteArray> &lines, const char *address)
{
    QList<QByteArray> out;
    for (const QByteArray &l : lines)
        if (l.startsWith(QByteArray("$") + address + ','))
            out.append(l);
    return out;
}

QByteArray runSim(const QStringList &arguments, int *exitCode = nullptr)
{
    QProcess sim;
    sim.start(QStringLiteral(SKYLOUPE_BUILD_DIR "/skyloupe-sim"), arguments);
    sim.waitForFinished(60000);
    if (exitCode)
        *exitCode = sim.exitCode();
    return sim.readAllStandardOutput();
}

} // namespace

class TestSimSentences : public QObject
{
    Q_OBJECT

private slots:
    void checksumsAndLineEnds();
    void fieldCounts_data();
    void fieldCounts();
    void gsaPerSystemWithSystemId();
    void gsvSequencesWithSignalId();
    void gpsSequenceCarriesQzssAndSbas();
    void cnrValuesPlausible();
    void skyMovesSlowlyAndFixSetChanges();
    void epochWithoutFix();
    void truthAgreesWithSentences_data();
    void truthAgreesWithSentences();
    void sameSeedSameBytes();
};

void TestSimSentences::checksumsAndLineEnds()
{
    for (qint64 ms : {0LL, 1000LL, 600000LL, 3600000LL}) {
        const QList<QByteArray> lines = sentencesAt(ms);
        QVERIFY(lines.size() >= 13);
        for (const QByteArray &line : lines) {
            QVERIFY2(line.endsWith("\r\n") && line.count('\n') == 1, line.constData());
            QVERIFY2(checksumRight(line), line.constData());
            QVERIFY2(line.size() <= 82, line.constData());   // NMEA's longest sentence
        }
    }
    // The checksum helper itself against the commands' worked examples.
    QCOMPARE(nmeaSentence("PAIR004"), QByteArray("$PAIR004*3E\r\n"));
    QCOMPARE(nmeaSentence("PAIR050,1000"), QByteArray("$PAIR050,1000*12\r\n"));
    QCOMPARE(nmeaSentence("PMTK605", "\n"), QByteArray("$PMTK605*31\n"));
}

void TestSimSentences::fieldCounts_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<int>("fields");   // address included, as NMEA 0183 4.10 lays them out
    QTest::newRow("GGA: time to station ID") << QByteArray("GNGGA") << 15;
    QTest::newRow("GLL: with mode indicator") << QByteArray("GNGLL") << 8;
    QTest::newRow("RMC: with mode and navigational status") << QByteArray("GNRMC") << 14;
    QTest::newRow("VTG: with mode indicator") << QByteArray("GNVTG") << 10;
    QTest::newRow("ZDA: time, date, zone") << QByteArray("GNZDA") << 7;
    QTest::newRow("GSA: twelve satellites, DOPs, system ID") << QByteArray("GNGSA") << 19;
}

void TestSimSentences::fieldCounts()
{
    QFETCH(QByteArray, address);
    QFETCH(int, fields);
    for (bool fixed : {true, false}) {
        const QList<QByteArray> lines = ofType(sentencesAt(5000, fixed), address.constData());
        QVERIFY(!lines.isEmpty());
        for (const QByteArray &line : lines)
            QCOMPARE(fieldsOf(line).size(), fields);
    }
    // The 3.x variant drops the GSA system ID and the RMC navigational status.
    const int older = address == "GNGSA" || address == "GNRMC" ? fields - 1 : fields;
    for (const QByteArray &line : ofType(sentencesAt(5000, true, true), address.constData()))
        QCOMPARE(fieldsOf(line).size(), older);
}

void TestSimSentences::gsaPerSystemWithSystemId()
{
    const QList<QByteArray> gsa = ofType(sentencesAt(42000), "GNGSA");
    QCOMPARE(gsa.size(), 4);
    for (int i = 0; i < 4; ++i) {
        const QList<QByteArray> f = fieldsOf(gsa.at(i));
        QCOMPARE(f.at(1), QByteArray("A"));
        QCOMPARE(f.at(2), QByteArray("3"));
        QCOMPARE(f.at(18), QByteArray::number(i + 1));   // GPS, GLONASS, Galileo, BeiDou
        int listed = 0;
        for (int k = 3; k <= 14; ++k) {
            if (f.at(k).isEmpty())
                continue;
            ++listed;
            const int prn = f.at(k).toInt();
            switch (i + 1) {
            case 1: QVERIFY2((prn >= 1 && prn <= 32) || (prn >= 193 && prn <= 199), f.at(k)); break;
            case 2: QVERIFY2(prn >= 65 && prn <= 96, f.at(k)); break;
            case 3: QVERIFY2(prn >= 1 && prn <= 36, f.at(k)); break;
            case 4: QVERIFY2(prn >= 1 && prn <= 63, f.at(k)); break;
            }
        }
        QVERIFY2(listed >= 3, gsa.at(i).constData());
        // PDOP squared is HDOP squared plus VDOP squared (to the rounding).
        const double p = f.at(15).toDouble(), h = f.at(16).toDouble(), v = f.at(17).toDouble();
        QVERIFY(h > 0.3 && h < 5 && v > 0.3 && v < 8);
        QVERIFY(qAbs(p * p - h * h - v * v) < 0.05);
    }
    // Without the field in the 3.x variant the last field is the VDOP.
    const QList<QByteArray> old = ofType(sentencesAt(42000, true, true), "GNGSA");
    QCOMPARE(fieldsOf(old.first()).last(), fieldsOf(gsa.first()).at(17));
}

void TestSimSentences::gsvSequencesWithSignalId()
{
    struct Expect { const char *address; QByteArray signal; };
    const Expect expects[] = {{"GPGSV", "1"}, {"GLGSV", "1"}, {"GAGSV", "7"}, {"GBGSV", "1"}};
    for (bool nmea3 : {false, true}) {
        const QList<QByteArray> all = sentencesAt(90000, true, nmea3);
        for (const Expect &e : expects) {
            const QList<QByteArray> seq = ofType(all, e.address);
            QVERIFY(!seq.isEmpty());
            int satellites = 0;
            for (int m = 0; m < seq.size(); ++m) {
                const QList<QByteArray> f = fieldsOf(seq.at(m));
                QCOMPARE(f.at(1).toInt(), seq.size());
                QCOMPARE(f.at(2).toInt(), m + 1);
                const int extra = nmea3 ? 0 : 1;
                QCOMPARE((f.size() - 4 - extra) % 4, 0);
                const int here = (f.size() - 4 - extra) / 4;
                QVERIFY(here >= 1 && here <= 4);
                if (m + 1 < seq.size())
                    QCOMPARE(here, 4);
                satellites += here;
                if (!nmea3)
                    QCOMPARE(f.last(), e.signal);
                for (int k = 0; k < here; ++k) {
                    const int elevation = f.at(5 + 4 * k).toInt();
                    const int azimuth = f.at(6 + 4 * k).toInt();
                    QVERIFY(elevation >= 5 && elevation <= 90);
                    QVERIFY(azimuth >= 0 && azimuth < 360);
                    QCOMPARE(f.at(6 + 4 * k).size(), 3);
                }
            }
            QCOMPARE(fieldsOf(seq.first()).at(3).toInt(), satellites);
        }
    }
}

void TestSimSentences::gpsSequenceCarriesQzssAndSbas()
{
    bool qzss = false, sbas = false;
    for (qint64 ms = 0; ms <= 6 * 3600000LL; ms += 1800000) {
        for (const QByteArray &line : ofType(sentencesAt(ms), "GPGSV")) {
            const QList<QByteArray> f = fieldsOf(line);
            for (int k = 4; k + 3 < f.size(); k += 4) {
                const int prn = f.at(k).toInt();
                qzss = qzss || (prn >= 193 && prn <= 199);
                sbas = sbas || (prn >= 33 && prn <= 51);
                QVERIFY2((prn >= 1 && prn <= 51) || (prn >= 193 && prn <= 199), f.at(k));
            }
        }
    }
    QVERIFY(qzss);
    QVERIFY(sbas);
}

void TestSimSentences::cnrValuesPlausible()
{
    int tracked = 0, untracked = 0;
    for (qint64 ms = 0; ms < 600000; ms += 30000) {
        for (const QByteArray &line : sentencesAt(ms)) {
            if (line.mid(3, 3) != "GSV")
                continue;
            const QList<QByteArray> f = fieldsOf(line);
            for (int k = 7; k < f.size(); k += 4) {
                if (k == f.size() - 1)
                    break;   // the signal ID
                if (f.at(k).isEmpty()) {
                    ++untracked;
                    continue;
                }
                ++tracked;
                QVERIFY2(f.at(k).toInt() >= 20 && f.at(k).toInt() <= 50, f.at(k));
            }
        }
    }
    QVERIFY(tracked > 20 * 25);
    QVERIFY(untracked > 0);
    QVERIFY(untracked < tracked / 4);
}

void TestSimSentences::skyMovesSlowlyAndFixSetChanges()
{
    SkyModel sky(5, Start);
    QSet<QString> usedSets;
    SimEpoch previous = sky.epochAt(0, true);
    for (qint64 ms = 1000; ms <= 180000; ms += 1000) {
        const SimEpoch e = sky.epochAt(ms, true);
        for (const SimSatellite &s : e.satellites) {
            for (const SimSatellite &p : previous.satellites) {
                if (p.system == s.system && p.prn == s.prn) {
                    QVERIFY(qAbs(p.elevation - s.elevation) <= 1);
                    const int dAz = qAbs(p.azimuth - s.azimuth);
                    QVERIFY(qMin(dAz, 360 - dAz) <= 2 || s.elevation > 85);
                }
            }
        }
        QString used;
        for (const SimSatellite &s : e.satellites)
            if (s.used)
                used += QString::number(s.prn) + QLatin1Char(',');
        usedSets.insert(used);
        previous = e;
    }
    QVERIFY2(usedSets.size() >= 3, "the set used in the fix changes now and then");
    // After an hour the sky has visibly turned.
    auto positions = [](const SimEpoch &e) {
        QStringList out;
        for (const SimSatellite &s : e.satellites)
            out << QStringLiteral("%1:%2/%3").arg(s.prn).arg(s.elevation).arg(s.azimuth);
        return out;
    };
    QVERIFY(positions(sky.epochAt(3600000, true)) != positions(sky.epochAt(0, true)));
}

void TestSimSentences::epochWithoutFix()
{
    const QList<QByteArray> lines = sentencesAt(7000, false);
    const QList<QByteArray> gga = fieldsOf(ofType(lines, "GNGGA").first());
    QCOMPARE(gga.at(6), QByteArray("0"));
    QVERIFY(gga.at(2).isEmpty() && gga.at(4).isEmpty());
    QCOMPARE(fieldsOf(ofType(lines, "GNRMC").first()).at(2), QByteArray("V"));
    for (const QByteArray &gsa : ofType(lines, "GNGSA")) {
        const QList<QByteArray> f = fieldsOf(gsa);
        QCOMPARE(f.at(2), QByteArray("1"));
        for (int k = 3; k <= 14; ++k)
            QVERIFY(f.at(k).isEmpty());
    }
}

void TestSimSentences::truthAgreesWithSentences_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("cnrOffset");
    QTest::addColumn<double>("sigma");
    QTest::addColumn<QStringList>("sequences");   // talker and signal ID of each GSV sequence, in order
    const QStringList one{"GP1", "GL1", "GA7", "GB1"}, two{"GP1", "GP8", "GL1", "GA7", "GA1", "GB1", "GB5"};
    QTest::newRow("one band") << QStringList() << 0 << 0.0 << one;
    QTest::newRow("two bands: L5, E5a, B2a") << QStringList{"--signals", "2"} << 0 << 0.0 << two;
    QTest::newRow("CNR offset on both bands, floor 1") << QStringList{"--signals", "2"} << -30 << 0.0 << two;
    QTest::newRow("position noise of 4 m, 2000 epochs") << QStringList() << 0 << 4.0 << one;
}

void TestSimSentences::truthAgreesWithSentences()
{
    QFETCH(QStringList, options);
    QFETCH(int, cnrOffset);
    QFETCH(double, sigma);
    QFETCH(QStringList, sequences);
    const int count = sigma > 0 ? 2000 : 3;
    QTemporaryDir dir;
    const QString nma = dir.filePath(QStringLiteral("out.nma"));
    const QString truth = dir.filePath(QStringLiteral("truth.jsonl"));
    int code = -1;
    const QStringList common{"--epochs", QString::number(count), "--seed", "9"};
    runSim(QStringList{"--output", nma, "--truth", truth, "--cnr-offset", QString::number(cnrOffset),
                       "--position-noise", QString::number(sigma)} + common + options, &code);
    QCOMPARE(code, 0);
    QFile sent(nma), json(truth);
    QVERIFY(sent.open(QIODevice::ReadOnly) && json.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = linesOf(sent.readAll());
    const QList<QByteArray> epochs = json.readAll().trimmed().split('\n');
    QCOMPARE(epochs.size(), count);

    const QJsonObject last = QJsonDocument::fromJson(epochs.last()).object();
    QCOMPARE(last.value(QStringLiteral("utc")).toString(), Start.addSecs(count - 1).toString(Qt::ISODateWithMs));
    QCOMPARE(last.value(QStringLiteral("fix")).toString(), QStringLiteral("3D"));

    // The last epoch's sentences, read independently.
    QList<QByteArray> epoch;
    for (const QByteArray &l : lines) {
        if (l.startsWith("$GNGGA"))
            epoch.clear();
        epoch.append(l);
    }
    const QList<QByteArray> gga = fieldsOf(epoch.first());
    QCOMPARE(gga.at(1), Start.addSecs(count - 1).toString(QStringLiteral("HHmmss.zzz")).toLatin1());
    QVERIFY(sigma == 0 || gga.at(9).indexOf('.') == gga.at(9).size() - 3);   // to the centimetre
    const double lat = gga.at(2).left(2).toDouble() + gga.at(2).mid(2).toDouble() / 60.0;
    const double lon = gga.at(4).left(3).toDouble() + gga.at(4).mid(3).toDouble() / 60.0;
    QVERIFY(qAbs(lat - last.value(QStringLiteral("lat")).toDouble()) < 1e-7);
    QVERIFY(qAbs(lon - last.value(QStringLiteral("lon")).toDouble()) < 1e-7);
    QCOMPARE(gga.at(7).toInt(), last.value(QStringLiteral("used")).toInt());
    QCOMPARE(gga.at(8).toDouble(), last.value(QStringLiteral("hdop")).toDouble());

    // Every satellite of the GSV sentences is in the truth with the same
    // numbers and the CNR of the sequence's signal, and "used" matches the GSA lists of its system.
    const QJsonObject systems = last.value(QStringLiteral("systems")).toObject();
    QSet<QString> usedInGsa;
    int gsaIndex = 0;
    const char *gsaSystems[] = {"G", "R", "E", "B"};
    for (const QByteArray &l : epoch) {
        if (!l.startsWith("$GNGSA"))
            continue;
        const QList<QByteArray> f = fieldsOf(l);
        for (int k = 3; k <= 14; ++k)
            if (!f.at(k).isEmpty())
                usedInGsa.insert(QLatin1String(gsaSystems[gsaIndex]) + QString::number(f.at(k).toInt()));
        ++gsaIndex;
    }
    int compared = 0, listed = 0, inView = 0;
    QStringList seen;
    for (const QByteArray &l : epoch) {
        if (l.mid(3, 3) != "GSV")
            continue;
        const QByteArray talker = l.mid(1, 2);
        const QList<QByteArray> f = fieldsOf(l);
        seen << QString::fromLatin1(talker + f.last());
        inView += f.at(2) == "1" ? f.at(3).toInt() : 0;
        for (int k = 4; k + 3 < f.size(); k += 4) {
            const int prn = f.at(k).toInt();
            QString system = talker == "GL" ? QStringLiteral("GLONASS") : talker == "GA" ? QStringLiteral("Galileo")
                           : talker == "GB" ? QStringLiteral("BeiDou") : QStringLiteral("GPS");
            if (talker == "GP" && prn >= 193)
                system = QStringLiteral("QZSS");
            else if (talker == "GP" && prn >= 33)
                system = QStringLiteral("SBAS");
            const QString letter = talker == "GL" ? "R" : talker == "GA" ? "E" : talker == "GB" ? "B" : "G";
            bool found = false;
            for (const QJsonValue &v : systems.value(system).toArray()) {
                const QJsonObject s = v.toObject();
                if (s.value(QStringLiteral("prn")).toInt() != prn)
                    continue;
                found = true;
                QCOMPARE(s.value(QStringLiteral("elev")).toInt(), f.at(k + 1).toInt());
                QCOMPARE(s.value(QStringLiteral("azim")).toInt(), f.at(k + 2).toInt());
                int cnr = -1;
                for (const QJsonValue &g : s.value(QStringLiteral("signals")).toArray())
                    cnr = g[QStringLiteral("id")] == f.last().toInt() ? g[QStringLiteral("cnr")].toInt() : cnr;
                QCOMPARE(cnr, f.at(k + 3).toInt());
                QCOMPARE(s.value(QStringLiteral("used")).toBool(), usedInGsa.contains(letter + QString::number(prn)));
            }
            QVERIFY2(found, qPrintable(system + QString::number(prn)));
            ++compared;
        }
    }
    QVERIFY(compared >= 20);
    seen.removeDuplicates();
    QCOMPARE(seen, sequences);
    QCOMPARE(inView, compared);

    // The sky as without offset and noise, each CNR moved by it (never below 1, 0 kept); a second band 2-6 dB down.
    json.close();
    runSim(QStringList{"--output", nma, "--truth", truth} + common + options);
    QVERIFY(json.open(QIODevice::ReadOnly));
    const QJsonObject base = QJsonDocument::fromJson(json.readAll().trimmed().split('\n').last()).object();
    for (const QString &name : systems.keys()) {
        const QJsonArray a = systems.value(name).toArray(), b = base[QStringLiteral("systems")][name].toArray();
        QCOMPARE(a.size(), b.size());
        for (int i = 0; i < a.size(); ++i) {
            for (const char *key : {"prn", "elev", "azim"})
                QCOMPARE(a[i][QLatin1String(key)], b[i][QLatin1String(key)]);
            const QJsonArray sa = a[i]["signals"].toArray(), sb = b[i]["signals"].toArray();
            QCOMPARE(a[i][QStringLiteral("cnr")], sa[0][QStringLiteral("cnr")]);
            QCOMPARE(sa.size(), sb.size());
            listed += sa.size();
            for (int j = 0; j < sa.size(); ++j) {
                const int c = sb[j][QStringLiteral("cnr")].toInt(), first = sb[0][QStringLiteral("cnr")].toInt();
                QCOMPARE(sa[j][QStringLiteral("cnr")].toInt(), c > 0 ? qMax(1, c + cnrOffset) : 0);
                QVERIFY(j == 0 || (first == 0 ? c == 0 : first - c >= 2 && first - c <= 6));
            }
        }
    }
    QCOMPARE(listed, compared);   // each satellite and signal listed once

    double squares[2] = {0, 0};   // east and north off the site: the noise
    for (const QByteArray &line : epochs) {
        const QJsonObject e = QJsonDocument::fromJson(line).object(), site = e[QStringLiteral("site")].toObject();
        auto off = [&](const char *k) { return e[QLatin1String(k)].toDouble() - site[QLatin1String(k)].toDouble(); };
        squares[0] += std::pow(qDegreesToRadians(off("lon")) * 6371000.0 * std::cos(qDegreesToRadians(lat)), 2);
        squares[1] += std::pow(qDegreesToRadians(off("lat")) * 6371000.0, 2);
    }
    for (double sum : squares)
        QVERIFY(sigma == 0 || qAbs(std::sqrt(sum / count) - sigma) < sigma * 0.1);
}

void TestSimSentences::sameSeedSameBytes()
{
    QTemporaryDir dir;
    auto run = [&](const QString &name, const QString &seed) {
        const QString path = dir.filePath(name);
        runSim({QStringLiteral("--output"), path, QStringLiteral("--epochs"), QStringLiteral("20"),
                QStringLiteral("--rate"), QStringLiteral("10"), QStringLiteral("--seed"), seed,
                QStringLiteral("--garbage"), QStringLiteral("0.1")});
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray a = run(QStringLiteral("a"), QStringLiteral("11"));
    QVERIFY(a.size() > 20 * 1000);
    QCOMPARE(run(QStringLiteral("b"), QStringLiteral("11")), a);
    QVERIFY(run(QStringLiteral("c"), QStringLiteral("12")) != a);
}

QTEST_MAIN(TestSimSentences)
#include "tst_simsentences.moc"
