// What the port box shows after a scan.
#include "link/portlist.h"

#include <QtTest>

class TestPortList : public QObject
{
    Q_OBJECT

private slots:
    void refresh_data();
    void refresh();
};

void TestPortList::refresh_data()
{
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("available");
    QTest::addColumn<QStringList>("offered");
    QTest::addColumn<QString>("current");
    QTest::addColumn<bool>("rebuild");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("selected");

    const QStringList two{"ttyUSB0", "ttyUSB1"};
    QTest::newRow("nothing changed")
        << two << two << QStringList() << "ttyUSB1" << false << QStringList() << QString();
    QTest::newRow("device plugged in, selection kept")
        << two << QStringList{"ttyACM0", "ttyUSB0", "ttyUSB1"} << QStringList() << "ttyUSB1"
        << true << QStringList{"ttyACM0", "ttyUSB0", "ttyUSB1"} << "ttyUSB1";
    QTest::newRow("selected device removed, first selected")
        << two << QStringList{"ttyUSB0"} << QStringList() << "ttyUSB1"
        << true << QStringList{"ttyUSB0"} << "ttyUSB0";
    QTest::newRow("device swapped at equal count")
        << two << QStringList{"ttyUSB0", "ttyACM3"} << QStringList() << "ttyUSB0"
        << true << QStringList{"ttyUSB0", "ttyACM3"} << "ttyUSB0";
    QTest::newRow("same names in another order")
        << two << QStringList{"ttyUSB1", "ttyUSB0"} << QStringList() << "ttyUSB0"
        << true << QStringList{"ttyUSB1", "ttyUSB0"} << "ttyUSB0";
    QTest::newRow("all ports gone")
        << two << QStringList() << QStringList() << "ttyUSB0"
        << true << QStringList() << QString();
    QTest::newRow("no ports at all stays empty")
        << QStringList() << QStringList() << QStringList() << QString()
        << false << QStringList() << QString();
    QTest::newRow("offered port kept after the system ports")
        << QStringList{"ttyUSB0", "/dev/pts/7"} << QStringList{"ttyUSB0", "ttyUSB1"}
        << QStringList{"/dev/pts/7"} << "/dev/pts/7"
        << true << QStringList{"ttyUSB0", "ttyUSB1", "/dev/pts/7"} << "/dev/pts/7";
    QTest::newRow("offered port the system lists too appears once")
        << QStringList{"ttyUSB0"} << QStringList{"ttyUSB0"} << QStringList{"ttyUSB0"} << "ttyUSB0"
        << false << QStringList() << QString();
}

void TestPortList::refresh()
{
    QFETCH(QStringList, shown);
    QFETCH(QStringList, available);
    QFETCH(QStringList, offered);
    QFETCH(QString, current);
    QFETCH(bool, rebuild);
    QFETCH(QStringList, names);
    QFETCH(QString, selected);

    const PortListUpdate update = refreshPortList(shown, available, offered, current);
    QCOMPARE(update.rebuild, rebuild);
    if (rebuild) {
        QCOMPARE(update.names, names);
        QCOMPARE(update.selected, selected);
    }
}

QTEST_APPLESS_MAIN(TestPortList)
#include "test_portlist.moc"
