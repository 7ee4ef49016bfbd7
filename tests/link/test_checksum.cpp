// Completion of typed commands and the fixed command set: every sentence
// that leaves for the receiver is complete and its checksum verifies.
#include "link/checksum.h"
#include "link/receivercommands.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {
// The test's own reading of a sentence: "$", body, "*", two upper-case hex
// digits, CR LF, and the digits equal to the XOR of the body.
bool isCompleteSentence(const QByteArray &s, QByteArray *body = nullptr)
{
    if (s.size() < 6 || s.at(0) != '$' || !s.endsWith("\r\n") || s.at(s.size() - 5) != '*')
        return false;
    const QByteArray digits = s.mid(s.size() - 4, 2);
    for (const char d : digits) {
        if (!((d >= '0' && d <= '9') || (d >= 'A' && d <= 'F')))
            return false;
    }
    const QByteArray inner = s.mid(1, s.size() - 6);
    unsigned sum = 0;
    for (const char c : inner)
        sum ^= static_cast<unsigned char>(c);
    if (body)
        *body = inner;
    return digits.toUInt(nullptr, 16) == sum;
}
} // namespace

class TestChecksum : public QObject
{
    Q_OBJECT

private slots:
    void completes_data();
    void completes();
    void randomInputsGiveCompleteSentences();
    void fixedCommands_data();
    void fixedCommands();
    void typedCommandHistory_data();
    void typedCommandHistory();
};

void TestChecksum::completes_data()
{
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<QByteArray>("written");

    // The worked examples; every caller appends CR LF.
    QTest::newRow("plain body") << QByteArray("PAIR004\r\n") << QByteArray("$PAIR004*3E\r\n");
    QTest::newRow("wrong typed checksum replaced") << QByteArray("$PAIR004*00\r\n") << QByteArray("$PAIR004*3E\r\n");
    QTest::newRow("body with parameters") << QByteArray("PAIR050,1000\r\n") << QByteArray("$PAIR050,1000*12\r\n");
    QTest::newRow("version query") << QByteArray("PMTK605\r\n") << QByteArray("$PMTK605*31\r\n");
    QTest::newRow("empty command line") << QByteArray("\r\n") << QByteArray("$*00\r\n");
    QTest::newRow("text after first star dropped, checksum below 0x10 has two digits")
        << QByteArray("$PAIR*004\r\n") << QByteArray("$PAIR*0A\r\n");
    QTest::newRow("dollar inside is an ordinary byte") << QByteArray("A$B\r\n") << QByteArray("$A$B*27\r\n");

    // Input the window never produces, which must still end well.
    QTest::newRow("no carriage return") << QByteArray("PAIR004") << QByteArray("$PAIR004*3E\r\n");
    QTest::newRow("empty input") << QByteArray() << QByteArray("$*00\r\n");
    QTest::newRow("only a dollar") << QByteArray("$\r\n") << QByteArray("$*00\r\n");
    QTest::newRow("only a star") << QByteArray("*") << QByteArray("$*00\r\n");
    QTest::newRow("several stars") << QByteArray("PAIR004*3E*99\r\n") << QByteArray("$PAIR004*3E\r\n");
    QTest::newRow("star only after the line end") << QByteArray("PAIR004\r*\n") << QByteArray("$PAIR004*3E\r\n");
    QTest::newRow("carriage return first") << QByteArray("\rPAIR004\r\n") << QByteArray("$*00\r\n");
    QTest::newRow("text after an inner carriage return dropped")
        << QByteArray("PAIR004\rjunk\r\n") << QByteArray("$PAIR004*3E\r\n");
    QTest::newRow("line feed without carriage return is data")
        << QByteArray("PAIR004\n") << QByteArray("$PAIR004\n*34\r\n");
    QTest::newRow("bytes above 0x7F taken unsigned")
        << QByteArray("\xB5\xFF\r\n") << QByteArray("$\xB5\xFF*4A\r\n");
    QTest::newRow("checksum with letter digits upper-case")
        << QByteArray("PAIR005\r\n") << QByteArray("$PAIR005*3F\r\n");
    QTest::newRow("two leading dollars keep the second")
        << QByteArray("$$A\r\n") << QByteArray("$$A*65\r\n");
}

void TestChecksum::completes()
{
    QFETCH(QByteArray, typed);
    QFETCH(QByteArray, written);
    QCOMPARE(completeCommand(typed), written);
}

