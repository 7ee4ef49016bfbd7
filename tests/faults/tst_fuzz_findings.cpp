// Inputs the fuzz targets (fuzz/) found that once gave a wrong result,
// kept with the result the definition asks for.
#include "link/checksum.h"
#include "nmea/rowkey.h"

#include <QtTest>

class TestFuzzFindings : public QObject
{
    Q_OBJECT

private slots:
    void completionStopsAtNul_data();
    void completionStopsAtNul();
    void rowKeyTextKeepsEveryByte_data();
    void rowKeyTextKeepsEveryByte();
};

void TestFuzzFindings::completionStopsAtNul_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("sentence");
    // The worker writes a command up to its first NUL: a NUL inside the
    // sentence once sent "$\n" alone, without checksum and line end.
    QTest::newRow("fuzz input: line feed, NUL, 0x03")
        << QByteArray("\n\0\x03", 3) << QByteArray("$\n*0A\r\n");
    QTest::newRow("NUL after a command drops what follows")
        << QByteArray("PAIR004\0junk", 12) << QByteArray("$PAIR004*3E\r\n");
    QTest::newRow("NUL first gives the empty sentence") << QByteArray("\0PAIR004", 8) << QByteArray("$*00\r\n");
    QTest::newRow("carriage return before the NUL still ends the line")
        << QByteArray("PAIR004\r\0x", 10) << QByteArray("$PAIR004*3E\r\n");
}

void TestFuzzFindings::completionStopsAtNul()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, sentence);
    QCOMPARE(completeCommand(command), sentence);
}

void TestFuzzFindings::rowKeyTextKeepsEveryByte_data()
{
    QTest::addColumn<QByteArray>("line");
    // The table shows one character per byte; a NUL once ended the text.
    QTest::newRow("fuzz input: line feed, 0x01, NUL") << QByteArray("\x01\0", 2);
    QTest::newRow("sentence with a NUL inside") << QByteArray("$GPTXT,a\0b*00\r", 14);
    QTest::newRow("NUL right after the address") << QByteArray("$GPGGA,\0", 8);
}

void TestFuzzFindings::rowKeyTextKeepsEveryByte()
{
    QFETCH(QByteArray, line);
    const RowKey key(line);
    QCOMPARE(key.text().size(), line.size());
    for (int i = 0; i < line.size(); ++i)
        QCOMPARE(key.text().at(i).unicode(), ushort(uchar(line.at(i))));
}

QTEST_MAIN(TestFuzzFindings)
#include "tst_fuzz_findings.moc"
