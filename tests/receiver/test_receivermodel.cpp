// Received lines become epochs: what each epoch holds, where epochs end, and
// when the window is shown one.
#include "receiver/receivermodel.h"

#include <QTime>
#include <QtTest>

namespace {

// "12:00:01.000 2024-06-01 q1 48.117300,-11.516667 G05[1:45,8:40]* ..." :
// time (or "-"), date when known, GGA quality, position when sent, then
// every satellite with its signals (ID:CNR) and "*" when used.
QString describe(const Epoch &e)
{
    QStringList parts;
    parts << (e.hasTime() ? QTime(0, 0).addMSecs(e.utcMs).toString(QStringLiteral("hh:mm:ss.zzz")) : QStringLiteral("-"));
    if (e.date.isValid())
        parts << e.date.toString(Qt::ISODate);
    if (e.quality >= 0)
        parts << QStringLiteral("q%1").arg(e.quality);
    if (e.hasPosition)
        parts << QStringLiteral("%1,%2").arg(e.latitude, 0, 'f', 6).arg(e.longitude, 0, 'f', 6);
    for (const SatelliteInView &s : e.satellites) {
        QStringList signalList;
        for (const SignalCnr &c : s.cnrs)
            signalList << QStringLiteral("%1:%2").arg(c.signalId).arg(double(c.cnr));
        parts << s.label + QLatin1Char('[') + signalList.join(QLatin1Char(',')) + QLatin1Char(']')
                     + (s.used ? QStringLiteral("*") : QString());
    }
    return parts.join(QLatin1Char(' '));
}

// "*00" is replaced by the line's right checksum, "*bad" by a wrong one.
QByteArray sealed(QByteArray line)
{
    const bool bad = line.endsWith("*bad");
    if (!bad && !line.endsWith("*00"))
        return line;
    line.truncate(line.lastIndexOf('*'));
    quint8 sum = 0;
    for (int i = 1; i < line.size(); ++i)
        sum ^= quint8(line.at(i));
    return line + '*' + QByteArray::number(bad ? sum ^ 1 : sum, 16).rightJustified(2, '0').toUpper();
}

// "19:32:22.000 1999-08-22 fix 48.117300,-11.516667 G05*": what the rules
// below decide about an epoch.
QString rulesOf(const Epoch &e)
{
    QStringList parts;
    parts << (e.hasTime() ? QTime(0, 0).addMSecs(e.utcMs).toString(QStringLiteral("hh:mm:ss.zzz")) : QStringLiteral("-"));
    if (e.date.isValid())
        parts << e.date.toString(Qt::ISODate);
    parts << (e.hasFix() ? QStringLiteral("fix") : QStringLiteral("nofix"));
    if (e.hasPosition)
        parts << QStringLiteral("%1,%2").arg(e.latitude, 0, 'f', 6).arg(e.longitude, 0, 'f', 6);
    for (const SatelliteInView &s : e.satellites)
        parts << s.label + (s.used ? QStringLiteral("*") : QString());
    return parts.join(QLatin1Char(' '));
}

QByteArray gga(const char *time, const char *quality = "1")
{
    return QByteArray("$GPGGA,") + time + ",4807.038,N,01131.000,W," + quality + ",08,0.9,545.4,M,46.9,M,,*00";
}

} // namespace

class TestReceiverModel : public QObject
{
    Q_OBJECT

private slots:
    void epochs_data();
    void epochs();
    void rules_data();
    void rules();
};