void TestChecksum::randomInputsGiveCompleteSentences()
{
    // Bytes chosen to hit the interesting characters often.
    static const char special[] = {'$', '*', '\r', '\n', '\0', ',', 'A', '\x7F', '\x80', '\xFF'};
    const quint32 seed = 20260509;
    QRandomGenerator random(seed);
    for (int round = 0; round < 20000; ++round) {
        QByteArray typed;
        const int length = random.bounded(0, 40);
        for (int i = 0; i < length; ++i) {
            if (random.bounded(3) == 0)
                typed += special[random.bounded(int(sizeof special))];
            else
                typed += char(random.bounded(256));
        }
        if (random.bounded(2) == 0)
            typed += "\r\n";

        const QByteArray sentence = completeCommand(typed);
        QByteArray body;
        QVERIFY2(isCompleteSentence(sentence, &body),
                 qPrintable(QStringLiteral("seed %1 round %2: %3 -> %4")
                                .arg(seed).arg(round)
                                .arg(QString::fromLatin1(typed.toHex()), QString::fromLatin1(sentence.toHex()))));
        // The body is the typed text up to its first "*", "\r" or NUL (the
        // worker writes a command only up to a NUL), without a leading "$";
        // nothing is invented and nothing inside is lost.
        const QByteArray text = typed.startsWith('$') ? typed.mid(1) : typed;
        QVERIFY(text.startsWith(body));
        QVERIFY(!body.contains('*') && !body.contains('\r') && !body.contains('\0'));
        QVERIFY(text.size() == body.size() || text.at(body.size()) == '*' || text.at(body.size()) == '\r'
                || text.at(body.size()) == '\0');
    }
}

void TestChecksum::fixedCommands_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("expected");
    using namespace ReceiverCommands;
    QTest::newRow("hot start") << restart(Restart::Hot) << QByteArray("$PAIR004*3E\r\n");
    QTest::newRow("warm start") << restart(Restart::Warm) << QByteArray("$PAIR005*3F\r\n");
    QTest::newRow("cold start") << restart(Restart::Cold) << QByteArray("$PAIR006*3C\r\n");
    QTest::newRow("full cold start") << restart(Restart::Full) << QByteArray("$PAIR007*3D\r\n");
    QTest::newRow("version query") << versionQuery() << QByteArray("$PMTK605*31\r\n");
    const QList<QByteArray> followUps = versionFollowUps();
    QCOMPARE(followUps.size(), 3);
    QTest::newRow("first follow-up") << followUps.at(0) << QByteArray("$PAIR020*38\r\n");
    QTest::newRow("second follow-up") << followUps.at(1) << QByteArray("$PAIR021*39\r\n");
    QTest::newRow("third follow-up") << followUps.at(2) << QByteArray("$PAIR081*33\r\n");
}

void TestChecksum::fixedCommands()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, expected);
    QCOMPARE(command, expected);
    // The fixed commands go out unchanged, so their checksums must be right.
    QVERIFY(isCompleteSentence(command));
    QCOMPARE(completeCommand(command), command);
}

void TestChecksum::typedCommandHistory_data()
{
    QTest::addColumn<QStringList>("history");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("staleIndex");

    const QStringList history{QStringLiteral("PAIR050,1000"), QStringLiteral("PAIR004"), QStringLiteral("PMTK605")};
    QTest::newRow("new text") << history << QStringLiteral("PAIR062,0,1") << QByteArray("PAIR062,0,1\r\n") << -1;
    QTest::newRow("repeat of the top") << history << QStringLiteral("PAIR050,1000") << QByteArray("PAIR050,1000\r\n") << 0;
    QTest::newRow("repeat further down") << history << QStringLiteral("PMTK605") << QByteArray("PMTK605\r\n") << 2;
    QTest::newRow("case differs: a new text") << history << QStringLiteral("pair004") << QByteArray("pair004\r\n") << -1;
    QTest::newRow("prefix is not a repeat") << history << QStringLiteral("PAIR00") << QByteArray("PAIR00\r\n") << -1;
    QTest::newRow("empty history") << QStringList() << QStringLiteral("PAIR004") << QByteArray("PAIR004\r\n") << -1;
    QTest::newRow("empty text") << history << QString() << QByteArray("\r\n") << -1;
    QTest::newRow("Latin-1 text as single bytes") << history << QStringLiteral("PAIR\u00e9") << QByteArray("PAIR\xE9\r\n") << -1;
}

void TestChecksum::typedCommandHistory()
{
    QFETCH(QStringList, history);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(int, staleIndex);
    const TypedCommand command = typedCommand(history, text);
    QCOMPARE(command.bytes, bytes);
    QCOMPARE(command.staleIndex, staleIndex);
}

QTEST_GUILESS_MAIN(TestChecksum)
#include "test_checksum.moc"
