// The signal history of a dual-band simulated receiver against its truth
// file: per epoch the satellites in view and used and the top-4 average CNR
// of GPS L5 (signal ID 8), worked out here from the truth's signals.
#include "history/signalhistory.h"
#include "receiver/epochassembler.h"

#include <QtTest>

#include <algorithm>
#include <functional>

class TestSignalHistory : public QObject
{
    Q_OBJECT

private slots:
    void againstTruth();
};

namespace {

// The value of a series at exactly `time`, NaN when it has none.
double at(const QVector<QPointF> &series, double time)
{
    for (const QPointF &p : series) {
        if (p.x() == time)
            return p.y();
    }
    return std::nan("");
}

} // namespace

void TestSignalHistory::againstTruth()
{
    const QString sim = QStringLiteral(SKYLOUPE_BUILD_DIR "/skyloupe-sim");
    if (!QFileInfo(sim).isExecutable())
        QSKIP("The simulated receiver is not built");
    QTemporaryDir dir;
    const QString nma = dir.filePath(QStringLiteral("two.nma"));
    const QString truth = dir.filePath(QStringLiteral("two.jsonl"));
    QCOMPARE(QProcess::execute(sim, {"--output", nma, "--truth", truth, "--epochs", "30", "--rate", "5",
                                     "--signals", "2", "--seed", "4"}),
             0);
    QFile lines(nma);
    QFile truthFile(truth);
    QVERIFY(lines.open(QIODevice::ReadOnly) && truthFile.open(QIODevice::ReadOnly));
    EpochAssembler assembler;
    for (const QByteArray &line : lines.readAll().split('\n'))
        assembler.addLine(line);
    SignalHistory history;
    for (const Epoch &epoch : assembler.takeFinished())
        history.addEpoch(epoch);
    QCOMPARE(history.epochCount(), 29);   // the last has not ended

    QStringList names;
    for (const CnrSeriesKey &key : history.cnrSeries())
        names << SignalHistory::seriesName(key);
    QVERIFY2(names.contains("GPS L1") && names.contains("GPS L5") && names.contains("GLONASS")
                 && !names.contains("GPS"),
             qPrintable(names.join(", ")));

    int compared = 0;
    for (const QByteArray &line : truthFile.readAll().split('\n')) {
        const QJsonObject epoch = QJsonDocument::fromJson(line).object();
        const double time = QDateTime::fromString(epoch.value("utc").toString(), Qt::ISODateWithMs)
                                .toMSecsSinceEpoch() / 1000.0;
        if (epoch.isEmpty() || time > history.lastTime())
            continue;
        int inView = 0;
        int used = 0;
        QVector<double> l5;
        const QJsonObject systems = epoch.value("systems").toObject();
        for (const char *system : {"GPS", "GLONASS", "Galileo", "BeiDou", "QZSS"}) {
            for (const QJsonValue &satellite : systems.value(system).toArray()) {
                ++inView;
                used += satellite["used"].toBool() ? 1 : 0;
                for (const QJsonValue &signal : satellite["signals"].toArray()) {
                    if (qstrcmp(system, "GPS") == 0 && signal["id"].toInt() == 8 && signal["cnr"].toDouble() > 0)
                        l5 << signal["cnr"].toDouble();
                }
            }
        }
        std::sort(l5.begin(), l5.end(), std::greater<double>());
        l5.resize(std::min(4, int(l5.size())));
        const double l5TopFour = std::accumulate(l5.cbegin(), l5.cend(), 0.0) / l5.size();
        QCOMPARE(at(history.satellitesInView(time, time), time), double(inView));
        QCOMPARE(at(history.satellitesUsed(time, time), time), double(used));
        QCOMPARE(at(history.cnr({Constellation::Gps, int(Band::L5)}, time, time), time), l5TopFour);
        ++compared;
    }
    QCOMPARE(compared, 29);
}

QTEST_GUILESS_MAIN(TestSignalHistory)
#include "test_signalhistory.moc"
