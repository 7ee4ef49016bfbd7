// Two simulated receivers with the same seed and sky, the one under test
// 3 dB weaker and with position noise, compared epoch by epoch; the
// expected distances come from the simulator's truth files.
#include "compare/receivercomparison.h"
#include "receiver/epochassembler.h"

#include <QtTest>

#include <cmath>

namespace {

struct TruthFix
{
    double lat, lon, alt;
};

// Each truth line with a fix, by its UTC text.
QHash<QString, TruthFix> readTruth(const QString &fileName)
{
    QHash<QString, TruthFix> fixes;
    QFile file(fileName);
    file.open(QIODevice::ReadOnly);
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (o.contains(QStringLiteral("utc")) && o.value(QStringLiteral("fix")).toString() != QLatin1String("none"))
            fixes.insert(o.value(QStringLiteral("utc")).toString(),
                         {o.value(QStringLiteral("lat")).toDouble(), o.value(QStringLiteral("lon")).toDouble(),
                          o.value(QStringLiteral("alt")).toDouble()});
    }
    return fixes;
}

QVector<Epoch> epochsOf(const QString &fileName)
{
    QFile file(fileName);
    file.open(QIODevice::ReadOnly);
    EpochAssembler assembler;
    for (const QByteArray &line : file.readAll().split('\n'))
        assembler.addLine(line);
    return assembler.takeFinished();
}

// The value below which 95 % lie, between the two nearest ranks.
double p95(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    const double rank = 0.95 * (v.size() - 1);
    const int low = int(rank);
    return v.at(low) + (rank - low) * (v.at(std::min(low + 1, v.size() - 1)) - v.at(low));
}

} // namespace

class TestComparison : public QObject
{
    Q_OBJECT

private slots:
    void twoSimulatedReceivers();
};