void TestReceiverModel::epochs_data()
{
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<int>("linesPerBlock");   // 0: all in one block
    QTest::addColumn<QStringList>("finished");
    QTest::addColumn<QStringList>("shown");

    const QByteArray gll1("$GPGLL,4807.038,N,01131.000,W,120001.00,A,A*00");
    const QByteArray gll2("$GPGLL,4807.038,N,01131.000,W,120002.00,A,A*00");
    const QList<QByteArray> dualBand{
        gga("120001.00"),
        "$GNGSA,A,3,05,,,,,,,,,,,,1.8,1.0,1.5,1*00",
        "$GNGSA,A,3,11,,,,,,,,,,,,1.8,1.0,1.5,3*00",
        "$GPGSV,1,1,02,05,45,090,45,07,30,180,30,1*00",
        "$GPGSV,1,1,01,05,45,090,40,8*00",
        "$GAGSV,1,1,01,11,20,270,42,7*00",
        "$GAGSV,1,1,01,11,20,270,39,1*00",
        "$GBGSV,1,1,00,1*00",
        gll1,
        gga("120002.00"),
        "$GPGSV,1,1,01,05,46,091,44,1*00",
        gll2,
        gga("120003.00")};
    const QString dualEpoch = QStringLiteral("12:00:01.000 q1 48.117300,-11.516667 G05[1:45,8:40]* G07[1:30] E11[7:42,1:39]*");
    const QString nextEpoch = QStringLiteral("12:00:02.000 q1 48.117300,-11.516667 G05[1:44]");
    QTest::newRow("dual band: one satellite, a CNR per signal; empty group; terminal line shows at once")
        << dualBand << 0 << QStringList{dualEpoch, nextEpoch} << QStringList{nextEpoch};
    QTest::newRow("the same, one line per read: each epoch shown when its last line arrives")
        << dualBand << 1 << QStringList{dualEpoch, nextEpoch} << QStringList{dualEpoch, nextEpoch};

    QTest::newRow("no signal ID, ID 0, group cut short, satellite in two groups keeps its CNR")
        << QList<QByteArray>{gga("120001.00"),
                             "$GPGSA,A,3,05,09,,,,,,,,,,,2.5,1.3,2.2*00",
                             "$GPGSV,3,1,09,05,45,090,45,07,30,180,30,09,10,010,,14,56,078,*00",
                             "$GPGSV,3,2,09,09,11,011,33,14,56,078,,0*00",
                             "$GLGSV,1,1,01,70,20,100,35,1*00",
                             gga("120002.00")}
        << 0 << QStringList{"12:00:01.000 q1 48.117300,-11.516667 G05[1:45]* G07[1:30] G09[1:33]* G14[1:0] R70[1:35]"}
        << QStringList{"12:00:01.000 q1 48.117300,-11.516667 G05[1:45]* G07[1:30] G09[1:33]* G14[1:0] R70[1:35]"};

    QTest::newRow("extended numbering in GSV and GSA, RMC date, ZDA stamped late")
        << QList<QByteArray>{"$GPRMC,120001.00,A,4807.038,S,01131.000,E,0.0,,010624,,,A*00",
                             "$BDGSA,A,3,214,,,,,,,,,,,,1.8,1.0,1.5*00",
                             "$BDGSV,1,1,02,214,45,090,41,406,10,100,20*00",
                             "$GPZDA,120001.05,01,06,2024,,*00",
                             "$GPRMC,120002.00,A,4807.038,S,01131.000,E,0.0,,010624,,,A*00"}
        << 0 << QStringList{"12:00:01.000 2024-06-01 -48.117300,11.516667 B14[1:41]* B06[1:20]"}
        << QStringList{"12:00:01.000 2024-06-01 -48.117300,11.516667 B14[1:41]* B06[1:20]"};

    QTest::newRow("lines before the first time are dropped")
        << QList<QByteArray>{"$GPGSV,1,1,01,07,30,180,30*00", "$GPVTG,,T,,M,0.0,N,0.0,K,A*00", gga("120002.00"),
                             "$GPVTG,,T,,M,0.0,N,0.0,K,A*00", gga("120003.00")}
        << 0 << QStringList{"12:00:02.000 q1 48.117300,-11.516667"} << QStringList{"12:00:02.000 q1 48.117300,-11.516667"};

    const QByteArray noTime("$GPGGA,,,,,,0,00,99.99,,,,,,*00");
    const QByteArray gllNoTime("$GPGLL,,,,,,V,N*00");
    QTest::newRow("cold start: time empty, the GGA coming again begins the next epoch")
        << QList<QByteArray>{gga("120001.00"), gll1, noTime, "$GPGSV,1,1,01,07,30,180,30*00", gllNoTime, noTime,
                             "$GPGSV,1,1,01,08,30,180,31*00", gllNoTime, gga("120003.00")}
        << 1 << QStringList{"12:00:01.000 q1 48.117300,-11.516667", "- q0 G07[1:30]", "- q0 G08[1:31]"}
        << QStringList{"12:00:01.000 q1 48.117300,-11.516667", "- q0 G07[1:30]", "- q0 G08[1:31]"};

    QTest::newRow("no time sentences at all: one epoch per block")
        << QList<QByteArray>{"$GPGSV,1,1,01,07,30,180,30*00", "$GPGSA,A,3,07,,,,,,,,,,,,2.5,1.3,2.2*00",
                             "$GPGSV,1,1,01,07,31,181,32*00", "$GPGSA,A,3,,,,,,,,,,,,,2.5,1.3,2.2*00"}
        << 2 << QStringList{"- G07[1:30]*", "- G07[1:32]"} << QStringList{"- G07[1:30]*", "- G07[1:32]"};
}

void TestReceiverModel::epochs()
{
    QFETCH(QList<QByteArray>, lines);
    QFETCH(int, linesPerBlock);
    QFETCH(QStringList, finished);
    QFETCH(QStringList, shown);

    ReceiverModel model;
    QStringList finishedNow;
    QStringList shownNow;
    connect(&model, &ReceiverModel::epochFinished, this, [&](const Epoch &e) { finishedNow << describe(e); });
    connect(&model, &ReceiverModel::epochShown, this, [&](const Epoch &e) { shownNow << describe(e); });
    const int step = linesPerBlock > 0 ? linesPerBlock : lines.size();
    for (int i = 0; i < lines.size(); i += step) {
        QByteArray block;
        for (const QByteArray &line : lines.mid(i, step))
            block += sealed(line) + "\r\n";
        model.addBlock(block, i);
    }
    QCOMPARE(finishedNow, finished);
    QCOMPARE(shownNow, shown);
}

