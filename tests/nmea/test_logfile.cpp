// The NMEA log file on its own: its name from the connection time, opening
// and continuing, and blocks appended as bytes that are on disk at once.
#include "nmea/logfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}
} // namespace

class TestLogFile : public QObject
{
    Q_OBJECT

private slots:
    void fileName_data();
    void fileName();
    void fileLeftByAnEarlierYearIsNotContinued();
    void openCreatesMissingDirectories();
    void openReportsWhyItFailed();
    void blocksAreOnDiskAfterEveryAppend();
    void sameNameContinuesTheFile();
    void appendToClosedFileFails();
    void appendToFullDiskFails();
};

void TestLogFile::fileName_data()
{
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QDateTime>("existing");
    QTest::addColumn<QString>("name");

    const QDateTime may9(QDate(2026, 5, 9), QTime(14, 30, 15));
    QTest::newRow("worked example") << may9 << QDateTime() << "./log/0509_143015.nma";
    QTest::newRow("each part two digits")
        << QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)) << QDateTime() << "./log/0102_030405.nma";
    QTest::newRow("24-hour clock")
        << QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)) << QDateTime() << "./log/1231_235959.nma";
    QTest::newRow("year not in the name")
        << QDateTime(QDate(1999, 5, 9), QTime(14, 30, 15)) << QDateTime() << "./log/0509_143015.nma";
    QTest::newRow("same second, same day: continued")
        << may9 << QDateTime(QDate(2026, 5, 9), QTime(14, 30, 15, 900)) << "./log/0509_143015.nma";
    QTest::newRow("file written later the same day: continued")
        << may9 << QDateTime(QDate(2026, 5, 9), QTime(18, 0)) << "./log/0509_143015.nma";
    QTest::newRow("file of an earlier year: own file")
        << may9 << QDateTime(QDate(2025, 5, 9), QTime(16, 2, 3)) << "./log/0509_143015_2026.nma";
}

void TestLogFile::fileName()
{
    QFETCH(QDateTime, start);
    QFETCH(QDateTime, existing);
    QFETCH(QString, name);
    QCOMPARE(NmeaLog::fileName(QStringLiteral("./log"), start, existing), name);
}

void TestLogFile::fileLeftByAnEarlierYearIsNotContinued()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QDateTime start(QDate(2026, 5, 9), QTime(14, 30, 15));
    QFile old(dir.filePath(QStringLiteral("0509_143015.nma")));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("$GPGGA,old*00\r\n");
    QVERIFY(old.setFileTime(start.addYears(-1), QFileDevice::FileModificationTime));
    old.close();

    QCOMPARE(NmeaLog::chooseFile(dir.path(), start), dir.filePath(QStringLiteral("0509_143015_2026.nma")));
    QVERIFY(old.open(QIODevice::Append));
    QVERIFY(old.setFileTime(start, QFileDevice::FileModificationTime));
    old.close();
    QCOMPARE(NmeaLog::chooseFile(dir.path(), start), dir.filePath(QStringLiteral("0509_143015.nma")));
}

void TestLogFile::openCreatesMissingDirectories()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("a/b/log/0509_143015.nma"));
    QFile file;
    QCOMPARE(NmeaLog::open(file, path), QString());
    QVERIFY(file.isOpen());
    QVERIFY(QFileInfo::exists(path));
    QCOMPARE(QFileInfo(path).size(), 0);
}

void TestLogFile::openReportsWhyItFailed()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A plain file where the log directory should be cannot be worked round.
    QFile blocker(dir.filePath(QStringLiteral("log")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    QFile file;
    QCOMPARE(NmeaLog::open(file, dir.filePath(QStringLiteral("log/0509_143015.nma"))),
             QStringLiteral("Not a directory"));
    QVERIFY(!file.isOpen());
    QVERIFY(!NmeaLog::appendBlock(file, "$GPGGA*00\r\n"));
}

void TestLogFile::blocksAreOnDiskAfterEveryAppend()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("log/0509_143015.nma"));
    QFile file;
    QCOMPARE(NmeaLog::open(file, path), QString());

    static const char withNul[] = "$GPTXT,with\0NUL*00\r\n";
    const QList<QByteArray> blocks{
        QByteArray("$GNGGA,123519.000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"),
        QByteArray("$GPTXT,\xB5\xFF\x80 text*00\r\n$GPGSA,A,3,,,,,,,,,,,,,1.0,1.0,1.0*00\r\n"),
        QByteArray("GA,tail of a cut sentence*00\r\n$GPRMC*00\r\n"),
        QByteArray("\xB5\x62\x01\x07 binary message, no line end"),
        QByteArray(withNul, sizeof withNul - 1),
        QByteArray("$GPZDA,no line end yet"),
    };
    QByteArray accepted;
    for (const QByteArray &block : blocks) {
        QVERIFY(NmeaLog::appendBlock(file, block));
        accepted += block;   // every byte, whatever it is
        // Read by another handle while the log stays open: nothing waits
        // in a buffer of this process.
        QCOMPARE(contentOf(path), accepted);
    }
}

void TestLogFile::sameNameContinuesTheFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("log/0509_143015.nma"));
    QFile file;
    QCOMPARE(NmeaLog::open(file, path), QString());
    QVERIFY(NmeaLog::appendBlock(file, "$FIRST*00\r\n"));
    file.close();

    QFile again;
    QCOMPARE(NmeaLog::open(again, path), QString());
    QVERIFY(NmeaLog::appendBlock(again, "$SECOND*00\r\n"));
    QCOMPARE(contentOf(path), QByteArray("$FIRST*00\r\n$SECOND*00\r\n"));
}

void TestLogFile::appendToClosedFileFails()
{
    QFile file;
    QVERIFY(!NmeaLog::appendBlock(file, "$GPGGA*00\r\n"));
}

void TestLogFile::appendToFullDiskFails()
{
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full on this system");
    QFile file;
    QCOMPARE(NmeaLog::open(file, QStringLiteral("/dev/full")), QString());
    QVERIFY(!NmeaLog::appendBlock(file, "$GPGGA*00\r\n"));
    QCOMPARE(file.errorString(), QStringLiteral("No space left on device"));
}

QTEST_GUILESS_MAIN(TestLogFile)
#include "test_logfile.moc"