void TestComparison::twoSimulatedReceivers()
{
    const QString sim = QStringLiteral(SKYLOUPE_BUILD_DIR "/skyloupe-sim");
    if (!QFileInfo(sim).isExecutable())
        QSKIP("The simulated receiver is not built");
    QTemporaryDir dir;
    const QStringList common{"--epochs", "400", "--signals", "2", "--seed", "7"};
    QCOMPARE(QProcess::execute(sim, common + QStringList{"--output", dir.filePath("ref.nma"), "--truth",
                                                         dir.filePath("ref.jsonl")}), 0);
    QCOMPARE(QProcess::execute(sim, common + QStringList{"--output", dir.filePath("dut.nma"), "--truth",
                                                         dir.filePath("dut.jsonl"), "--cnr-offset", "-3",
                                                         "--position-noise", "2"}), 0);
    const QVector<Epoch> reference = epochsOf(dir.filePath("ref.nma"));
    const QVector<Epoch> underTest = epochsOf(dir.filePath("dut.nma"));
    QVERIFY(reference.size() > 300 && underTest.size() == reference.size());

    // The receiver under test runs 5 epochs behind, as a slower line would,
    // and leaves out one epoch: it cannot pair, and nothing after it slips.
    ReceiverComparison comparison;
    const int lag = 5;
    for (int i = 0; i < reference.size() + lag; ++i) {
        if (i < reference.size())
            comparison.addReference(reference.at(i));
        // Every fourth epoch under test is RTK fixed (GGA quality 4).
        Epoch dut = underTest.value(i - lag);
        dut.quality = (i - lag) % 4 == 0 ? 4 : dut.quality;
        if (i >= lag && i - lag != 100)
            comparison.addUnderTest(dut);
    }
    QCOMPARE(comparison.pairCount(), qint64(reference.size() - 1));
    // Epoch 100, left out, was one of them.
    QCOMPARE(comparison.rtkFixedRatio(CompareSide::UnderTest), ((reference.size() + 3) / 4 - 1.0) / (reference.size() - 1));
    QCOMPARE(comparison.rtkFixedRatio(CompareSide::Reference), 0.0);
    QCOMPARE(comparison.unmatched(CompareSide::Reference), qint64(1));

    for (Constellation c : {Constellation::Gps, Constellation::Glonass, Constellation::Galileo,
                            Constellation::Beidou, Constellation::Qzss}) {
        const double mean = comparison.meanDifference(c);
        QVERIFY2(comparison.differenceCount(c) > 100 && std::fabs(mean + 3.0) <= 0.1,
                 qPrintable(QStringLiteral("constellation %1: %2 dB").arg(int(c)).arg(mean)));
    }
    QVERIFY(std::fabs(comparison.meanDifference(Constellation::Gps, int(Band::L5)) + 3.0) <= 0.1);

    // The distances the truth files give: the positions sent, a few metres
    // apart, in a plane (WGS 84 radii of curvature at the site).
    const QHash<QString, TruthFix> refFixes = readTruth(dir.filePath("ref.jsonl"));
    const QHash<QString, TruthFix> dutFixes = readTruth(dir.filePath("dut.jsonl"));
    QVector<double> horizontal, vertical;
    for (int i = 0; i < reference.size(); ++i) {
        const QString utc = reference.at(i).utc().toString(Qt::ISODateWithMs);
        if (i == 100 || !refFixes.contains(utc) || !dutFixes.contains(utc))
            continue;
        const TruthFix &r = refFixes.value(utc), &d = dutFixes.value(utc);
        const double a = 6378137, e2 = 0.00669438, s = std::sin(r.lat * M_PI / 180);
        const double north = (d.lat - r.lat) * M_PI / 180 * a * (1 - e2) / std::pow(1 - e2 * s * s, 1.5);
        const double east = (d.lon - r.lon) * M_PI / 180 * a / std::sqrt(1 - e2 * s * s) * std::cos(r.lat * M_PI / 180);
        horizontal.append(std::hypot(east, north));
        vertical.append(std::fabs(d.alt - r.alt));
    }
    const ReceiverComparison::Distance distance = comparison.distance();
    QCOMPARE(distance.count, horizontal.size());
    const double expected[4] = {std::accumulate(horizontal.cbegin(), horizontal.cend(), 0.0) / horizontal.size(),
                                p95(horizontal),
                                std::accumulate(vertical.cbegin(), vertical.cend(), 0.0) / vertical.size(),
                                p95(vertical)};
    const double measured[4] = {distance.horizontalMean, distance.horizontalP95, distance.verticalMean,
                                distance.verticalP95};
    for (int i = 0; i < 4; ++i)
        QVERIFY2(std::fabs(measured[i] - expected[i]) < 0.01,
                 qPrintable(QStringLiteral("figure %1: %2 m, truth %3 m").arg(i).arg(measured[i]).arg(expected[i])));
    // Noise of 2 m on east and north over a reference within a metre: the
    // mean distance is about the noise's 1.25 sigma, 2.5 m.
    QVERIFY2(distance.horizontalMean > 2.0 && distance.horizontalMean < 3.2, qPrintable(QString::number(distance.horizontalMean)));

    // The CSV holds a line per pair; its horizontal column gives the same mean.
    const QList<QByteArray> lines = comparison.csv().trimmed().split('\n');
    QCOMPARE(lines.size(), comparison.epochs().size() + 1);
    double sum = 0;
    int count = 0;
    for (const QByteArray &line : lines.mid(1)) {
        const QByteArray cell = line.split(',').value(4);
        sum += cell.toDouble();
        count += cell.isEmpty() ? 0 : 1;
    }
    QVERIFY(std::fabs(sum / count - expected[0]) < 0.01);

    // A receiver whose epochs carry no time is refused, with words saying which.
    ReceiverComparison timeless;
    for (int i = 0; i < ReceiverComparison::TimelessToRefuse; ++i) {
        timeless.addReference(Epoch());
        timeless.addUnderTest(underTest.at(i));
    }
    QVERIFY(timeless.isRefused(CompareSide::Reference) && !timeless.isRefused(CompareSide::UnderTest));
    QVERIFY(timeless.problem().startsWith(QStringLiteral("The reference sends no UTC time")));
}

QTEST_GUILESS_MAIN(TestComparison)
#include "test_comparison.moc"