void TestReceiverModel::rules_data()
{
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<QStringList>("epochs");
    const QByteArray end = gga("235959.00");
    const QString at = QStringLiteral("48.117300,-11.516667");

    QTest::newRow("time going back begins an epoch at that time")
        << QList<QByteArray>{"$GPZDA,193223.00,08,12,2026,00,00*00", gga("193222.00"), gga("193223.00"), end}
        << QStringList{"19:32:23.000 2026-12-08 nofix", "19:32:22.000 2026-12-08 fix " + at,
                       "19:32:23.000 2026-12-08 fix " + at};
    QTest::newRow("two-digit years: 80-99 are 19xx, 00-79 20xx, a ZDA's four digits win")
        << QList<QByteArray>{"$GPRMC,120001,A,4807.038,N,01131.000,W,0,0,050180,,*00",
                             "$GPRMC,120002,A,4807.038,N,01131.000,W,0,0,220899,,*00",
                             "$GPRMC,120003,A,4807.038,N,01131.000,W,0,0,010679,,*00",
                             "$GPZDA,120004.00,22,08,2099,00,00*00",
                             "$GPRMC,120004,A,4807.038,N,01131.000,W,0,0,220899,,*00", end}
        << QStringList{"12:00:01.000 1980-01-05 fix 48.117300,-11.516667", "12:00:02.000 1999-08-22 fix " + at,
                       "12:00:03.000 2079-06-01 fix " + at, "12:00:04.000 2099-08-22 fix " + at};
    QTest::newRow("fix kinds: GGA 6 yes, 7 and 8 no; RMC mode S or N no; GNS any letter but N, S; GLL A")
        << QList<QByteArray>{gga("120001", "6"), gga("120002", "7"), gga("120003", "8"),
                             "$GPRMC,120004,A,4807.038,N,01131.000,W,0,0,,,,S*00",
                             "$GPRMC,120005,A,4807.038,N,01131.000,W,0,0,,,,N*00",
                             "$GNGNS,120006,4807.038,N,01131.000,W,NNF,08,0.9,545.4,46.9,,*00",
                             "$GNGLL,4807.038,N,01131.000,W,120006,A,F*00",
                             "$GNGNS,120007,4807.038,N,01131.000,W,SS,08,0.9,545.4,46.9,,*00",
                             "$GNGLL,4807.038,N,01131.000,W,120008,A,A*00", end}
        << QStringList{"12:00:01.000 fix " + at, "12:00:02.000 nofix " + at, "12:00:03.000 nofix " + at,
                       "12:00:04.000 nofix " + at, "12:00:05.000 nofix " + at, "12:00:06.000 fix " + at,
                       "12:00:07.000 nofix " + at, "12:00:08.000 fix " + at};
    QTest::newRow("corrupt input: a wrong checksum is nothing; fields not of their form are empty")
        << QList<QByteArray>{gga("120001"), "$GPGGA,120001,4907.038,N,01131.000,W,1,08,0.9,545.4,M,46.9,M,,*bad",
                             "$GPGSV,1,1,01,07,30,180,30*bad",
                             "$GPGGA,120002,48o7.038,N,01131.000,W,1,08,0.9,545.4,M,46.9,M,,*00",
                             "$GPGGA,120003,4867.038,N,01131.000,W,1,08,0.9,545.4,M,46.9,M,,*00",
                             "$GPGGA,256100,4807.038,N,01131.000,W,1,08,0.9,545.4,M,46.9,M,,*00", end}
        << QStringList{"12:00:01.000 fix " + at, "12:00:02.000 fix", "12:00:03.000 fix", "- fix " + at};
    QTest::newRow("sentences without a time never join a timed epoch")
        << QList<QByteArray>{gga("120001"), "$GPRMC,,V,,,,,,,,,,N*00", "$GPGSA,A,1,07,,,,,,,,,,,,,,*00",
                             "$GPGSV,1,1,01,07,30,180,30*00", "$GPGGA,,,,,,0,00,99.99,,,,,,*00", end}
        << QStringList{"12:00:01.000 fix " + at, "- nofix G07*"};
}

// Each rule on a few short lines, through the receiver model as the window
// and the analysis read them.
void TestReceiverModel::rules()
{
    QFETCH(QList<QByteArray>, lines);
    QFETCH(QStringList, epochs);
    ReceiverModel model;
    QStringList finished;
    connect(&model, &ReceiverModel::epochFinished, this, [&](const Epoch &e) { finished << rulesOf(e); });
    QByteArray block;
    for (const QByteArray &line : lines)
        block += sealed(line) + "\r\n";
    model.addBlock(block, 0);
    QCOMPARE(finished, epochs);
}

QTEST_APPLESS_MAIN(TestReceiverModel)
#include "test_receivermodel.moc"
